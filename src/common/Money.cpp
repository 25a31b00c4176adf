#include "common/Money.h"

#include "platform/Decimal.h"

namespace orla {
namespace {

std::optional<Decimal> ExactNumber(const QVariant& value) {
    if (const std::optional<Decimal> number = Decimal::FromNumericVariant(value))
        return value.typeId() == QMetaType::Bool ? std::nullopt : number;
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    // Either mark is the decimal one; grouping is not accepted, so "1.234,50" is refused
    // rather than misread.
    const QString text = value.toString();
    if (const std::optional<Decimal> number = Decimal::Parse(text, u".", u""))
        return number;
    return Decimal::Parse(text, u",", u"");
}

}  // namespace

std::optional<Money> Money::FromVariant(const QVariant& value) {
    const std::optional<Decimal> number = ExactNumber(value);
    if (!number)
        return std::nullopt;
    const std::optional<qint64> units =
        number->Rounded(4, Decimal::Halves::AwayFromZero).Shifted(4).WholeToInt64();
    return units ? std::optional<Money>(Money(*units)) : std::nullopt;
}

Money Money::RoundedToCents() const {
    const qint64 magnitude = units_ < 0 ? -units_ : units_;
    qint64 cents = magnitude / 100;
    const qint64 rest = magnitude % 100;
    if (rest > 50 || (rest == 50 && cents % 2 == 1))
        ++cents;
    return Money(units_ < 0 ? -cents * 100 : cents * 100);
}

Money Money::RoundedToCentsAsShown() const {
    const qint64 cents = ((units_ < 0 ? -units_ : units_) + 50) / 100;
    return Money(units_ < 0 ? -cents * 100 : cents * 100);
}

}  // namespace orla
