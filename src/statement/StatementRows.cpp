#include "statement/StatementRows.h"

#include "common/Format.h"

namespace orla {
namespace {

const QString kBalanceFormat = QStringLiteral("#,##0.00;- #,##0.00");

QString Id(const std::optional<qint64>& id) {
    return id ? QString::number(*id) : QString();
}

QString Amount(const std::optional<Money>& amount) {
    return amount ? Format(*amount, formats::kEuro) : QString();
}

// The opening row's cells: the carried balance shows nothing between its
// entity and its balance; the balance date shows blanks there.
QString OpeningCell(const StatementRow& row, int column) {
    switch (column) {
        case ColData:
            return row.kind == RowKind::OpeningCarried || !row.date
                       ? QStringLiteral("- - -")
                       : Format(*row.date, formats::kData);
        case ColOrigem:
            return QStringLiteral("S.A.");
        case ColEntidade:
            return QStringLiteral("Saldo Anterior");
        case ColSaldo:
            return Format(row.saldo, kBalanceFormat);
        default:
            return row.kind == RowKind::OpeningAtBalanceDate ? QStringLiteral(" ") : QString();
    }
}

}  // namespace

QString StatementRow::Key() const {
    return QLatin1Char('#') + Id(origem) + Id(armazem) + Id(doc);
}

QString StatementCell(const StatementRow& row, int column) {
    if (row.IsOpening())
        return OpeningCell(row, column);
    switch (column) {
        case ColData:
            return row.date ? Format(*row.date, formats::kData) : row.dateText;
        case ColOrigem:
            return row.origemText;
        case ColEntidade:
            return row.entidade;
        case ColReferencia:
            return row.referencia;
        case ColTipoDocumento:
            return row.tipoDocumento;
        case ColDocumento:
            return row.documento;
        case ColDebito:
            return Amount(row.debito);
        case ColCredito:
            return Amount(row.credito);
        case ColSaldo:
            return Format(row.saldo, kBalanceFormat);
        default:
            return {};
    }
}

}  // namespace orla
