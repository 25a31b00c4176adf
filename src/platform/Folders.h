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

// The user's private temporary folder, without a trailing separator:
// "orla-contas" under XDG_RUNTIME_DIR when that is a real folder of the
// user's that nobody else may write, else "$TMPDIR/orla-<uid>" (TMPDIR: /tmp
// when unset). Made with mode 0700 when missing; one already there must be a
// real folder of the user's, and loses any group or other access. Empty, with
// *error saying why, when it is a link, not a folder or another user's. The
// first time a process uses the folder, the work folders earlier runs left in
// it ("orla-mail-*", "orla-pdf-*", "orla-soffice-*") an hour old are removed:
// a mail program has read its message, a conversion has ended by then.
QString PrivateTempPath(QString* error);

}  // namespace orla
