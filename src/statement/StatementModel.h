// The statement list's model: the rows of one fill, reset in one pass, with
// the reconciled flag as the first column's check box.
#pragma once

#include "statement/StatementRows.h"

#include <QAbstractTableModel>

#include <functional>

namespace orla {

class StatementModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    void SetRows(std::vector<StatementRow> rows);
    // Lets `change` edit the rows in place; the view reads them afresh when it did.
    bool EditRows(const std::function<bool(std::vector<StatementRow>&)>& change);
    const StatementRow& Row(int row) const { return rows_.at(size_t(row)); }
    int RowCount() const { return int(rows_.size()); }
    // Sets a row's check box without raising itemChecked.
    void SetChecked(int row, bool checked);
    // Gives the row's text and sub-items 1 to 7 a system colour.
    void SetColour(int row, QPalette::ColorRole colour);
    // The first row whose key equals `key` exactly, or -1.
    int FindKey(const QString& key) const;

    static const QStringList& Headers();
    // Relative widths of the visible columns.
    static const QList<int>& RelativeWidths();

  signals:
    // The user changed a row's check box; the row already shows the new state.
    void itemChecked(int row);

  private:
    std::vector<StatementRow> rows_;
};

}  // namespace orla
