// Character and text replacement used when normalising typed numbers and
// when filling report templates.
#pragma once

#include <QString>

namespace orla {

// The text with every occurrence of `from` (found without regard to case)
// replaced by `to`. Empty when either is not exactly one character long.
QString TrocarCaracter(const QString& text, const QString& from, const QString& to);

// The text with every occurrence of `search`, in any case, replaced. An
// empty replacement is taken as one space, so a placeholder never vanishes
// without trace; an inserted replacement is not searched again.
QString SubstituirTexto(const QString& text, const QString& search, const QString& replacement);

}  // namespace orla
