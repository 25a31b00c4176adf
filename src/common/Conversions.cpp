// The numeric and date conversions of Format.h.
#include "common/Format.h"

#include "common/Separators.h"
#include "platform/db/Error.h"
#include "platform/db/Values.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace orla {
namespace {

// "dd-mm-yyyy" or "dd/mm/yyyy", optionally with "hh:mm" or "hh:mm:ss".
std::optional<QDateTime> DayFirstDate(const QString& text) {
    static const QRegularExpression form(QStringLiteral(
        R"(^\s*(\d{1,2})([-/])(\d{1,2})\2(\d{4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(4).toInt(), match.captured(3).toInt(),
                     match.captured(1).toInt());
    const QTime time(match.captured(5).toInt(), match.captured(6).toInt(),
                     match.captured(7).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

}  // namespace

std::optional<Decimal> ToDecimal(const QVariant& value) {
    if (const std::optional<Decimal> number = Decimal::FromNumericVariant(value))
        return number;
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return Decimal::Parse(value.toString(), SeparadorDecimal(), SeparadorMilhares());
}

std::optional<double> ToNumber(const QVariant& value) {
    const std::optional<Decimal> number = ToDecimal(value);
    return number ? std::optional<double>(number->ToDouble()) : std::nullopt;
}

std::optional<QDateTime> ToDate(const QVariant& value) {
    if (value.typeId() == QMetaType::QString) {
        if (const std::optional<QDateTime> date = DayFirstDate(value.toString()))
            return date;
    }
    const std::optional<QDateTime> date = DateValue(value);
    return date && date->isValid() ? date : std::nullopt;
}

qint32 CLng(double value) {
    const double nearest = std::nearbyint(value);  // the default rounding: halves to even
    if (!(nearest >= std::numeric_limits<qint32>::min() &&
          nearest <= std::numeric_limits<qint32>::max()))
        throw OrlaError(6, QStringLiteral("Overflow"));
    return qint32(nearest);
}

double RoundHalfEven(double value, int decimals) {
    if (decimals < 0)
        throw OrlaError(5, QStringLiteral("Invalid procedure call or argument"));
    const std::optional<Decimal> number = Decimal::FromDouble(value);
    return number ? number->Rounded(decimals, Decimal::Halves::ToEven).ToDouble() : value;
}

}  // namespace orla
