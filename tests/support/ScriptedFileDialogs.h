// A save-as dialog that answers from a script and records every request,
// installed for the lifetime of a scope.
#pragma once

#include "platform/services/FileDialogs.h"

#include <QList>
#include <QStringList>

namespace orla::test {

class ScriptedFileDialogs : public FileDialogs {
  public:
    // The next scripted path ("" for cancel, also when the script runs out).
    QString GetSaveFileName(const SaveDialogRequest& request) override;

    QStringList answers;
    QList<SaveDialogRequest> requests;
};

class ScopedFileDialogs {
  public:
    ScopedFileDialogs();
    ~ScopedFileDialogs();
    ScriptedFileDialogs& dialogs() { return *dialogs_; }

  private:
    ScriptedFileDialogs* dialogs_;
};

}  // namespace orla::test
