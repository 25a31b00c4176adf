#include "platform/services/PdfConversion.h"

#include "platform/Folders.h"
#include "platform/services/RunProgram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QUrl>

namespace orla {
namespace {

constexpr int kTimeoutMs = 180000;  // a first start of LibreOffice on a busy machine is slow
constexpr int kReadTimeoutMs = 60000;

// LibreOffice takes a file it does not read as RTF for plain text and prints
// its source: the first page's text then begins with the RTF header. A PDF
// that cannot be read is not taken for a document either.
bool ShowsADocument(const QString& pdf, const QString& file, QString* error) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) {
        *error = QStringLiteral(
            "o pdftotext (poppler-utils) não está instalado e o PDF não pode ser verificado.");
        return false;
    }
    QProcess process;
    if (RunToEnd(process, pdftotext,
                 {QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-enc"),
                  QStringLiteral("UTF-8"), pdf, QStringLiteral("-")},
                 kReadTimeoutMs) != RunEnd::Done) {
        *error = QStringLiteral("não foi possível ler o PDF de %1: %2")
                     .arg(file, QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
        return false;
    }
    if (QString::fromUtf8(process.readAllStandardOutput())
            .trimmed()
            .startsWith(QLatin1String("{\\rtf"))) {
        *error = QStringLiteral(
                     "o LibreOffice leu %1 como texto simples e não como documento; o PDF "
                     "mostraria o código RTF e não foi feito.")
                     .arg(file);
        return false;
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
    const QString temp = PrivateTempPath(error);
    if (temp.isEmpty())
        return {};
    QTemporaryDir home(temp + QStringLiteral("/orla-soffice-XXXXXX"));
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
    const RunEnd end = RunToEnd(process, soffice,
                                {QStringLiteral("-env:UserInstallation=") + profile,
                                 QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                                 QStringLiteral("pdf"), QStringLiteral("--outdir"), outDir, file},
                                kTimeoutMs, cancelled);
    if (end == RunEnd::Cancelled) {
        *error = QStringLiteral("a conversão foi cancelada.");
        return {};
    }
    if (end == RunEnd::NotStarted || end == RunEnd::TimedOut) {
        *error = QStringLiteral("o LibreOffice não terminou: %1").arg(process.errorString());
        return {};
    }
    const QString said = QString::fromLocal8Bit(process.readAllStandardOutput() + ' ' +
                                                process.readAllStandardError())
                             .trimmed();
    if (end == RunEnd::Failed) {
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
    if (!ShowsADocument(pdf.filePath(), file, error)) {
        QFile::remove(pdf.filePath());
        return {};
    }
    return pdf.filePath();
}

QString ConvertToPdfInWorkFolder(const QString& file, std::optional<QTemporaryDir>& folder,
                                 QString* error, const std::function<bool()>& cancelled) {
    const QString temp = PrivateTempPath(error);
    if (temp.isEmpty())
        return {};
    folder.emplace(temp + QStringLiteral("/orla-pdf-XXXXXX"));
    if (!folder->isValid()) {
        *error = folder->errorString();
        return {};
    }
    return ConvertToPdf(file, folder->path(), error, cancelled);
}

}  // namespace orla
