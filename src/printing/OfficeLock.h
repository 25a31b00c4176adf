// The lock file LibreOffice keeps beside a document it has open,
// ".~lock.<name>#": one line "<author>,<user>,<host>,<time>,<profile URL>;".
#pragma once

#include <QString>

namespace orla {

// True when a lock file (a link too) stands beside the file and its owner may
// still have the document open. A lock that this user's LibreOffice left on
// this machine, when no LibreOffice of the user runs with the profile it
// names, is stale: it is removed and does not count. A lock that cannot be
// judged (another user's or machine's, unreadable, not a regular file) counts.
bool HeldByOffice(const QString& path);

}  // namespace orla
