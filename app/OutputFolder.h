// The folder a headless run writes its files to (--pasta-saida).
#pragma once

#include <QString>

namespace orla {

// Makes the folder when missing, with the folders missing above it, each with mode 0700 and
// never through a link (a link where a new folder goes is refused). One already there is
// used as it is. False with a message when it is not a folder or cannot be made.
bool MakeOutputFolder(const QString& path, QString* message);

}  // namespace orla
