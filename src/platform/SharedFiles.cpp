#include "platform/SharedFiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <thread>
#include <vector>

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
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Made for the owner alone, then opened up to the group once it is ours.
    const bool made = ::mkdir(QFile::encodeName(path).constData(), 0700) == 0;
    const SharedFolder folder(path);
    return folder.isOpen() && (!made || ApplyModes(folder.fd(), true));
}

SharedFolder::SharedFolder(const QString& path)
    : fd_(::open(QFile::encodeName(path).constData(),
                 O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)) {}

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

bool SharedFolder::replace(const QString& name, const QByteArray& bytes,
                           const QString& stem) const {
    if (!isOpen())
        return false;
    QByteArray temporary;
    UniqueFd file;
    for (int attempt = 0; attempt < 16 && !file; ++attempt) {
        temporary = QFile::encodeName(stem) + '.' +
                    QByteArray::number(QRandomGenerator::system()->generate64(), 36);
        file = UniqueFd(::openat(fd(), temporary.constData(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!file && errno != EEXIST)
            return false;
    }
    if (!file)
        return false;
    bool ok =
        ApplyModes(file.get(), false) && WriteFully(file.get(), bytes) && ::fsync(file.get()) == 0;
    ok = ::close(file.release()) == 0 && ok;
    // A rename replaces a link standing under the name; it never writes through it.
    ok = ok &&
         ::renameat(fd(), temporary.constData(), fd(), QFile::encodeName(name).constData()) == 0;
    if (!ok)
        ::unlinkat(fd(), temporary.constData(), 0);
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

}  // namespace orla
