#include "statement/StatementModel.h"

#include <QApplication>
#include <QFont>
#include <QPalette>

namespace orla {

const QStringList& StatementModel::Headers() {
    static const QStringList headers{QStringLiteral("Data"),
                                     QStringLiteral("Origem"),
                                     QStringLiteral("Entidade"),
                                     QStringLiteral("Referência"),
                                     QStringLiteral("Tipo de Documento"),
                                     QStringLiteral("Documento"),
                                     QStringLiteral("Débito"),
                                     QStringLiteral("Crédito"),
                                     QStringLiteral("Saldo")};
    return headers;
}

const QList<int>& StatementModel::RelativeWidths() {
    static const QList<int> widths{2558, 2293, 2822, 2293, 2293, 2293, 1852, 1852, 1852};
    return widths;
}

int StatementModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int StatementModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kVisibleStatementColumns;
}

QVariant StatementModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(rows_.size()))
        return {};
    const StatementRow& row = rows_[size_t(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return StatementCell(row, index.column());
        case Qt::CheckStateRole:
            if (index.column() != ColData)
                return {};
            return row.checked ? Qt::Checked : Qt::Unchecked;
        case Qt::FontRole:
            if (!row.IsOpening())
                return {};
            {
                QFont font = QApplication::font();
                font.setBold(true);
                return font;
            }
        case Qt::ForegroundRole:
            if (row.colour && index.column() <= ColCredito)
                return QApplication::palette().color(*row.colour);
            if (!row.future)
                return {};
            return QApplication::palette().color(QPalette::Highlight);
        case Qt::TextAlignmentRole:
            return index.column() >= ColDebito ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                               : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant StatementModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kVisibleStatementColumns)
        return {};
    if (role == Qt::DisplayRole)
        return Headers().at(section);
    if (role == Qt::TextAlignmentRole)
        return section >= ColDebito ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                    : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags StatementModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;  // never editable in place
    if (index.column() == ColData)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool StatementModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != ColData)
        return false;
    const bool checked = value.toInt() == Qt::Checked;
    SetChecked(index.row(), checked);
    emit itemChecked(index.row());
    return true;
}

void StatementModel::SetRows(std::vector<StatementRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

bool StatementModel::EditRows(const std::function<bool(std::vector<StatementRow>&)>& change) {
    beginResetModel();
    const bool changed = change(rows_);
    endResetModel();
    return changed;
}

void StatementModel::SetChecked(int row, bool checked) {
    if (row < 0 || row >= int(rows_.size()))
        return;
    rows_[size_t(row)].checked = checked;
    const QModelIndex cell = index(row, ColData);
    emit dataChanged(cell, cell, {Qt::CheckStateRole});
}

void StatementModel::SetColour(int row, QPalette::ColorRole colour) {
    if (row < 0 || row >= int(rows_.size()))
        return;
    rows_[size_t(row)].colour = colour;
    emit dataChanged(index(row, ColData), index(row, ColCredito), {Qt::ForegroundRole});
}

int StatementModel::FindKey(const QString& key) const {
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].Key() == key)
            return int(i);
    }
    return -1;
}

}  // namespace orla
