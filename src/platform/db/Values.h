// Reading field values of either backend: SQL Server gives typed values, the
// embedded database gives dates as "yyyy-mm-dd hh:mm:ss" text.
#pragma once

#include <QDateTime>
#include <QVariant>

#include <optional>

namespace orla {

// A date written "yyyy-mm-dd" or "dd-mm-yyyy" ("/" also), with an optional
// time "H:mm[:ss[.zzz]]" after a space or "T". Stored dates carry no time
// zone: the result is the same wall-clock time labelled UTC; compare dates
// and times by their parts.
std::optional<QDateTime> ParseDateText(QStringView text);

// The value as a date and time, when it holds one.
std::optional<QDateTime> DateValue(const QVariant& value);

}  // namespace orla
