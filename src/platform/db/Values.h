// Reading field values of either backend: SQL Server gives typed values, the
// embedded database gives dates as "yyyy-mm-dd hh:mm:ss" text.
#pragma once

#include <QDateTime>
#include <QVariant>

#include <optional>

namespace orla {

// A stored date and time: the server's wall-clock value, which belongs to no
// time zone. It is labelled UTC, the one label no zone converts and that has
// no missing hours (midnight of a daylight-saving start exists), so the parts
// read back are always the parts written. Compare such values by their parts.
QDateTime WallClock(const QDate& date, const QTime& time = QTime(0, 0));

// The system's "no date": a picker without a date, a date that could not be read.
inline const QDate kNoDate(1900, 1, 1);

// A date written "yyyy-mm-dd" or "dd-mm-yyyy" ("/" also), with an optional
// time "H:mm[:ss[.zzz]]" after a space or "T", as a WallClock value.
std::optional<QDateTime> ParseDateText(QStringView text);

// The value as a WallClock date and time, when it holds one: a QDateTime
// keeps the date and time it shows, whatever its zone.
std::optional<QDateTime> DateValue(const QVariant& value);

}  // namespace orla
