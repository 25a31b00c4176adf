#include "platform/services/FileDialogs.h"

#include "platform/services/Prompts.h"

#include <QFileDialog>
#include <QFileInfo>

namespace orla {
namespace {

class QtFileDialogs : public FileDialogs {
  public:
    QString GetSaveFileName(const SaveDialogRequest& request) override {
        return Ask(request, QFileDialog::AcceptSave);
    }

    QString GetOpenFileName(const SaveDialogRequest& request) override {
        return Ask(request, QFileDialog::AcceptOpen);
    }

  private:
    static QString Ask(const SaveDialogRequest& request, QFileDialog::AcceptMode mode) {
        // Without a display nobody could answer a modal dialog: taken as cancelled.
        if (!HasDisplay())
            return {};
        QFileDialog dialog(nullptr, request.title, request.folder);
        dialog.setAcceptMode(mode);
        if (mode == QFileDialog::AcceptOpen)
            dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters(request.nameFilters);
        // A folder given as the file name is where the dialog starts.
        if (QFileInfo(request.fileName).isDir())
            dialog.setDirectory(request.fileName);
        else if (!request.fileName.isEmpty())
            dialog.selectFile(request.fileName);
        if (dialog.exec() != QDialog::Accepted)
            return {};
        return dialog.selectedFiles().value(0);
    }
};

}  // namespace

FileDialogs::~FileDialogs() = default;

template <>
std::unique_ptr<FileDialogs> MakeDefaultService<FileDialogs>() {
    return std::make_unique<QtFileDialogs>();
}
template class ServiceSlot<FileDialogs>;

}  // namespace orla
