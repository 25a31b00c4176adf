#include "common/Format.h"

#include "common/DateFormat.h"
#include "common/NumberFormat.h"
#include "common/Separators.h"

namespace orla {

QString Format(const QVariant& value, const QString& format) {
    if (!value.isValid() || value.isNull())
        return {};
    if (format.isEmpty())
        return TextOf(value);
    if (IsDateFormat(format)) {
        const std::optional<QDateTime> date = ToDate(value);
        return date ? FormatDate(*date, format) : TextOf(value);
    }
    const std::optional<Decimal> number = NumeroLido(value);
    return number ? FormatNumber(*number, format) : TextOf(value);
}

QString Format(const Money& value, const QString& format) {
    const std::optional<Decimal> units = Decimal::FromNumericVariant(QVariant(value.Units()));
    return FormatNumber(units->Shifted(-4), format);
}

QString TextOf(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        case QMetaType::QDate:
        case QMetaType::QDateTime: {
            const QDateTime date = value.toDateTime();
            if (!date.isValid())
                return {};
            return FormatDate(date,
                              date.time() == QTime(0, 0) ? formats::kData : formats::kDataHora);
        }
        default:
            break;
    }
    if (const std::optional<Decimal> number = Decimal::FromNumericVariant(value))
        return number->ToPlainText(SeparadorDecimal());
    return value.toString();
}

}  // namespace orla
