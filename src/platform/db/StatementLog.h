// A record of every statement the component sends, for checking them against the server's
// dialect without a server: when ORLA_STATEMENT_LOG_DIR names a folder, each statement, as
// the system wrote it, is appended to a file of this process there.
#pragma once

#include <QString>

namespace orla {

// Appends the statement when recording is on; does nothing otherwise.
void LogStatement(const QString& sql);

}  // namespace orla
