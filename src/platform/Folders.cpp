#include "platform/Folders.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMutex>
#include <QSet>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orla {
namespace {

QString WithoutTrailingSeparator(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

// A folder the user may keep private files in: a real folder of theirs that
// nobody else may write.
bool Usable(const QString& folder) {
    struct stat info {};
    return !folder.isEmpty() && ::lstat(QFile::encodeName(folder).constData(), &info) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && !(info.st_mode & 022);
}

// Makes the folder (0700) or checks the one there; an empty text when it can be used.
QString MakePrivateFolder(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return QStringLiteral("Não foi possível criar a pasta temporária %1: %2")
            .arg(path, QString::fromLocal8Bit(::strerror(errno)));
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info {};
    QString why;
    if (fd < 0 || ::fstat(fd, &info) != 0)
        why = QStringLiteral("no seu lugar está uma ligação simbólica ou um ficheiro");
    else if (info.st_uid != ::geteuid())
        why = QStringLiteral("pertence a outro utilizador");
    else if ((info.st_mode & 07777) != 0700 && ::fchmod(fd, 0700) != 0)
        why = QString::fromLocal8Bit(::strerror(errno));
    if (fd >= 0)
        ::close(fd);
    return why.isEmpty() ? QString()
                         : QStringLiteral("A pasta temporária %1 não é privada e não é usada: %2.")
                               .arg(path, why);
}

// The work folders of this program in the private folder an hour old.
void RemoveStaleWorkFolders(const QString& folder) {
    const QDateTime hourAgo = QDateTime::currentDateTimeUtc().addSecs(-3600);
    QDirIterator work(folder,
                      {QStringLiteral("orla-mail-*"), QStringLiteral("orla-pdf-*"),
                       QStringLiteral("orla-soffice-*")},
                      QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot | QDir::Hidden);
    while (work.hasNext()) {
        work.next();
        if (work.fileInfo().lastModified().toUTC() < hourAgo)
            QDir(work.filePath()).removeRecursively();
    }
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

QString PrivateTempPath(QString* error) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QString path;
    if (Usable(runtime)) {
        path = WithoutTrailingSeparator(runtime) + QStringLiteral("/orla-contas");
    } else {
        const QString base = qEnvironmentVariable("TMPDIR", QStringLiteral("/tmp"));
        path = WithoutTrailingSeparator(base.isEmpty() ? QStringLiteral("/tmp") : base) +
               QStringLiteral("/orla-%1").arg(::geteuid());
    }
    *error = MakePrivateFolder(path);
    if (!error->isEmpty())
        return {};
    static QMutex mutex;
    static QSet<QString> tidied;
    const QMutexLocker lock(&mutex);
    if (!tidied.contains(path)) {
        tidied.insert(path);
        RemoveStaleWorkFolders(path);
    }
    return path;
}

}  // namespace orla
