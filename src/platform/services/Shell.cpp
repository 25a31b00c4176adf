#include "platform/services/Shell.h"

#include "platform/services/Prompts.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace orla {
namespace {

constexpr int kPrintWaitMs = 120000;

// Runs a program to its end; false with the reason when it fails or cannot start.
bool Run(const QString& program, const QStringList& arguments, const QString& folder,
         QString* why) {
    QProcess process;
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        process.setWorkingDirectory(folder);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(kPrintWaitMs)) {
        *why = process.errorString();
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    *why = said.isEmpty() ? QStringLiteral("%1 terminou com o código %2.")
                                .arg(QFileInfo(program).fileName())
                                .arg(process.exitCode())
                          : said;
    return false;
}

// LibreOffice prints without showing itself, with a profile of this program's
// own so that a LibreOffice the user has open is left alone; without it, lp.
// Both print through CUPS: without its lp command there is no printing at all
// (LibreOffice would end as if it had printed).
QString Print(const QString& file, const QString& folder) {
    const QString lp = QStandardPaths::findExecutable(QStringLiteral("lp"));
    if (lp.isEmpty())
        return QStringLiteral(
                   "Não é possível imprimir %1: não há sistema de impressão (o comando lp do "
                   "CUPS não está instalado).")
            .arg(file);
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    QString why;
    if (!soffice.isEmpty()) {
        const QString profile = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                                QStringLiteral("/libreoffice");
        const QStringList arguments{
            QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
            QStringLiteral("--headless"), QStringLiteral("-p"), file};
        if (Run(soffice, arguments, folder, &why))
            return {};
    }
    if (Run(lp, {QStringLiteral("--"), file}, folder, &why))
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
            message = Print(target.absoluteFilePath(), workingFolder);
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
