#include "bankfiles/Mt940Reader.h"

#include "bankfiles/BankFileText.h"

#include <QRegularExpression>

namespace orla {
namespace {

struct Field {
    QString tag;  // "61", "60F"...
    QString value;
    QStringList continuation;
    int line = 0;
};

QList<Field> SplitFields(const QString& text) {
    static const QRegularExpression tag(QStringLiteral("^:(\\d\\d[A-Z]?):(.*)$"));
    QList<Field> fields;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        // Block headers ("{1:...}{4:") and trailers ("-}", "-") around each message.
        if (line.startsWith(u'{')) {
            const qsizetype body = line.indexOf(QStringLiteral("{4:"));
            if (body < 0)
                continue;
            line = line.mid(body + 3);
        }
        if (line.trimmed() == u"-" || line.trimmed() == u"-}" || line.trimmed().isEmpty())
            continue;
        const QRegularExpressionMatch match = tag.match(line);
        if (match.hasMatch())
            fields.append({match.captured(1), match.captured(2), {}, int(i + 1)});
        else if (!fields.isEmpty())
            fields.last().continuation.append(line);
        else
            BankFileLineFault(int(i + 1),
                              QStringLiteral("não é um campo SWIFT %1.").arg(Quoted(line)));
    }
    return fields;
}

// YYMMDD, in this century.
QDate SwiftDate(const QString& text, int line) {
    const std::optional<QDate> date =
        ParseBankDate(QStringLiteral("20") + text, QStringLiteral("yyyyMMdd"));
    if (!date)
        BankFileLineFault(line, QStringLiteral("data inválida %1.").arg(Quoted(text)));
    return *date;
}

Money SwiftAmount(const QString& text, int line) {
    const std::optional<Money> amount = ParseBankAmount(text, u',');
    if (!amount || text.startsWith(u'-') || text.startsWith(u'+'))
        BankFileLineFault(line, QStringLiteral("montante inválido %1.").arg(Quoted(text)));
    return *amount;
}

// :60F:/:62F: "C260228EUR1500,00": mark, date, currency, amount.
std::pair<Money, QDate> ReadBalance(const Field& f) {
    static const QRegularExpression form(QStringLiteral("^([CD])(\\d{6})([A-Z]{3})([0-9,]+)$"));
    const QRegularExpressionMatch m = form.match(f.value.trimmed());
    if (!m.hasMatch())
        BankFileLineFault(f.line,
                          QStringLiteral("saldo :%1: inválido %2.").arg(f.tag, Quoted(f.value)));
    const Money amount = SwiftAmount(m.captured(4), f.line);
    return {m.captured(1) == u"D" ? -amount : amount, SwiftDate(m.captured(2), f.line)};
}

// :61: value date, booking date (MMDD, optional), mark (C, D, RC, RD), funds code, amount,
// transaction type, customer reference, "//" bank reference; a second line of details.
BankLine ReadLine(const Field& f) {
    static const QRegularExpression form(
        QStringLiteral("^(\\d{6})(\\d{4})?(RC|RD|C|D)([A-Z])?([0-9,]+)([A-Z][A-Z0-9]{3})([^/]*(?:/"
                       "(?!/)[^/]*)*)(?://(.*))?$"));
    const QRegularExpressionMatch m = form.match(f.value.trimmed());
    if (!m.hasMatch())
        BankFileLineFault(f.line,
                          QStringLiteral("movimento :61: inválido %1.").arg(Quoted(f.value)));
    BankLine line;
    line.position = f.line;
    const QDate value = SwiftDate(m.captured(1), f.line);
    line.value = value;
    line.booking = value;
    if (m.hasCaptured(2) && !m.captured(2).isEmpty()) {
        // The booking date's year is the value date's, unless they straddle the new year.
        const int month = m.captured(2).left(2).toInt();
        int year = value.year();
        if (month == 12 && value.month() == 1)
            --year;
        else if (month == 1 && value.month() == 12)
            ++year;
        const QDate booking(year, month, m.captured(2).mid(2).toInt());
        if (!booking.isValid())
            BankFileLineFault(
                f.line,
                QStringLiteral("data de lançamento inválida %1.").arg(Quoted(m.captured(2))));
        line.booking = booking;
    }
    // A reversal of a credit is a debit, and of a debit a credit.
    line.credit = m.captured(3) == u"C" || m.captured(3) == u"RD";
    line.amount = SwiftAmount(m.captured(5), f.line);
    const QString customer = m.captured(7).trimmed();
    line.reference =
        customer.isEmpty() || customer == u"NONREF" ? m.captured(8).trimmed() : customer;
    return line;
}

}  // namespace

bool LooksLikeMt940(const QByteArray& bytes) {
    const QByteArray head = bytes.left(4096).trimmed();
    return (head.startsWith(":20:") || head.startsWith("{1:")) &&
           (head.contains("\n:61:") || head.contains("\n:60F:") || head.contains(":60F:"));
}

BankStatement ReadMt940(const QByteArray& bytes) {
    BankStatement out;
    out.format = QStringLiteral("MT940");
    bool closed = true;  // no statement open: a :61: now has no opening balance before it
    int lastLine = 0;
    for (const Field& f : SplitFields(BankFileString(bytes))) {
        lastLine = f.line;
        if (f.tag == u"25") {
            const QString account = f.value.trimmed();
            if (!out.iban.isEmpty() && account != out.iban)
                BankFileLineFault(f.line, QStringLiteral("o ficheiro tem extratos de mais de uma "
                                                         "conta (%1 e %2).")
                                              .arg(out.iban, account));
            out.iban = account;
        } else if (f.tag == u"60F" || f.tag == u"60M") {
            const auto [amount, date] = ReadBalance(f);
            if (!out.opening)
                out.opening = amount, out.openingDate = date;
            closed = false;
        } else if (f.tag == u"61") {
            if (closed)
                BankFileLineFault(f.line, QStringLiteral("movimento :61: fora de um extrato "
                                                         "(sem saldo inicial :60F: antes)."));
            out.lines.append(ReadLine(f));
        } else if (f.tag == u"86") {
            if (!closed && !out.lines.isEmpty() && out.lines.last().text.isEmpty())
                out.lines.last().text =
                    (QStringList{f.value} + f.continuation).join(u' ').simplified();
        } else if (f.tag == u"62F" || f.tag == u"62M") {
            const auto [amount, date] = ReadBalance(f);
            out.closing = amount, out.closingDate = date;
            closed = true;
        }
    }
    if (!out.opening)
        BankFileFault(
            QStringLiteral("O ficheiro não tem o saldo inicial (:60F:) de um extrato MT940."));
    if (!closed)
        BankFileLineFault(lastLine, QStringLiteral("o ficheiro termina antes do saldo final "
                                                   "(:62F:); parece incompleto."));
    return out;
}

}  // namespace orla
