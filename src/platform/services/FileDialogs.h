// The save-as dialog, behind a service so that tests script the choice
// instead of blocking on a dialog.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace orla {

struct SaveDialogRequest {
    QString title;
    QString folder;           // the folder to start in; may be empty
    QString fileName;         // the name proposed; may be a path or a folder
    QStringList nameFilters;  // Qt's form: "Documentos (*.doc *.rtf)"
};

class FileDialogs {
  public:
    virtual ~FileDialogs();
    // The full path chosen, or an empty text when the user cancels.
    virtual QString GetSaveFileName(const SaveDialogRequest& request) = 0;
};

// The dialogs in use: Qt's file dialog unless a test installed its double.
FileDialogs& CurrentFileDialogs();
void SetFileDialogs(std::unique_ptr<FileDialogs> dialogs);

}  // namespace orla
