// The shadow store of the settings: "Nexo Software/RegShadow.db" in the
// common application-data folder, one "key path:value name=value" per line,
// CR LF line ends, ANSI text. Writers hold an exclusive advisory lock on
// "RegShadow.lock" beside it across read-modify-write, and replace the store
// by renaming a new "RegShadow.tmp.<unique>" over it, so readers never see
// half a store. Nothing in the folder is opened through a link.
#include "common/Folders.h"
#include "common/Registry.h"
#include "platform/Ansi.h"
#include "platform/SharedFiles.h"

#include <QStringList>

#include <chrono>
#include <optional>

#include <fcntl.h>

namespace orla {
namespace {

// How long a writer waits for another one before giving up (file busy).
constexpr std::chrono::milliseconds kLockWait{5000};

const QString kStore = QStringLiteral("RegShadow.db");
const QString kRewrite = QStringLiteral("RegShadow.tmp");
const QString kLock = QStringLiteral("RegShadow.lock");

QString ShadowFolder() {
    return PastaEspecial(CSIDL_COMMON_APPDATA) + QLatin1String("/Nexo Software");
}

// The writers' lock on the companion file, held while the object lives.
class ShadowLock {
  public:
    explicit ShadowLock(const SharedFolder& folder) : file_(folder.open(kLock, O_RDONLY, true)) {
        held_ = file_ && LockExclusive(file_.get(), kLockWait);
    }
    bool held() const { return held_; }

  private:
    UniqueFd file_;
    bool held_ = false;
};

// The store's lines: each ends with CR LF, though a lone CR or LF is taken as
// a line end too.
std::optional<QStringList> ReadStore(const SharedFolder& folder) {
    const std::optional<QByteArray> bytes = folder.read(kStore);
    if (!bytes)
        return std::nullopt;
    const QString text = FromAnsi(*bytes);
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

// Writes the lines to a new rewrite file and renames it over the store,
// first removing rewrite files that killed writers left behind.
bool ReplaceStore(const SharedFolder& folder, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += ToAnsi(line) + "\r\n";
    folder.removeStaleTemporaries(kRewrite);
    return folder.replace(kStore, bytes, kRewrite);
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
    if (!MakeSharedFolder(ShadowFolder()))
        return false;
    const SharedFolder folder(ShadowFolder());
    // The write test uses one fixed file name: one program at a time.
    const ShadowLock lock(folder);
    if (!lock.held() || !PastaGravavel(ShadowFolder()))
        return false;
    // Never truncates: another program may have made the store meanwhile.
    return folder.contains(kStore) || folder.open(kStore, O_WRONLY, true);
}

QString LerRegShadow(const QString& keyPath, const QString& valueName) {
    const std::optional<QStringList> lines = ReadStore(SharedFolder(ShadowFolder()));
    // Read only when its first line is not empty.
    if (!lines || lines->isEmpty() || lines->first().isEmpty())
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
    const SharedFolder folder(ShadowFolder());
    const ShadowLock lock(folder);
    if (!lock.held())
        return false;
    const std::optional<QStringList> lines = ReadStore(folder);
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
    return ReplaceStore(folder, rewritten);
}

}  // namespace orla
