#include "Recorders.h"

#include <QDialog>

namespace orla::test {

void RecordingServices::ReportError(QString& product, QString& application, QString& module,
                                    QString& procedure, QString& message) {
    reports.append({{product, application, module, procedure, message}});
}

int ScriptedPrompts::MsgBox(const QString& prompt, int style, const QString& title) {
    calls.append({prompt, title, style});
    return answers.isEmpty() ? vb::OK : answers.takeFirst();
}

QString ScriptedPrompts::InputBox(const QString& prompt, const QString& title, const QString&) {
    calls.append({prompt, title, 0});
    return inputs.isEmpty() ? QString() : inputs.takeFirst();
}

int ScriptedModalRunner::Run(QDialog& dialog) {
    shown << dialog.objectName();
    dialog.setResult(0);
    dialog.show();
    script_(dialog);
    dialog.hide();
    return dialog.result();
}

}  // namespace orla::test
