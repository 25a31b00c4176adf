// The save-as dialog with the system's filter list: descriptions and patterns
// separated by NUL characters, translated to Qt's name filters for the dialog.
#pragma once

#include <QString>
#include <QStringList>

namespace orla {

// The dialog record, in and out.
struct MSA_OPENFILENAME {
    QString strDialogTitle;
    QString strInitialDir;  // used when not empty
    QString strFilter;      // MSA_CreateFilterString's form
    QString strFile;        // in: the name proposed; out: the full path chosen
    QString strFileTitle;   // out: the name chosen, without its folder
};

// "description NUL pattern NUL ..." ending with one more NUL, with "*.*" for a
// last description without pattern and an "All Files" entry unless a "*.*"
// pattern is already there; an empty list gives an empty text.
QString MSA_CreateFilterString(const QStringList& texts);
// Shows the dialog with the record's filter list in Qt's form: as the platform
// reads it, the list ends at the first empty description; ";" between patterns
// becomes a space, and "*.*" (every file, with or without an extension)
// becomes "*". True when the user chose a file; the record then holds it.
bool MSA_GetSaveFileName(MSA_OPENFILENAME& record);

}  // namespace orla
