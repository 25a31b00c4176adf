// The system's Trim: removes spaces, and only spaces, from both ends.
#pragma once

#include <QString>

namespace orla {

QString TrimSpaces(const QString& text);

}  // namespace orla
