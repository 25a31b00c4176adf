// Dates written with the date codes of a format string.
#pragma once

#include <QDateTime>
#include <QString>

namespace orla {

// True when the format holds a date code: d, m, y, h, n or s (in either case)
// outside quotes.
bool IsDateFormat(const QString& format);

// The codes, in either case: d / dd day, ddd / dddd the weekday's short / full
// name, ddddd / dddddd the locale's short / long date; m / mm month (minutes
// when it follows an hour code), mmm / mmmm the month's short / full name;
// y day of the year, yy / yyyy the year; h / hh hours (0-23), n / nn minutes,
// s / ss seconds. Doubled codes have two digits. Names come from QLocale().
QString FormatDate(const QDateTime& value, const QString& format);

}  // namespace orla
