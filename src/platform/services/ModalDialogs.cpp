#include "platform/services/ModalDialogs.h"

#include <QDialog>

namespace orla {
namespace {

ModalRunner& Slot() {
    static ModalRunner runner;
    return runner;
}

}  // namespace

int ShowModal(QDialog& dialog) {
    const ModalRunner& runner = Slot();
    return runner ? runner(dialog) : dialog.exec();
}

ModalRunner SetModalRunner(ModalRunner runner) {
    ModalRunner previous = std::move(Slot());
    Slot() = std::move(runner);
    return previous;
}

}  // namespace orla
