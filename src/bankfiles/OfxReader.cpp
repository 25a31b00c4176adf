#include "bankfiles/OfxReader.h"

#include "bankfiles/BankFileText.h"

#include <QHash>
#include <QRegularExpression>

namespace orla {
namespace {

QString Unescaped(QString text) {
    return text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"))
        .trimmed();
}

// "20260302120000[0:GMT]": the date as written; its zone is not applied.
QDate OfxDate(const QString& text, const QString& element, int entry) {
    const std::optional<QDate> date = ParseBankDate(text.left(8), QStringLiteral("yyyyMMdd"));
    if (!date)
        BankFileFault(QStringLiteral("Elemento %1 inválido %2 na transação %3.")
                          .arg(element, Quoted(text))
                          .arg(entry));
    return *date;
}

Money OfxAmount(const QString& text, const QString& element, int entry) {
    std::optional<Money> amount = ParseBankAmount(text, u'.');
    if (!amount)
        amount = ParseBankAmount(text, u',');
    if (!amount) {
        const QString where = entry > 0 ? QStringLiteral(" na transação %1").arg(entry) : QString();
        BankFileFault(
            text.isEmpty()
                ? QStringLiteral("Elemento %1 em falta%2.").arg(element, where)
                : QStringLiteral("Elemento %1 inválido %2%3.").arg(element, Quoted(text), where));
    }
    return *amount;
}

BankLine ReadTransaction(const QHash<QString, QString>& values, int entry) {
    BankLine line;
    line.position = entry;
    if (!values.contains(QStringLiteral("DTPOSTED")))
        BankFileFault(
            QStringLiteral("Elemento STMTTRN/DTPOSTED em falta na transação %1.").arg(entry));
    line.booking = OfxDate(values.value(QStringLiteral("DTPOSTED")),
                           QStringLiteral("STMTTRN/DTPOSTED"), entry);
    if (values.contains(QStringLiteral("DTAVAIL")))
        line.value = OfxDate(values.value(QStringLiteral("DTAVAIL")),
                             QStringLiteral("STMTTRN/DTAVAIL"), entry);
    const Money amount =
        OfxAmount(values.value(QStringLiteral("TRNAMT")), QStringLiteral("STMTTRN/TRNAMT"), entry);
    line.credit = amount > Money();
    line.amount = Magnitude(amount);
    const QString cheque = values.value(QStringLiteral("CHECKNUM"));
    line.reference = cheque.isEmpty() ? values.value(QStringLiteral("FITID")) : cheque;
    line.text = values.value(QStringLiteral("MEMO"));
    line.counterparty = values.value(QStringLiteral("NAME"));
    return line;
}

}  // namespace

BankStatement ReadOfx(const QByteArray& bytes) {
    const QString text = BankFileString(bytes);
    const qsizetype body = text.indexOf(QStringLiteral("<OFX>"));
    if (body < 0)
        BankFileFault(QStringLiteral("Elemento OFX em falta: o ficheiro não é um extrato OFX."));
    // Tags and the text after each: SGML leaves have no end tag, XML ones do.
    static const QRegularExpression tag(QStringLiteral("<(/?)([A-Za-z0-9.]+)>([^<]*)"));
    BankStatement out;
    out.format = QStringLiteral("OFX");
    QStringList open;  // the aggregates the reader is inside
    QHash<QString, QString> values;
    int entry = 0;
    bool ended = false;
    for (auto it = tag.globalMatch(text, body); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString name = m.captured(2).toUpper();
        const QString value = Unescaped(m.captured(3));
        if (m.captured(1) == u"/") {
            if (!open.contains(name))
                continue;  // the end tag of an XML leaf
            while (open.last() != name)
                open.removeLast();
            open.removeLast();
            if (name == u"STMTTRN")
                out.lines.append(ReadTransaction(values, entry));
            else if (name == u"LEDGERBAL") {
                out.closing = OfxAmount(values.value(QStringLiteral("BALAMT")),
                                        QStringLiteral("LEDGERBAL/BALAMT"), 0);
                if (values.contains(QStringLiteral("DTASOF")))
                    out.closingDate = OfxDate(values.value(QStringLiteral("DTASOF")),
                                              QStringLiteral("LEDGERBAL/DTASOF"), 0);
            } else if (name == u"OFX")
                ended = true;
        } else if (value.isEmpty()) {
            open.append(name);
            if (name == u"STMTTRN") {
                ++entry;
                values.clear();
            } else if (name == u"LEDGERBAL")
                values.clear();
        } else if (name == u"ACCTID" && out.iban.isEmpty()) {
            out.iban = value;
        } else {
            values.insert(name, value);
        }
    }
    if (!ended)
        BankFileFault(QStringLiteral("O ficheiro OFX termina antes de </OFX>; parece incompleto."));
    return out;
}

}  // namespace orla
