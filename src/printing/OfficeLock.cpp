#include "printing/OfficeLock.h"

#include "platform/SharedFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include <array>
#include <optional>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orla {
namespace {

constexpr qsizetype kMostRead = 4096;

// The start of a file that is regular and not a link; none otherwise.
std::optional<QByteArray> ReadStart(const QString& path) {
    const UniqueFd fd(::open(QFile::encodeName(path).constData(),
                             O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat info {};
    if (!fd || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    QByteArray bytes(kMostRead, '\0');
    const ssize_t n = ::read(fd.get(), bytes.data(), size_t(bytes.size()));
    if (n < 0)
        return std::nullopt;
    bytes.truncate(n);
    return bytes;
}

// The lock's fields, up to the ";" that ends them, with the escapes ("\" before
// ",", ";" or "\") undone.
QStringList LockFields(const QByteArray& line) {
    QStringList fields;
    QByteArray field;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\\' && i + 1 < line.size())
            field += line[++i];
        else if (c == ',' || c == ';') {
            fields << QString::fromUtf8(field);
            field.clear();
            if (c == ';')
                return fields;
        } else
            field += c;
    }
    fields << QString::fromUtf8(field);
    return fields;
}

QString ThisUser() {
    std::array<char, 4096> buffer{};
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return {};
    return QString::fromLocal8Bit(found->pw_name);
}

QString ThisHost() {
    std::array<char, 256> name{};
    if (::gethostname(name.data(), name.size() - 1) != 0)
        return {};
    return QString::fromLocal8Bit(name.data());
}

// The local folder a profile URL names, cleaned for comparison.
QString ProfileFolder(const QString& url) {
    return QDir::cleanPath(QUrl(url).toLocalFile());
}

// False only when every process was looked at and none of this user's is a
// LibreOffice running with the profile (one without a profile named may use any).
bool OfficeMayRun(const QString& profile) {
    QDir proc(QStringLiteral("/proc"));
    if (!proc.exists())
        return true;
    const uid_t me = ::geteuid();
    for (const QString& pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        pid.toLongLong(&number);
        struct stat info {};
        if (!number || ::stat(QFile::encodeName(proc.filePath(pid)).constData(), &info) != 0 ||
            info.st_uid != me)
            continue;
        const QByteArray comm = ReadStart(proc.filePath(pid + QStringLiteral("/comm")))
                                    .value_or(QByteArray())
                                    .trimmed();
        if (comm != "soffice.bin" && comm != "oosplash")
            continue;
        const QByteArray cmdline =
            ReadStart(proc.filePath(pid + QStringLiteral("/cmdline"))).value_or(QByteArray());
        if (cmdline.isEmpty())  // a zombie: it runs no more
            continue;
        std::optional<QString> named;
        for (const QByteArray& argument : cmdline.split('\0'))
            if (argument.startsWith("-env:UserInstallation="))
                named = ProfileFolder(QString::fromLocal8Bit(argument.mid(22)));
        if (!named || *named == profile)
            return true;
    }
    return false;
}

}  // namespace

bool HeldByOffice(const QString& path) {
    const QFileInfo info(path);
    const QString lock =
        info.absolutePath() + QStringLiteral("/.~lock.") + info.fileName() + QLatin1Char('#');
    const QByteArray name = QFile::encodeName(lock);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        return false;
    const std::optional<QByteArray> text = ReadStart(lock);
    if (!text)
        return true;
    const QStringList fields = LockFields(*text);
    const QString host = ThisHost();
    if (fields.size() < 5 || fields[1].isEmpty() || fields[1] != ThisUser() || host.isEmpty() ||
        fields[2].compare(host, Qt::CaseInsensitive) != 0 || fields[4].isEmpty() ||
        OfficeMayRun(ProfileFolder(fields[4])))
        return true;
    // Stale: nobody holds the document. Taken away, so LibreOffice does not ask about it either.
    ::unlink(name.constData());
    return false;
}

}  // namespace orla
