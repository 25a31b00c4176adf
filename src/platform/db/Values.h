// Reading field values of either backend: SQL Server gives typed values, the
// embedded database gives dates as "yyyy-mm-dd hh:mm:ss" text.
#pragma once

#include <QDateTime>
#include <QVariant>

#include <optional>

namespace orla {

// The value as a date and time, when it holds one.
std::optional<QDateTime> DateValue(const QVariant& value);

}  // namespace orla
