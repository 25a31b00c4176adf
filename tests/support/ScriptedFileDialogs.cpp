#include "ScriptedFileDialogs.h"

namespace orla::test {

QString ScriptedFileDialogs::GetSaveFileName(const SaveDialogRequest& request) {
    requests.append(request);
    return answers.isEmpty() ? QString() : answers.takeFirst();
}

ScopedFileDialogs::ScopedFileDialogs() {
    auto dialogs = std::make_unique<ScriptedFileDialogs>();
    dialogs_ = dialogs.get();
    SetFileDialogs(std::move(dialogs));
}

ScopedFileDialogs::~ScopedFileDialogs() {
    SetFileDialogs(nullptr);
}

}  // namespace orla::test
