#include "platform/services/PdfConversion.h"

#include "platform/Folders.h"
#include "platform/SharedFiles.h"
#include "platform/services/RepeatedHeadings.h"
#include "platform/services/RunProgram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>

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

// LibreOffice as this conversion runs it: a profile and a HOME of its own.
struct Office {
    QString soffice;
    QProcessEnvironment env;
    QString profile;
    const std::function<bool()>& cancelled;
};

// Converts `input` into `format` ("pdf", "fodt") in outDir: the output's path, the input's
// base name with the format's extension; empty, with *error saying why, on failure.
// `file` is the user's document, which the messages name.
QString RunConversion(const Office& office, const QString& format, const QString& input,
                      const QString& outDir, const QString& file, QString* error) {
    QProcess process;
    process.setProcessEnvironment(office.env);
    const RunEnd end = RunToEnd(
        process, office.soffice,
        {QStringLiteral("-env:UserInstallation=") + office.profile, QStringLiteral("--headless"),
         QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"), outDir, input},
        kTimeoutMs, office.cancelled);
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
    const QFileInfo out(
        QDir(outDir).filePath(QFileInfo(input).completeBaseName() + QLatin1Char('.') + format));
    if (!out.isFile() || out.size() == 0) {
        *error = QStringLiteral("o LibreOffice não fez o %1 de %2: %3")
                     .arg(format.toUpper(), file, said);
        return {};
    }
    return out.filePath();
}

// The marked copy of `file` converted in `work` to flat ODF, its marked rows made header
// rows there, and that document converted to the PDF in outDir.
QString ConvertWithHeadings(const Office& office, const MarkedRtf& marked, const QString& file,
                            const QString& work, const QString& outDir, QString* error) {
    const SharedFolder folder(work);
    const QString base = QFileInfo(file).completeBaseName();
    const QString copy = base + QStringLiteral(".rtf");
    const QString flat = base + QStringLiteral(".fodt");
    if (!folder.replace(copy, marked.rtf, copy, Placement::Private)) {
        *error = QStringLiteral("não foi possível escrever a cópia de %1: %2")
                     .arg(file, FileErrorText(errno));
        return {};
    }
    const QString fodt =
        RunConversion(office, QStringLiteral("fodt"), QDir(work).filePath(copy), work, file, error);
    if (fodt.isEmpty())
        return {};
    const std::optional<QByteArray> exported = folder.read(flat);
    if (!exported) {
        *error = QStringLiteral("não foi possível ler o documento intermédio de %1: %2")
                     .arg(file, FileErrorText(errno));
        return {};
    }
    const QByteArray edited = RepeatMarkedRows(*exported, marked.prefix, marked.markers, error);
    if (edited.isEmpty())
        return {};
    if (!folder.replace(flat, edited, flat, Placement::Private)) {
        *error = QStringLiteral("não foi possível escrever o documento intermédio de %1: %2")
                     .arg(file, FileErrorText(errno));
        return {};
    }
    return RunConversion(office, QStringLiteral("pdf"), fodt, outDir, file, error);
}

}  // namespace

QString ConvertToPdf(const QString& file, const QString& outDir, QString* error,
                     const std::function<bool()>& cancelled) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        *error = QStringLiteral("o LibreOffice (soffice) não está instalado.");
        return {};
    }
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("não foi possível ler %1: %2").arg(file, input.errorString());
        return {};
    }
    const MarkedRtf marked = MarkHeadingRows(input.readAll());
    input.close();
    // A new folder in the user's private one: the profile and HOME of this run, and the
    // marked copy's work folder.
    const QString temp = PrivateTempPath(error);
    if (temp.isEmpty())
        return {};
    QTemporaryDir home(temp + QStringLiteral("/orla-soffice-XXXXXX"));
    if (!home.isValid()) {
        *error = home.errorString();
        return {};
    }
    Office office{soffice, QProcessEnvironment::systemEnvironment(), QString(), cancelled};
    office.env.insert(QStringLiteral("HOME"), home.path());
    office.profile =
        QUrl::fromLocalFile(QDir(home.path()).filePath(QStringLiteral("profile")))
            .toString(QUrl::FullyEncoded);  // a space in the path must reach it encoded
    const QString pdf =
        marked.markers == 0
            ? RunConversion(office, QStringLiteral("pdf"), file, outDir, file, error)
            : ConvertWithHeadings(office, marked, file, home.path(), outDir, error);
    if (pdf.isEmpty())
        return {};
    if (!ShowsADocument(pdf, file, error)) {
        QFile::remove(pdf);
        return {};
    }
    return pdf;
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
