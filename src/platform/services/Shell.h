// The shell's verbs on a file: "open" hands it to the desktop's program for
// its kind, "print" prints it (a document converted to PDF first, through
// lp). Behind a service so that tests record the calls instead of starting
// programs.
#pragma once

#include "platform/ServiceSlot.h"

#include <QString>

class QWidget;

namespace orla {

class Shell {
  public:
    virtual ~Shell();
    // Runs the verb on the file from the working folder (may be empty); the
    // owner is the window any message belongs to (may be null). False when it
    // could not be done, after telling the user why.
    virtual bool ShellExecute(const QString& verb, const QString& file,
                              const QString& workingFolder, QWidget* owner) = 0;
};

// The desktop's programs unless a test puts its double in.
extern template class ServiceSlot<Shell>;

inline Shell& CurrentShell() {
    return ServiceSlot<Shell>::Current();
}

}  // namespace orla
