// The save-as and open dialogs, behind a service so that tests script the choice
// instead of blocking on a dialog.
#pragma once

#include "platform/ServiceSlot.h"

#include <QString>
#include <QStringList>

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
    // The existing file chosen (the request's name is ignored), or an empty text.
    virtual QString GetOpenFileName(const SaveDialogRequest& request) = 0;
};

// Qt's file dialog unless a test puts its double in.
extern template class ServiceSlot<FileDialogs>;

inline FileDialogs& CurrentFileDialogs() {
    return ServiceSlot<FileDialogs>::Current();
}

}  // namespace orla
