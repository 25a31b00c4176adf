#include "ScopedModalScript.h"

#include <QDialog>

namespace orla::test {

ScopedModalScript::ScopedModalScript(Script script) : script_(std::move(script)) {
    previous_ = SetModalRunner([this](QDialog& dialog) {
        shown_ << dialog.objectName();
        dialog.setResult(0);
        dialog.show();
        script_(dialog);
        dialog.hide();
        return dialog.result();
    });
}

ScopedModalScript::~ScopedModalScript() {
    SetModalRunner(std::move(previous_));
}

}  // namespace orla::test
