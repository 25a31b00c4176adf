#include "bankfiles/BankFileText.h"

#include "platform/Ansi.h"

#include <QStringDecoder>

namespace orla {

void BankFileFault(const QString& message) {
    throw OrlaError(kBankFileInvalid, message);
}

void BankFileLineFault(int line, const QString& message) {
    BankFileFault(QStringLiteral("Linha %1: %2").arg(line).arg(message));
}

std::optional<Money> ParseBankAmount(QStringView text, QChar decimalMark) {
    qsizetype at = 0;
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+'))
        ++at;
    qsizetype whole = 0, fraction = 0;
    bool mark = false;
    for (; at < text.size(); ++at) {
        const QChar c = text[at];
        if (c == decimalMark && !mark)
            mark = true;
        else if (c >= u'0' && c <= u'9')
            ++(mark ? fraction : whole);
        else
            return std::nullopt;
    }
    if (whole == 0 || fraction > 4)
        return std::nullopt;
    // Only digits, a sign and one mark are left: Money reads either mark exactly.
    return Money::FromVariant(text.endsWith(decimalMark) ? text.chopped(1).toString()
                                                         : text.toString());
}

std::optional<QDate> ParseBankDate(const QString& text, const QString& format) {
    if (text.size() != format.size())
        return std::nullopt;
    const QDate date = QDate::fromString(text, format);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

QString BankFileString(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (utf8.hasError())
        return FromAnsi(bytes);
    return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
}

QString Quoted(const QString& text) {
    return QStringLiteral("«%1»").arg(text);
}

}  // namespace orla
