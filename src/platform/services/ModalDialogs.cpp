#include "platform/services/ModalDialogs.h"

#include <QDialog>

namespace orla {

ModalRunner::~ModalRunner() = default;

int ModalRunner::Run(QDialog& dialog) {
    return dialog.exec();
}

template <>
std::unique_ptr<ModalRunner> MakeDefaultService<ModalRunner>() {
    return std::make_unique<ModalRunner>();
}
template class ServiceSlot<ModalRunner>;

}  // namespace orla
