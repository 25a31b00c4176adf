// Text replacement used when filling report templates.
#pragma once

#include <QString>

namespace orla {

// The text with every occurrence of `search`, in any case, replaced. An
// empty replacement is taken as one space, so a placeholder never vanishes
// without trace; an inserted replacement is not searched again.
QString SubstituirTexto(const QString& text, const QString& search, const QString& replacement);

}  // namespace orla
