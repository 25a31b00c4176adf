#include "platform/services/SharedServices.h"

#include "platform/Folders.h"
#include "platform/SharedFiles.h"
#include "platform/services/Prompts.h"

#include <QDateTime>
#include <QFileInfo>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace orla {
namespace {

QString LogPath() {
    const QString base = CommonAppDataPath();
    if (base.isEmpty())
        return {};
    return base + QLatin1String("/Nexo Software/OrlaContas.log");
}

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
        const QString path = LogPath();
        if (path.isEmpty())
            return;
        // The folder is shared: neither it nor the log is followed through a link.
        const QFileInfo log(path);
        const UniqueFd file =
            MakeSharedFolder(log.absolutePath())
                ? SharedFolder(log.absolutePath()).open(log.fileName(), O_WRONLY | O_APPEND, true)
                : UniqueFd();
        const QByteArray bytes = stamped.toUtf8() + '\n';
        if (!file || ::write(file.get(), bytes.constData(), size_t(bytes.size())) < 0)
            std::fprintf(stderr, "%s\n",
                         qUtf8Printable(QStringLiteral("Log não gravado: ") + path));
    }
};

}  // namespace

SharedServices::~SharedServices() = default;

template <>
std::unique_ptr<SharedServices> MakeDefaultService<SharedServices>() {
    return std::make_unique<LoggingSharedServices>();
}
template class ServiceSlot<SharedServices>;

}  // namespace orla
