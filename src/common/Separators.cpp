#include "common/Separators.h"

#include <QLocale>

namespace orla {
namespace {

struct Separators {
    QString decimal;
    QString thousands;
};

std::optional<Separators>& ReadSeparators() {
    static std::optional<Separators> read;
    return read;
}

const Separators& SeparatorsReadOnce() {
    std::optional<Separators>& read = ReadSeparators();
    if (!read)
        read = Separators{SeparadorDecimal(), SeparadorMilhares()};
    return *read;
}

}  // namespace

QString SeparadorDecimal() {
    return QLocale().decimalPoint();
}

QString SeparadorMilhares() {
    const QString decimal = SeparadorDecimal();
    if (decimal == u",")
        return QStringLiteral(".");
    if (decimal == u".")
        return QStringLiteral(",");
    return QLocale().groupSeparator();
}

QString SeparadorDecimalCurto() {
    return SeparadorDecimal().trimmed().left(1);
}

std::optional<Decimal> NumeroLido(const QVariant& value) {
    if (const std::optional<Decimal> number = Decimal::FromNumericVariant(value))
        return number;
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    const Separators& separators = SeparatorsReadOnce();
    QString text = value.toString();
    const bool comma = text.contains(u',');
    const bool point = text.contains(u'.');
    if (comma && point) {
        text.remove(separators.thousands);
    } else if (comma || point) {
        text.replace(u',', separators.decimal);
        text.replace(u'.', separators.decimal);
    }
    return Decimal::Parse(text, separators.decimal, separators.thousands);
}

bool EhNumero(const QVariant& value) {
    return NumeroLido(value).has_value();
}

void EsquecerSeparadoresLidos() {
    ReadSeparators().reset();
}

}  // namespace orla
