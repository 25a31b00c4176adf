#include "PdfText.h"

#include "platform/services/PdfConversion.h"

#include <QProcess>
#include <QStandardPaths>

namespace orla::test {

namespace {

const int kTimeoutMs = 180000;

// Runs `tool` to its end; false, with *error naming the tool and what it said, when it is
// missing, fails to start, runs out of time or exits with an error.
bool Run(const QString& tool, const QStringList& args, const QProcessEnvironment& env,
         QByteArray* out, QString* error) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) {
        *error = QStringLiteral("%1 is not installed (scripts/setup.sh installs it)").arg(tool);
        return false;
    }
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    if (!process.waitForStarted() || !process.waitForFinished(kTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        *error = QStringLiteral("%1 did not finish: %2").arg(tool, process.errorString());
        return false;
    }
    *out = process.readAllStandardOutput();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *error = QStringLiteral("%1 failed (exit %2): %3 %4")
                     .arg(tool)
                     .arg(process.exitCode())
                     .arg(QString::fromLocal8Bit(*out),
                          QString::fromLocal8Bit(process.readAllStandardError()));
        return false;
    }
    return true;
}

}  // namespace

QString ConvertToPdf(const QString& file, const QString& outDir, QString* error,
                     const std::function<bool()>& cancelled) {
    return orla::ConvertToPdf(file, outDir, error, cancelled);
}

QString PdfToText(const QString& pdf, QString* error) {
    QByteArray out;
    if (!Run(QStringLiteral("pdftotext"),
             {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf,
              QStringLiteral("-")},
             QProcessEnvironment::systemEnvironment(), &out, error))
        return {};
    return QString::fromUtf8(out);
}

}  // namespace orla::test
