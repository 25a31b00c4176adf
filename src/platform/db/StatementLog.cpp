#include "platform/db/StatementLog.h"

#include "platform/SharedFiles.h"

#include <QCoreApplication>
#include <QMutex>

#include <fcntl.h>
#include <unistd.h>

namespace orla {

void LogStatement(const QString& sql) {
    static const QString folder = qEnvironmentVariable("ORLA_STATEMENT_LOG_DIR");
    if (folder.isEmpty())
        return;
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    // One file per process, never through a link; statements end with the record separator,
    // since they span lines.
    if (!MakeSharedFolder(folder))
        return;
    const UniqueFd file = SharedFolder(folder).open(
        QStringLiteral("statements-%1.sql").arg(QCoreApplication::applicationPid()),
        O_WRONLY | O_APPEND, true);
    if (!file)
        return;
    const QByteArray record = sql.toUtf8() + '\x1e';
    [[maybe_unused]] const ssize_t written = ::write(file.get(), record.constData(), record.size());
}

}  // namespace orla
