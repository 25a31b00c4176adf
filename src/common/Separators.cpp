#include "common/Separators.h"

#include <QLocale>

namespace orla {

QString SeparadorDecimal() {
    return QLocale().decimalPoint();
}

QString SeparadorMilhares() {
    return QLocale().groupSeparator();
}

std::optional<Decimal> NumeroLido(const QVariant& value) {
    if (const std::optional<Decimal> number = Decimal::FromNumericVariant(value))
        return number;
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString decimal = SeparadorDecimal();
    QString text = value.toString();
    const QString thousands = SeparadorMilhares();
    if (thousands != u"," && thousands != u".")
        text.remove(thousands);
    text.remove(u' ').remove(QChar(0x00A0)).remove(QChar(0x202F));
    const bool comma = text.contains(u',');
    const bool point = text.contains(u'.');
    if (comma && point) {
        text.remove(decimal == u"," ? u'.' : u',');
    } else if (comma || point) {
        text.replace(u',', decimal);
        text.replace(u'.', decimal);
    }
    return Decimal::Parse(text, decimal, u"");
}

}  // namespace orla
