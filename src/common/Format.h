// One formatter for the system's format strings, read as the original
// platform read them, with the locale's separators: numbers
// ("#,##0.00;- #,##0.00", "€ #,##0.00;€ -#,##0.00", "0.00 %", "#,##0", ...)
// and dates ("dd-mm-yyyy", "dd-mm-yyyy Hh:Nn:Ss", "dd mmmm", "yyyy", "dddddd").
#pragma once

#include "common/Money.h"
#include "platform/Decimal.h"
#include "platform/db/Error.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <optional>

namespace orla {

// The format strings the shared helpers use.
namespace formats {
inline const QString kData = QStringLiteral("dd-mm-yyyy");
inline const QString kDataHora = QStringLiteral("dd-mm-yyyy Hh:Nn:Ss");
inline const QString kDataIso = QStringLiteral("yyyy-mm-dd");
inline const QString kDataHoraIso = QStringLiteral("yyyy-mm-dd Hh:Nn:Ss");
inline const QString kValor = QStringLiteral("#,##0.00;- #,##0.00");
inline const QString kEuro = QStringLiteral("€ #,##0.00;€ -#,##0.00");
inline const QString kPercentagem = QStringLiteral("0.00 %");
inline const QString kInteiro = QStringLiteral("#,##0");
}  // namespace formats

// The value formatted with the format string. A value that does not suit the
// format (text where a number is wanted) comes back as its text. Numbers round
// their halves away from zero on the exact decimal value (2.675 with two
// decimals is 2.68), group every three digits with SeparadorMilhares and mark
// decimals with SeparadorDecimal; a section after ";" is for negative values
// and shows them without sign, and a value that rounds to zero takes the first
// section. Date formats (any of d, m, y, h, n, s outside quotes) take month and
// weekday names from QLocale(). An empty format gives TextOf(value); Null gives "".
QString Format(const QVariant& value, const QString& format);
// An amount with a number format, from its exact digits (no trip through a double).
QString Format(const Money& value, const QString& format);

// The value as text, as the original platform's CStr wrote it: numbers with the
// locale's decimal separator, no grouping and at most 15 significant digits
// (0.1 + 0.2 is "0,3"), dates as "dd-mm-yyyy" (with
// " Hh:Nn:Ss" when they carry a time), true and false as "True" and "False".
QString TextOf(const QVariant& value);

// The value as a number (CDbl), read as NumeroLido reads it: throws OrlaError
// 94 ("Invalid use of Null") for Null and 13 ("Type mismatch") for a value
// that is no number.
double CDbl(const QVariant& value);
// OrlaError 6, "Overflow": a number beyond the range of its type.
OrlaError Overflow();
// CDate / IsDate: dates, and texts "dd-mm-yyyy" or "dd/mm/yyyy" with an optional
// " hh:mm[:ss]", and "yyyy-mm-dd[ hh:mm[:ss]]" (the embedded database's form),
// as WallClock values.
std::optional<QDateTime> ToDate(const QVariant& value);
// The nearest whole number, halves to the even one; throws OrlaError 6
// ("Overflow") beyond 32 bits.
qint32 CLng(double value);
// Round(): halves to the even one, on the decimal the double reads as
// (2.675 to two decimals is 2.68). Throws OrlaError 5 for negative decimals.
double RoundHalfEven(double value, int decimals);

}  // namespace orla
