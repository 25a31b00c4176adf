#include "printing/PdfConversion.h"

#include "common/Folders.h"
#include "platform/db/Error.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <csignal>

#include <unistd.h>

namespace orla {
namespace {

constexpr int kTimeoutMs = 180000;  // a first start of LibreOffice on a busy machine is slow
constexpr int kPollMs = 100;        // how often a cancellation is looked for

// Waits for the process to end within the time limit, or until `cancelled` says so: false,
// with *error saying why, when it did not end by itself.
bool WaitForEnd(QProcess& process, const std::function<bool()>& cancelled, QString* error) {
    QElapsedTimer waited;
    waited.start();
    while (!process.waitForFinished(kPollMs)) {
        if (process.state() == QProcess::NotRunning)
            break;
        if (cancelled && cancelled()) {
            *error = QStringLiteral("a conversão foi cancelada.");
            return false;
        }
        if (waited.elapsed() >= kTimeoutMs) {
            *error = QStringLiteral("o LibreOffice não terminou: %1").arg(process.errorString());
            return false;
        }
    }
    return true;
}

}  // namespace

QString ConvertToPdf(const QString& file, const QString& outDir, QString* error,
                     const std::function<bool()>& cancelled) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        *error = QStringLiteral("o LibreOffice (soffice) não está instalado.");
        return {};
    }
    // A new folder in the user's private one: the profile and HOME of this run.
    QString temp;
    if (const auto failed = Try([&] { temp = PastaTemporaria(); })) {
        *error = failed->description;
        return {};
    }
    QTemporaryDir home(temp + QStringLiteral("orla-soffice-XXXXXX"));
    if (!home.isValid()) {
        *error = home.errorString();
        return {};
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    const QString profile =
        QUrl::fromLocalFile(QDir(home.path()).filePath(QStringLiteral("profile")))
            .toString(QUrl::FullyEncoded);  // a space in the path must reach it encoded
    QProcess process;
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    // A group of its own: LibreOffice's launcher starts the converter as its child, and both
    // go when the conversion is stopped.
    process.setChildProcessModifier([] { ::setsid(); });
    process.start(soffice, {QStringLiteral("-env:UserInstallation=") + profile,
                            QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                            QStringLiteral("pdf"), QStringLiteral("--outdir"), outDir, file});
    if (!process.waitForStarted()) {
        *error = QStringLiteral("o LibreOffice não terminou: %1").arg(process.errorString());
        return {};
    }
    if (!WaitForEnd(process, cancelled, error)) {
        ::kill(-pid_t(process.processId()), SIGKILL);
        process.waitForFinished();
        return {};
    }
    const QString said = QString::fromLocal8Bit(process.readAllStandardOutput() + ' ' +
                                                process.readAllStandardError())
                             .trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *error = QStringLiteral("o LibreOffice terminou com o código %1: %2")
                     .arg(process.exitCode())
                     .arg(said);
        return {};
    }
    const QFileInfo pdf(
        QDir(outDir).filePath(QFileInfo(file).completeBaseName() + QStringLiteral(".pdf")));
    if (!pdf.isFile() || pdf.size() == 0) {
        *error = QStringLiteral("o LibreOffice não fez o PDF de %1: %2").arg(file, said);
        return {};
    }
    return pdf.filePath();
}

}  // namespace orla
