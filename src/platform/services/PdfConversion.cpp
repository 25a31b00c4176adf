#include "platform/services/PdfConversion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace orla {
namespace {

constexpr int kConversionWaitMs = 180000;  // a first start of LibreOffice is slow

}  // namespace

bool ConvertToPdf(const QString& file, const QString& pdfPath, QString* error) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        *error = QStringLiteral("O LibreOffice (soffice) não está instalado.");
        return false;
    }
    if (!QFileInfo(file).isFile()) {
        *error = QStringLiteral("O ficheiro %1 não existe.").arg(file);
        return false;
    }
    QTemporaryDir work(QDir::temp().filePath(QStringLiteral("orla-pdf-XXXXXX")));
    if (!work.isValid()) {
        *error = QStringLiteral("Não há pasta temporária: %1").arg(work.errorString());
        return false;
    }
    const QDir dir(work.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir.filePath(QStringLiteral("home")));
    // LibreOffice reads its profile's URL encoded: a space left as it is makes it hang.
    const QString profile =
        QUrl::fromLocalFile(dir.filePath(QStringLiteral("profile"))).toString(QUrl::FullyEncoded);
    QProcess process;
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(
        soffice, {QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                  QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"),
                  dir.filePath(QStringLiteral("out")), QFileInfo(file).absoluteFilePath()});
    if (!process.waitForFinished(kConversionWaitMs)) {
        *error =
            QStringLiteral("O LibreOffice não converteu %1: %2").arg(file, process.errorString());
        process.kill();
        process.waitForFinished();
        return false;
    }
    QFile pdf(dir.filePath(QStringLiteral("out/")) + QFileInfo(file).completeBaseName() +
              QStringLiteral(".pdf"));
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
        !pdf.open(QIODevice::ReadOnly) || pdf.size() == 0) {
        *error = QStringLiteral("O LibreOffice não converteu %1 (código %2). %3")
                     .arg(file)
                     .arg(process.exitCode())
                     .arg(QString::fromLocal8Bit(process.readAllStandardError()).trimmed())
                     .trimmed();
        return false;
    }
    const QByteArray bytes = pdf.readAll();
    QSaveFile out(pdfPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        *error = QStringLiteral("Não foi possível escrever %1: %2").arg(pdfPath, out.errorString());
        return false;
    }
    return true;
}

}  // namespace orla
