// Special folders, the temporary folder, and the two file-system tests the
// settings store and the reports rely on.
#pragma once

#include <QString>

namespace orla {

inline constexpr qint32 CSIDL_DESKTOP = 0x00;
inline constexpr qint32 CSIDL_COMMON_APPDATA = 0x23;

// The special folder's path without a trailing separator; empty when unknown.
QString PastaEspecial(qint32 pasta);
// The temporary folder, with its trailing separator.
QString PastaTemporaria();
// True when the file opens for reading and its first line is not empty.
bool FicheiroComConteudo(const QString& path);
// True when a file can be created, written and deleted in the folder; a link
// in place of the folder or of the test file fails it.
bool PastaGravavel(const QString& folder);

}  // namespace orla
