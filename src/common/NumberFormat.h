// Numbers written with the number codes of a format string.
#pragma once

#include "platform/Decimal.h"

#include <QString>

namespace orla {

// The codes: "0" a digit always shown, "#" a digit shown when significant, ","
// among the whole digits groups them by three with SeparadorMilhares, "." the
// place of SeparadorDecimal, "%" shows the value times 100; everything else is
// text, written before the number when it comes before the first digit code and
// after it otherwise. The first section (before ";") is for positive values and
// for negative ones when there is no second, with "-" in front; the second shows
// negative values without their sign. Halves round away from zero.
QString FormatNumber(const Decimal& value, const QString& format);

}  // namespace orla
