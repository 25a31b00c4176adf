// The numeric and date conversions of Format.h.
#include "common/Format.h"

#include "common/Separators.h"
#include "platform/db/Values.h"

#include <cmath>
#include <limits>

namespace orla {

double CDbl(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        throw OrlaError(94, QStringLiteral("Invalid use of Null"));
    const std::optional<Decimal> number = NumeroLido(value);
    if (!number)
        throw OrlaError(13, QStringLiteral("Type mismatch"));
    return number->ToDouble();
}

OrlaError Overflow() {
    return OrlaError(6, QStringLiteral("Overflow"));
}

std::optional<QDateTime> ToDate(const QVariant& value) {
    const std::optional<QDateTime> date = DateValue(value);
    return date && date->isValid() ? date : std::nullopt;
}

qint32 CLng(double value) {
    const double nearest = std::nearbyint(value);  // the default rounding: halves to even
    if (!(nearest >= std::numeric_limits<qint32>::min() &&
          nearest <= std::numeric_limits<qint32>::max()))
        throw Overflow();
    return qint32(nearest);
}

double RoundHalfEven(double value, int decimals) {
    if (decimals < 0)
        throw OrlaError(5, QStringLiteral("Invalid procedure call or argument"));
    const std::optional<Decimal> number = Decimal::FromDouble(value);
    return number ? number->Rounded(decimals, Decimal::Halves::ToEven).ToDouble() : value;
}

}  // namespace orla
