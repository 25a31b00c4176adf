// The locale's number separators and the numeric test built on them.
#pragma once

#include "common/Decimal.h"

#include <QString>
#include <QVariant>

#include <optional>

namespace orla {

// The decimal separator of the process's locale (QLocale()).
QString SeparadorDecimal();
// The thousands separator as the original platform's locales gave it: "." when
// the decimal separator is "," and "," when it is "." (Qt's own data groups
// pt_PT with a no-break space, which the system's formats never show); for any
// other decimal separator, the locale's group separator.
QString SeparadorMilhares();
// The first non-blank character of the decimal separator.
QString SeparadorDecimalCurto();
// True when the value reads as a number once its separators are normalised:
// with both "," and "." in a text the thousands separator goes; with only one
// of them, both become the decimal separator. The separators are read once.
bool EhNumero(const QVariant& value);
// The number EhNumero finds in the value, exactly as written ("1.234,50" with
// "," decimals gives 1234.50); nothing when EhNumero is false.
std::optional<Decimal> NumeroLido(const QVariant& value);
// EhNumero keeps the separators it first read for the life of the component;
// after a change of locale (tests switch locales) this makes it read them again.
void EsquecerSeparadoresLidos();

}  // namespace orla
