#include "OutputFolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orla {
namespace {

// Makes one folder, 0700 whatever the umask; true when one stands there after.
bool MakeOne(const QByteArray& path, int* error) {
    if (::mkdir(path.constData(), 0700) == 0) {
        const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const bool private_ = fd >= 0 && ::fchmod(fd, 0700) == 0;
        *error = private_ ? 0 : errno;
        if (fd >= 0)
            ::close(fd);
        return private_;
    }
    *error = errno;
    struct stat info {};
    // Something was there: a folder (a link to one the user made included) is used; a link
    // to nothing is not followed to make its target.
    if (*error == EEXIST && ::stat(path.constData(), &info) == 0) {
        *error = S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
        return *error == 0;
    }
    return false;
}

}  // namespace

bool MakeOutputFolder(const QString& path, QString* message) {
    // Each folder on the way, from the top: those there are used, the others made.
    QString folder;
    for (const QString& part :
         QDir::cleanPath(QDir(path).absolutePath()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        folder += QLatin1Char('/') + part;
        int error = 0;
        if (!MakeOne(QFile::encodeName(folder), &error)) {
            *message = QStringLiteral("Não foi possível criar a pasta %1: %2")
                           .arg(folder, QString::fromLocal8Bit(std::strerror(error)));
            return false;
        }
    }
    return true;
}

}  // namespace orla
