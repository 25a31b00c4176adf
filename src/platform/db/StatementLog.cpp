#include "platform/db/StatementLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>

namespace orla {

void LogStatement(const QString& sql) {
    static const QString folder = qEnvironmentVariable("ORLA_STATEMENT_LOG_DIR");
    if (folder.isEmpty())
        return;
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    // One file per process; statements end with the record separator, since they span lines.
    const QString path = QDir(folder).filePath(
        QStringLiteral("statements-%1.sql").arg(QCoreApplication::applicationPid()));
    if (!QDir().mkpath(folder) || QFileInfo(path).isSymLink())
        return;
    QFile file(path);
    if (file.open(QIODevice::Append | QIODevice::WriteOnly))
        file.write(sql.toUtf8() + '\x1e');
}

}  // namespace orla
