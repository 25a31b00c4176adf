#include "statement/StatementCsv.h"

#include "statement/StatementModel.h"

#include <QStringList>

namespace orla {
namespace {

QString Field(const QString& text) {
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// A text from the database that a spreadsheet would run as a formula ("=HYPERLINK(…)") is
// written with a leading "'", which spreadsheets show as text. Amounts and dates stay plain.
QString Inert(const QString& text) {
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && formulaStarts.contains(text.front()) ? QLatin1Char('\'') + text
                                                                   : text;
}

bool IsAmountOrDate(int column) {
    return column == ColData || column == ColDebito || column == ColCredito || column == ColSaldo;
}

QString Line(const QStringList& fields) {
    QStringList out;
    for (const QString& field : fields)
        out << Field(field);
    return out.join(QLatin1Char(';')) + QLatin1String("\r\n");
}

}  // namespace

bool WriteStatementCsv(const std::vector<StatementRow>& rows, const QString& debitos,
                       const QString& creditos, const StatementSink& write) {
    const qsizetype piece = 1 << 20;
    QByteArray csv = Line(QStringList{QStringLiteral("Chave")} + StatementModel::Headers() +
                          QStringList{QStringLiteral("Conciliado")})
                         .toUtf8();
    csv.reserve(piece + 4096);
    QStringList fields;
    for (const StatementRow& row : rows) {
        fields.clear();
        fields << row.Key();
        for (int c = 0; c < kVisibleStatementColumns; ++c) {
            const QString cell = StatementCell(row, c);
            fields << (IsAmountOrDate(c) ? cell : Inert(cell));
        }
        fields << (row.checked ? QStringLiteral("Sim") : QStringLiteral("Não"));
        csv += Line(fields).toUtf8();
        if (csv.size() >= piece) {
            if (!write(csv))
                return false;
            csv.resize(0);  // the room stays for the next piece
        }
    }
    csv += Line({QStringLiteral("Débito Acumulado"), debitos}).toUtf8();
    csv += Line({QStringLiteral("Crédito Acumulado"), creditos}).toUtf8();
    return write(csv);
}

}  // namespace orla
