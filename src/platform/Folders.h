// Where the platform keeps machine-wide application data and the desktop.
#pragma once

#include <QString>

namespace orla {

// The machine's common application-data folder: ORLA_COMMON_APPDATA when set,
// else the user's generic data folder. Without a trailing separator; empty
// when it cannot be resolved.
QString CommonAppDataPath();

// The user's desktop folder, without a trailing separator.
QString DesktopPath();

}  // namespace orla
