#include "RecordingShell.h"

namespace orla::test {

bool RecordingShell::ShellExecute(const QString& verb, const QString& file,
                                  const QString& workingFolder, QWidget* owner) {
    calls.append({verb, file, workingFolder, owner});
    return result;
}

ScopedShell::ScopedShell() {
    auto shell = std::make_unique<RecordingShell>();
    shell_ = shell.get();
    SetShell(std::move(shell));
}

ScopedShell::~ScopedShell() {
    SetShell(nullptr);
}

}  // namespace orla::test
