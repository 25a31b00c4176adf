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
// Debian's UNO bridge is for this python, which need not be the first on the PATH.
constexpr char kPython[] = "/usr/bin/python3";

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

// Runs `program` (soffice, or the driver that starts it) with LibreOffice's environment and
// checks that it made `output`, a PDF: true, or false with *error saying why. `file` is the
// user's document, which the messages name; *exitCode, when asked, the status of a run that
// failed.
bool RunOffice(const Office& office, const QString& program, const QStringList& arguments,
               const QString& output, const QString& file, QString* error,
               int* exitCode = nullptr) {
    QProcess process;
    process.setProcessEnvironment(office.env);
    const RunEnd end = RunToEnd(process, program, arguments, kTimeoutMs, office.cancelled);
    if (end == RunEnd::Cancelled) {
        *error = QStringLiteral("a conversão foi cancelada.");
        return false;
    }
    if (end == RunEnd::NotStarted || end == RunEnd::TimedOut) {
        *error = QStringLiteral("o LibreOffice não terminou: %1").arg(process.errorString());
        return false;
    }
    const QString said = QString::fromLocal8Bit(process.readAllStandardOutput() + ' ' +
                                                process.readAllStandardError())
                             .trimmed();
    if (end == RunEnd::Failed) {
        if (exitCode)
            *exitCode = process.exitCode();
        *error = QStringLiteral("o LibreOffice terminou com o código %1: %2")
                     .arg(process.exitCode())
                     .arg(said);
        return false;
    }
    const QFileInfo out(output);
    if (!out.isFile() || out.size() == 0) {
        *error = QStringLiteral("o LibreOffice não fez o %1 de %2: %3")
                     .arg(QStringLiteral("PDF"), file, said);
        return false;
    }
    return true;
}

constexpr int kNoUnoBridge = 3;  // the driver's status when python cannot import uno

// The marked copy of `file`, written in `work`, converted by the driver (RepeatedHeadings.h)
// to `pdf` in one run of LibreOffice. *unavailable is set when this python has no UNO bridge.
bool ConvertWithHeadings(const Office& office, const MarkedRtf& marked, const QString& file,
                         const QString& work, const QString& pdf, QString* error,
                         bool* unavailable) {
    const QString copy = QFileInfo(file).completeBaseName() + QStringLiteral(".rtf");
    if (!SharedFolder(work).replace(copy, marked.rtf, copy, Placement::Private)) {
        *error = QStringLiteral("não foi possível escrever a cópia de %1: %2")
                     .arg(file, FileErrorText(errno));
        return false;
    }
    int status = 0;
    const bool done = RunOffice(
        office, QString::fromLatin1(kPython),
        {QStringLiteral("-I"), QStringLiteral("-c"), QString::fromUtf8(RepeatHeadingsDriver()),
         office.soffice, QDir(work).filePath(copy), pdf, office.profile, marked.prefix,
         QString::number(marked.markers)},
        pdf, file, error, &status);
    *unavailable = status == kNoUnoBridge;
    return done;
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
    // marked copy's folder.
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
        QDir(outDir).filePath(QFileInfo(file).completeBaseName() + QStringLiteral(".pdf"));
    // Without python's UNO bridge the headings are not repeated: one plain conversion.
    bool plain = marked.markers == 0 || !QFileInfo(QString::fromLatin1(kPython)).isExecutable();
    if (!plain && !ConvertWithHeadings(office, marked, file, home.path(), pdf, error, &plain) &&
        !plain)
        return {};
    if (plain && !RunOffice(office, soffice,
                            {QStringLiteral("-env:UserInstallation=") + office.profile,
                             QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                             QStringLiteral("pdf"), QStringLiteral("--outdir"), outDir, file},
                            pdf, file, error))
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
