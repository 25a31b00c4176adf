// A modal runner for tests: instead of blocking in the dialog's event loop it
// shows the dialog, lets a script act on it as a user would, and returns the
// dialog's result. Installed for the lifetime of a scope.
#pragma once

#include "platform/services/ModalDialogs.h"

#include <QStringList>

#include <functional>

namespace orla::test {

class ScopedModalScript {
  public:
    using Script = std::function<void(QDialog&)>;

    explicit ScopedModalScript(Script script);
    ~ScopedModalScript();
    ScopedModalScript(const ScopedModalScript&) = delete;
    ScopedModalScript& operator=(const ScopedModalScript&) = delete;

    // Object names of the dialogs shown, in order. A dialog the script left
    // open is hidden so that the caller goes on.
    const QStringList& shown() const { return shown_; }

  private:
    Script script_;
    QStringList shown_;
    ModalRunner previous_;
};

}  // namespace orla::test
