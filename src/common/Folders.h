// Special folders, the temporary folder, and the folder write test of the
// settings store.
#pragma once

#include <QString>

namespace orla {

inline constexpr qint32 CSIDL_DESKTOP = 0x00;
inline constexpr qint32 CSIDL_COMMON_APPDATA = 0x23;

// The special folder's path without a trailing separator; empty when unknown.
QString PastaEspecial(qint32 pasta);
// The user's private temporary folder (PrivateTempPath), with its trailing
// separator; throws OrlaError 75, saying why, when it cannot be used.
QString PastaTemporaria();
// True when a file can be created, written and deleted in the folder; a link
// in place of the folder or of the test file fails it.
bool PastaGravavel(const QString& folder);

}  // namespace orla
