#include "platform/SharedFiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orla {
namespace {

constexpr int kOpenFlags = O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

// The machine's group that shares the files, when it exists.
std::optional<gid_t> SharedGroup() {
    const QByteArray name = qEnvironmentVariableIsSet("ORLA_SHARED_GROUP")
                                ? qgetenv("ORLA_SHARED_GROUP")
                                : QByteArray("orla");
    group entry{};
    group* found = nullptr;
    std::vector<char> buffer(16384);
    if (name.isEmpty() ||
        ::getgrnam_r(name.constData(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return std::nullopt;
    return found->gr_gid;
}

// The group's modes when the file can be given to the group, else the owner's.
bool ApplyModes(int fd, bool folder) {
    const std::optional<gid_t> group = SharedGroup();
    if (group && ::fchown(fd, uid_t(-1), *group) == 0)
        return ::fchmod(fd, folder ? 02770 : 0660) == 0;
    return ::fchmod(fd, folder ? 0700 : 0600) == 0;
}

}  // namespace

bool WriteFully(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

UniqueFd::~UniqueFd() {
    if (fd_ >= 0)
        ::close(fd_);
}

int UniqueFd::release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

bool MakeSharedFolder(const QString& path) {
    // Each missing folder from the top down: made for the owner alone, then
    // opened up to the group once it is ours, whatever the umask.
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString at;
    for (const QString& part : clean.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        at += QLatin1Char('/') + part;
        if (::mkdir(QFile::encodeName(at).constData(), 0700) != 0) {
            if (errno != EEXIST)
                return false;
            continue;
        }
        const SharedFolder made(at);
        if (!made.isOpen() || !ApplyModes(made.fd(), true))
            return false;
    }
    return SharedFolder(clean).isOpen();
}

SharedFolder::SharedFolder(const QString& path, bool follow)
    : fd_(::open(QFile::encodeName(path).constData(),
                 O_RDONLY | O_DIRECTORY | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW))) {}

SharedFolder SharedFolder::duplicate() const {
    return SharedFolder(UniqueFd(isOpen() ? ::fcntl(fd(), F_DUPFD_CLOEXEC, 0) : -1));
}

UniqueFd SharedFolder::open(const QString& name, int flags, bool create) const {
    if (!isOpen())
        return {};
    const QByteArray file = QFile::encodeName(name);
    if (create) {
        UniqueFd made(
            ::openat(fd(), file.constData(), flags | kOpenFlags | O_CREAT | O_EXCL, 0600));
        if (made) {
            if (ApplyModes(made.get(), false))
                return made;
            ::unlinkat(fd(), file.constData(), 0);
            return {};
        }
        if (errno != EEXIST)
            return {};
    }
    UniqueFd opened(::openat(fd(), file.constData(), flags | kOpenFlags));
    struct stat info {};
    if (!opened || ::fstat(opened.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_nlink != 1)
        return {};
    return opened;
}

std::optional<QByteArray> SharedFolder::read(const QString& name) const {
    const UniqueFd file = open(name, O_RDONLY);
    if (!file)
        return std::nullopt;
    QByteArray bytes;
    char chunk[8192];
    for (;;) {
        const ssize_t n = ::read(file.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            return bytes;
        bytes.append(chunk, n);
    }
}

bool SharedFolder::contains(const QString& name) const {
    struct stat info {};
    return isOpen() &&
           ::fstatat(fd(), QFile::encodeName(name).constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool SharedFolder::replace(const QString& name, const QByteArray& bytes, const QString& stem,
                           Placement placement) const {
    FileReplacement file(duplicate(), name, stem, placement);
    const bool ok = file.write(bytes) && file.commit();
    if (!ok)
        errno = file.error();
    return ok;
}

bool SharedFolder::remove(const QString& name) const {
    return isOpen() && ::unlinkat(fd(), QFile::encodeName(name).constData(), 0) == 0;
}

bool LockExclusive(int fd, std::chrono::milliseconds wait) {
    const QDeadlineTimer deadline(wait);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if ((errno != EWOULDBLOCK && errno != EINTR) || deadline.hasExpired())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void SharedFolder::removeStaleTemporaries(const QString& stem) const {
    if (!isOpen())
        return;
    const QByteArray prefix = QFile::encodeName(stem) + '.';
    static const QRegularExpression suffix(QStringLiteral("^[0-9a-z]{1,13}$"));
    // A listing of its own: a duplicate would share the folder's read position.
    const int listing = ::openat(fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!dir) {
        if (listing >= 0)
            ::close(listing);
        return;
    }
    QByteArrayList stale;
    const time_t minuteAgo = ::time(nullptr) - 60;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        struct stat info {};
        if (name.startsWith(prefix) &&
            suffix.match(QString::fromLatin1(name.mid(prefix.size()))).hasMatch() &&
            ::fstatat(fd(), name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_mtime < minuteAgo)
            stale << name;
    }
    ::closedir(dir);
    for (const QByteArray& name : stale) {
        const UniqueFd file(::openat(fd(), name.constData(), O_RDONLY | kOpenFlags));
        struct stat opened {};
        struct stat named {};
        // Removed only while its lock is ours and the name still stands for it.
        if (file && ::flock(file.get(), LOCK_EX | LOCK_NB) == 0 &&
            ::fstat(file.get(), &opened) == 0 &&
            ::fstatat(fd(), name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            opened.st_ino == named.st_ino && opened.st_dev == named.st_dev)
            ::unlinkat(fd(), name.constData(), 0);
    }
}

FileReplacement::FileReplacement(SharedFolder folder, const QString& name, const QString& stem,
                                 Placement placement)
    : folder_(std::move(folder)), name_(QFile::encodeName(name)) {
    if (!folder_.isOpen()) {
        fail(errno ? errno : ENOENT);
        return;
    }
    struct stat info {};
    if (::fstatat(folder_.fd(), name_.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISREG(info.st_mode)) {
            fail(S_ISLNK(info.st_mode) ? ELOOP : S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
            return;
        }
    } else if (errno != ENOENT) {
        fail(errno);
        return;
    }
    const mode_t mode = placement == Placement::Chosen ? 0666 : 0600;
    for (int attempt = 0; attempt < 16 && !file_; ++attempt) {
        temporary_ = QFile::encodeName(stem) + '.' +
                     QByteArray::number(QRandomGenerator::system()->generate64(), 36);
        file_ = UniqueFd(::openat(folder_.fd(), temporary_.constData(),
                                  O_WRONLY | O_CREAT | O_EXCL | kOpenFlags, mode));
        if (!file_ && errno != EEXIST) {
            temporary_.clear();
            fail(errno);
            return;
        }
    }
    if (!file_) {
        temporary_.clear();
        fail(EEXIST);
        return;
    }
    // Locked at once: a cleaner never takes a temporary whose writer lives.
    if (::flock(file_.get(), LOCK_EX | LOCK_NB) != 0)
        fail(errno);
    else if (placement == Placement::Shared    ? !ApplyModes(file_.get(), false)
             : placement == Placement::Private ? ::fchmod(file_.get(), 0600) != 0
                                               : false)
        fail(errno);
}

FileReplacement::FileReplacement(const QString& path, Placement placement)
    : FileReplacement(SharedFolder(QFileInfo(QDir::cleanPath(path)).absolutePath(),
                                   placement == Placement::Chosen),
                      QFileInfo(QDir::cleanPath(path)).fileName(),
                      QLatin1Char('.') + QFileInfo(QDir::cleanPath(path)).fileName(), placement) {}

FileReplacement::~FileReplacement() {
    if (!committed_ && !temporary_.isEmpty())
        ::unlinkat(folder_.fd(), temporary_.constData(), 0);
}

bool FileReplacement::fail(int error) {
    if (!error_)
        error_ = error ? error : EIO;
    return false;
}

bool FileReplacement::write(const QByteArray& bytes) {
    if (error_)
        return false;
    return WriteFully(file_.get(), bytes) || fail(errno);
}

bool FileReplacement::commit() {
    if (error_ || ::fsync(file_.get()) != 0)
        return fail(errno);
    // A link put under the name meanwhile is refused too; a rename would
    // replace it, never write through it.
    struct stat info {};
    if (::fstatat(folder_.fd(), name_.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISREG(info.st_mode))
        return fail(S_ISLNK(info.st_mode) ? ELOOP : EISDIR);
    if (::renameat(folder_.fd(), temporary_.constData(), folder_.fd(), name_.constData()) != 0)
        return fail(errno);
    committed_ = true;
    return true;
}

int WriteWholeFile(const QString& path, const QByteArray& bytes, Placement placement) {
    FileReplacement file(path, placement);
    return file.write(bytes) && file.commit() ? 0 : file.error();
}

QString FileErrorText(int error) {
    if (error == ELOOP)
        return QStringLiteral("o nome é uma ligação simbólica, que nunca é seguida.");
    return QString::fromLocal8Bit(::strerror(error));
}

}  // namespace orla
