#include "platform/Folders.h"

#include <QDir>
#include <QStandardPaths>

namespace orla {
namespace {

QString WithoutTrailingSeparator(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

}  // namespace

QString CommonAppDataPath() {
    const QString configured = qEnvironmentVariable("ORLA_COMMON_APPDATA");
    if (!configured.isEmpty())
        return WithoutTrailingSeparator(QDir::cleanPath(configured));
    return WithoutTrailingSeparator(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

QString DesktopPath() {
    return WithoutTrailingSeparator(
        QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

}  // namespace orla
