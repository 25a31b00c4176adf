#include "platform/services/SharedServices.h"

#include "platform/Folders.h"
#include "platform/services/Prompts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace orla {
namespace {

// Writes each report to stderr and to the log file, and shows the message
// when a display is present. Reconnection notices are logged only.
class LoggingSharedServices : public SharedServices {
  public:
    void ReportError(QString& product, QString& application, QString& module, QString& procedure,
                     QString& message) override {
        const QString line = QStringList{product, application, module, procedure, message}.join(
            QLatin1String(" | "));
        Log(line);
        if (HasDisplay())
            CurrentPrompts().MsgBox(message, vb::Exclamation,
                                    application + QLatin1String(" - ") + procedure);
    }
    void ShowReconnecting(QWidget*) override { Log(QStringLiteral("A restabelecer a ligação...")); }
    void HideReconnecting(QWidget*) override {}
    void ReconnectSucceeded(QWidget*) override { Log(QStringLiteral("Ligação restabelecida.")); }
    void ReconnectFailed(QWidget*) override {
        Log(QStringLiteral("Não foi possível restabelecer a ligação."));
    }

  private:
    static void Log(const QString& line) {
        const QString stamped =
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss ")) + line;
        std::fprintf(stderr, "%s\n", qUtf8Printable(stamped));
        const QString path = SharedServicesLogPath();
        if (path.isEmpty())
            return;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::Append | QIODevice::Text))
            return;
        QTextStream(&file) << stamped << '\n';
    }
};

}  // namespace

SharedServices::~SharedServices() = default;

std::unique_ptr<SharedServices> MakeLoggingSharedServices() {
    return std::make_unique<LoggingSharedServices>();
}

SharedServicesFactory& CurrentSharedServicesFactory() {
    static SharedServicesFactory factory = MakeLoggingSharedServices;
    return factory;
}

QString SharedServicesLogPath() {
    const QString base = CommonAppDataPath();
    if (base.isEmpty())
        return {};
    return base + QLatin1String("/Nexo Software/OrlaContas.log");
}

}  // namespace orla
