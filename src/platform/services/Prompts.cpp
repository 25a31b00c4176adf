#include "platform/services/Prompts.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace orla {
namespace {

QMessageBox::Icon IconOf(int style) {
    switch (style & 0x70) {
        case vb::Critical:
            return QMessageBox::Critical;
        case vb::Question:
            return QMessageBox::Question;
        case vb::Exclamation:
            return QMessageBox::Warning;
        case vb::Information:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

class DialogPrompts : public Prompts {
  public:
    int MsgBox(const QString& prompt, int style, const QString& title) override {
        const bool yesNo = (style & 0x0F) == vb::YesNo;
        QMessageBox box(IconOf(style), title.isEmpty() ? QApplication::applicationName() : title,
                        prompt, yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok);
        if (style & vb::SystemModal)
            box.setWindowModality(Qt::ApplicationModal);
        const int answer = box.exec();
        if (!yesNo)
            return vb::OK;
        return answer == QMessageBox::Yes ? vb::Yes : vb::No;
    }

    QString InputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override {
        bool ok = false;
        const QString text =
            QInputDialog::getText(nullptr, title, prompt, QLineEdit::Normal, defaultText, &ok);
        return ok ? text : QString();
    }
};

}  // namespace

Prompts::~Prompts() = default;

template <>
std::unique_ptr<Prompts> MakeDefaultService<Prompts>() {
    return std::make_unique<DialogPrompts>();
}
template class ServiceSlot<Prompts>;

bool HasDisplay() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

}  // namespace orla
