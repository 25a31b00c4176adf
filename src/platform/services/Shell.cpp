#include "platform/services/Shell.h"

#include "platform/services/PdfConversion.h"
#include "platform/services/Prompts.h"
#include "platform/services/RunProgram.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <QWidget>

#include <cstdio>
#include <optional>

namespace orla {
namespace {

constexpr int kPrintWaitMs = 120000;

// True when the file is a PDF by its contents, whatever its name.
bool IsPdfFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-";
}

// Hands the PDF to lp; false with the reason when it fails or cannot start.
bool SendToPrinter(const QString& lp, const QString& pdf, QString* why) {
    QProcess process;
    switch (RunToEnd(process, lp, {QStringLiteral("--"), pdf}, kPrintWaitMs)) {
        case RunEnd::Done:
            return true;
        case RunEnd::NotStarted:
        case RunEnd::TimedOut:
        case RunEnd::Cancelled:
            *why = process.errorString();
            return false;
        case RunEnd::Failed:
            break;
    }
    const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    *why = said.isEmpty() ? QStringLiteral("%1 terminou com o código %2.")
                                .arg(QFileInfo(lp).fileName())
                                .arg(process.exitCode())
                          : said;
    return false;
}

// The printer gets a PDF: a document is first converted by LibreOffice (in a
// work folder removed after the print). CUPS's lp prints it; without lp
// there is no printing at all.
QString Print(const QString& file) {
    const QString lp = QStandardPaths::findExecutable(QStringLiteral("lp"));
    if (lp.isEmpty())
        return QStringLiteral(
                   "Não é possível imprimir %1: não há sistema de impressão (o comando lp do "
                   "CUPS não está instalado).")
            .arg(file);
    QString why;
    std::optional<QTemporaryDir> work;
    const QString pdf = IsPdfFile(file) ? file : ConvertToPdfInWorkFolder(file, work, &why);
    if (!pdf.isEmpty() && SendToPrinter(lp, pdf, &why))
        return {};
    return QStringLiteral("Não foi possível imprimir %1: %2").arg(file, why);
}

class DesktopShell : public Shell {
  public:
    bool ShellExecute(const QString& verb, const QString& file, const QString& workingFolder,
                      QWidget* owner) override {
        const QFileInfo target(QDir(workingFolder).filePath(file));
        QString message;
        if (!target.isFile())
            message = QStringLiteral("O ficheiro %1 não existe.").arg(target.filePath());
        else if (verb == QLatin1String("open")) {
            if (!QDesktopServices::openUrl(QUrl::fromLocalFile(target.absoluteFilePath())))
                message =
                    QStringLiteral("Não há nenhum programa para abrir %1.").arg(target.filePath());
        } else if (verb == QLatin1String("print"))
            message = Print(target.absoluteFilePath());
        else
            message = QStringLiteral("A ação \"%1\" não existe para ficheiros.").arg(verb);
        if (message.isEmpty())
            return true;
        // Nobody could answer a message box without a display: it goes to the error output.
        if (!HasDisplay()) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(message));
            return false;
        }
        const QString title = owner ? owner->windowTitle() : QCoreApplication::applicationName();
        const auto tell = [message, title] {
            CurrentPrompts().MsgBox(message, vb::Exclamation, title);
        };
        // A print run off the interface thread tells the user from the interface thread.
        if (QThread::currentThread() == qApp->thread())
            tell();
        else
            QMetaObject::invokeMethod(qApp, tell, Qt::QueuedConnection);
        return false;
    }
};

}  // namespace

Shell::~Shell() = default;

template <>
std::unique_ptr<Shell> MakeDefaultService<Shell>() {
    return std::make_unique<DesktopShell>();
}
template class ServiceSlot<Shell>;

}  // namespace orla
