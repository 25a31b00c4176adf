// Showing a dialog modally, behind one service so that tests can act on the
// dialog from a script instead of blocking in its event loop.
#pragma once

#include "platform/ServiceSlot.h"

class QDialog;

namespace orla {

class ModalRunner {
  public:
    virtual ~ModalRunner();
    // Shows the dialog modally and returns its result code once it has closed:
    // QDialog::exec.
    virtual int Run(QDialog& dialog);
};

// QDialog::exec unless a test puts its own runner in.
extern template class ServiceSlot<ModalRunner>;

// Shows the dialog through the runner in use.
inline int ShowModal(QDialog& dialog) {
    return ServiceSlot<ModalRunner>::Current().Run(dialog);
}

}  // namespace orla
