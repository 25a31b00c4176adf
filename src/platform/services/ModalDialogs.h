// Showing a dialog modally, behind one service so that tests can act on the
// dialog from a script instead of blocking in its event loop.
#pragma once

#include <functional>

class QDialog;

namespace orla {

// Shows the dialog modally and returns its result code once it has closed.
using ModalRunner = std::function<int(QDialog&)>;

// Shows the dialog through the runner in use: QDialog::exec unless a test
// installed its own.
int ShowModal(QDialog& dialog);

// Installs a runner; an empty one brings back QDialog::exec. Returns the
// runner it replaced (empty when that was the default).
ModalRunner SetModalRunner(ModalRunner runner);

}  // namespace orla
