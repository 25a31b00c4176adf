#include "statement/StatementSearch.h"

#include "common/Separators.h"

#include <QRegularExpression>

namespace orla {
namespace {

// Blanks, the locale's group separator and the decimal mark's counterpart group digits.
QString GroupMarks(const QString& decimal) {
    QString marks = QStringLiteral(" \u00A0\u202F") + SeparadorMilhares();
    marks += decimal == u"," ? u'.' : u',';
    return QRegularExpression::escape(marks);
}

QRegularExpression AmountPattern() {
    const QString decimal = SeparadorDecimal();
    const QString group = QLatin1Char('[') + GroupMarks(decimal) + QLatin1Char(']');
    return QRegularExpression(
        QStringLiteral(
            "^%1(-)?%1(?:€%1)?(-)?%1(\\d{1,3}(?:%2\\d{3})+|\\d+)(?:%3(\\d{1,4}))?%1(?:€%1)?$")
            .arg(QStringLiteral("[\\s\\x{a0}\\x{202f}]*"), group,
                 QRegularExpression::escape(decimal)));
}

// The amount to the cent as shown, halves away from zero.
qint64 ShownCents(Money amount) {
    const qint64 units = amount.Units();
    const qint64 cents = ((units < 0 ? -units : units) + 50) / 100;
    return units < 0 ? -cents : cents;
}

bool SameAmount(const std::optional<Money>& listed, Money typed, bool exact) {
    if (!listed)
        return false;
    if (exact)
        return listed->Units() == typed.Units();
    return ShownCents(*listed) * 100 == typed.Units();
}

}  // namespace

SearchTerm ReadSearchTerm(const QString& typed) {
    SearchTerm term;
    term.text = typed;
    const QRegularExpressionMatch match = AmountPattern().match(typed);
    if (!match.hasMatch() || (match.hasCaptured(1) && match.hasCaptured(2)))
        return term;
    QString digits = match.captured(3);
    digits.remove(QRegularExpression(QStringLiteral("\\D")));
    const QString decimals = match.captured(4);
    term.amount = Money::FromVariant(decimals.isEmpty() ? digits : digits + u'.' + decimals);
    term.exact = decimals.size() > 2;
    term.anySign = !match.hasCaptured(1) && !match.hasCaptured(2);
    if (term.amount && !term.anySign)
        term.amount = -*term.amount;
    return term;
}

bool RowHolds(const StatementRow& row, const SearchTerm& term) {
    for (int c = 0; c < kVisibleStatementColumns; ++c) {
        if (StatementCell(row, c).contains(term.text, Qt::CaseInsensitive))
            return true;
    }
    if (!term.amount)
        return false;
    for (const std::optional<Money>& listed : {row.debito, row.credito, std::optional(row.saldo)}) {
        if (SameAmount(listed, *term.amount, term.exact) ||
            (term.anySign && SameAmount(listed, -*term.amount, term.exact)))
            return true;
    }
    return false;
}

}  // namespace orla
