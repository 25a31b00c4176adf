// The locale's number separators and the reading of typed numbers built on them.
#pragma once

#include "platform/Decimal.h"

#include <QString>
#include <QVariant>

#include <optional>

namespace orla {

// The decimal separator of the process's locale (QLocale()).
QString SeparadorDecimal();
// The thousands separator of the process's locale: "." in pt_BR, "," in en_US,
// a no-break space in pt_PT.
QString SeparadorMilhares();
// The number in a value, exactly as written. Numeric types as they are (true
// is -1). Texts as typed: blanks, no-break spaces and the locale's thousands
// separator are grouping and go; with both "," and "." the one that is not the
// decimal separator is grouping too, and with only one of them it is the
// decimal mark ("1.234,50" and "1 234,50" give 1234.50 with "," decimals, so
// does "1234.50"). Nothing for other values.
std::optional<Decimal> NumeroLido(const QVariant& value);

}  // namespace orla
