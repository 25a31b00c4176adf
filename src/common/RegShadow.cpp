// The shadow store of the settings: "Nexo Software/RegShadow.db" in the
// common application-data folder, one "key path:value name=value" per line,
// CR LF line ends, ANSI text. Writers hold an exclusive advisory lock on
// "RegShadow.lock" beside it across read-modify-write, and replace the store
// by renaming "RegShadow.tmp" over it, so readers never see half a store.
#include "common/Ansi.h"
#include "common/Folders.h"
#include "common/Registry.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace orla {
namespace {

// How long a writer waits for another one before giving up (file busy).
constexpr std::chrono::milliseconds kLockWait{5000};
constexpr std::chrono::milliseconds kLockRetry{5};

QString ShadowFolder() {
    return PastaEspecial(CSIDL_COMMON_APPDATA) + QLatin1String("/Nexo Software");
}
QString ShadowStore() {
    return ShadowFolder() + QLatin1String("/RegShadow.db");
}
QString ShadowRewrite() {
    return ShadowFolder() + QLatin1String("/RegShadow.tmp");
}
QString ShadowLockFile() {
    return ShadowFolder() + QLatin1String("/RegShadow.lock");
}

// flock on the companion file, released when the descriptor closes (also
// when the program dies, so a crashed writer never leaves the store locked).
class ShadowLock {
  public:
    ShadowLock() {
        fd_ = ::open(QFile::encodeName(ShadowLockFile()).constData(),
                     O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ < 0)
            return;
        const QDeadlineTimer deadline(kLockWait);
        for (;;) {
            held_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
            if (held_ || (errno != EWOULDBLOCK && errno != EINTR) || deadline.hasExpired())
                return;
            std::this_thread::sleep_for(kLockRetry);
        }
    }
    ~ShadowLock() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    ShadowLock(const ShadowLock&) = delete;
    ShadowLock& operator=(const ShadowLock&) = delete;

    bool held() const { return held_; }

  private:
    int fd_ = -1;
    bool held_ = false;
};

// The store's lines: each ends with CR LF, though a lone CR or LF is taken as
// a line end too.
std::optional<QStringList> ReadStore() {
    QFile file(ShadowStore());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString text = FromAnsi(file.readAll());
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\r') && text[i] != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

// Writes the lines to the rewrite file and renames it over the store.
bool ReplaceStore(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += ToAnsi(line) + "\r\n";
    QFile rewrite(ShadowRewrite());
    if (!rewrite.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    bool ok =
        rewrite.write(bytes) == bytes.size() && rewrite.flush() && ::fsync(rewrite.handle()) == 0;
    rewrite.close();
    ok = ok && rewrite.error() == QFileDevice::NoError;
    if (ok) {
        // Whoever may write the store now may write the new one.
        rewrite.setPermissions(QFile::permissions(ShadowStore()));
        ok = ::rename(QFile::encodeName(ShadowRewrite()).constData(),
                      QFile::encodeName(ShadowStore()).constData()) == 0;
    }
    if (!ok)
        rewrite.remove();
    return ok;
}

// Texts are compared as they will stand in the store.
QString EntryPrefix(const QString& keyPath, const QString& valueName) {
    return AnsiText(keyPath + QLatin1Char(':') + valueName + QLatin1Char('='));
}

bool Belongs(const QString& line, const QString& prefix) {
    return line.startsWith(prefix, Qt::CaseInsensitive);
}

}  // namespace

bool PrepararRegShadow() {
    const QString store = ShadowStore();
    const bool exists = QFileInfo::exists(store);
    if (!exists)
        QDir().mkpath(ShadowFolder());  // a failure shows in the write test
    // The write test uses one fixed file name: one program at a time.
    const ShadowLock lock;
    if (!lock.held() || !PastaGravavel(ShadowFolder()))
        return false;
    if (exists)
        return true;
    // Never truncates: another program may have made the store meanwhile.
    QFile file(store);
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || QFileInfo::exists(store);
}

QString LerRegShadow(const QString& keyPath, const QString& valueName) {
    if (!FicheiroComConteudo(ShadowStore()))
        return {};
    const std::optional<QStringList> lines = ReadStore();
    if (!lines)
        return {};
    const QString prefix = EntryPrefix(keyPath, valueName);
    for (const QString& line : *lines) {
        if (Belongs(line, prefix))
            return line.mid(prefix.size());
    }
    return {};
}

bool GravarRegShadow(const QString& keyPath, const QString& valueName, const QString& value) {
    const QString prefix = EntryPrefix(keyPath, valueName);
    const QString entry = prefix + AnsiText(value);
    // A line cannot hold a line break.
    if (entry.contains(QLatin1Char('\r')) || entry.contains(QLatin1Char('\n')))
        return false;
    const ShadowLock lock;
    if (!lock.held())
        return false;
    const std::optional<QStringList> lines = ReadStore();
    if (!lines)
        return false;
    if (lines->contains(entry))
        return true;
    QStringList rewritten;
    bool placed = false;
    for (const QString& line : *lines) {
        if (!Belongs(line, prefix)) {
            rewritten.append(line);
            continue;
        }
        if (!placed)
            rewritten.append(entry);  // the first keeps its place; later ones are dropped
        placed = true;
    }
    if (!placed)
        rewritten.append(entry);
    return ReplaceStore(rewritten);
}

}  // namespace orla
