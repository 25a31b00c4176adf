#include "platform/registry/RegistryBackend.h"

#include "platform/Ansi.h"
#include "platform/registry/RegFile.h"

#include "platform/SharedFiles.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <array>
#include <chrono>
#include <cstring>
#include <map>
#include <optional>
#include <utility>

namespace orla {
namespace reg {
namespace {

constexpr std::array<std::pair<HKEY, const char*>, 7> kPredefinedKeys = {{
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
    {HKEY_USERS, "HKEY_USERS"},
    {HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
    {HKEY_DYN_DATA, "HKEY_DYN_DATA"},
}};

}  // namespace

QString PredefinedKeyName(HKEY key) {
    for (const auto& [handle, name] : kPredefinedKeys) {
        if (handle == key)
            return QLatin1String(name);
    }
    return {};
}

HKEY PredefinedKey(const QString& name) {
    for (const auto& [handle, rootName] : kPredefinedKeys) {
        if (name == QLatin1String(rootName))
            return handle;
    }
    return 0;
}

}  // namespace reg

namespace {

using regfile::RegDocument;

// How long a write waits for another program's write of the same folder.
constexpr std::chrono::milliseconds kLockWait{5000};

struct OpenKey {
    HKEY root = 0;
    QString path;  // below the root, "" for the root itself
    quint32 access = 0;
};

// Keeps every root key in "<folder>/<root name>.reg". Nothing is cached: each
// operation reads the file again, and each write replaces it atomically under
// a lock on the folder, so two programs' writes never undo each other. The
// files are never opened through a link.
class RegFileBackend : public RegistryBackend {
  public:
    long RegOpenKeyExA(HKEY key, const QByteArray& subKey, quint32 samDesired,
                       HKEY& result) override {
        const std::optional<OpenKey> parent = Resolve(key);
        if (!parent)
            return reg::ERROR_INVALID_HANDLE;
        OpenKey opened{parent->root, JoinPath(parent->path, FromAnsi(subKey)), samDesired};
        if (!Load(FolderOf(), opened.root).HasKey(opened.path))
            return reg::ERROR_FILE_NOT_FOUND;
        if ((samDesired & reg::KEY_SET_VALUE) && !Writable(opened.root))
            return reg::ERROR_ACCESS_DENIED;
        result = nextHandle_;
        nextHandle_ += 4;
        open_[result] = std::move(opened);
        return reg::ERROR_SUCCESS;
    }

    long RegQueryValueExA(HKEY key, const QByteArray& valueName, char* data,
                          quint32* cbData) override {
        const std::optional<OpenKey> opened = Resolve(key);
        if (!opened)
            return reg::ERROR_INVALID_HANDLE;
        if (!(opened->access & reg::KEY_QUERY_VALUE))
            return reg::ERROR_ACCESS_DENIED;
        if (!data || !cbData)
            return reg::ERROR_INVALID_PARAMETER;
        const std::optional<QString> value =
            Load(FolderOf(), opened->root).Value(opened->path, FromAnsi(valueName));
        if (!value)
            return reg::ERROR_FILE_NOT_FOUND;
        const QByteArray bytes = ToAnsi(*value) + '\0';
        const auto size = quint32(bytes.size());
        const bool fits = *cbData >= size;
        if (fits)
            std::memcpy(data, bytes.constData(), size);
        *cbData = size;
        return fits ? reg::ERROR_SUCCESS : reg::ERROR_MORE_DATA;
    }

    long RegSetValueExA(HKEY key, const QByteArray& valueName, quint32 type, const char* data,
                        quint32 cbData) override {
        const std::optional<OpenKey> opened = Resolve(key);
        if (!opened)
            return reg::ERROR_INVALID_HANDLE;
        if (!(opened->access & reg::KEY_SET_VALUE))
            return reg::ERROR_ACCESS_DENIED;
        // A string ends with its one NUL; a line break cannot stand in the file.
        const QByteArray bytes = data ? QByteArray(data, qsizetype(cbData)) : QByteArray();
        const auto breaks = [](const QByteArray& text) {
            return text.contains('\r') || text.contains('\n');
        };
        if (type != reg::REG_SZ || !bytes.endsWith('\0') || bytes.count('\0') != 1 ||
            breaks(bytes) || breaks(valueName))
            return reg::ERROR_INVALID_PARAMETER;
        const SharedFolder folder = FolderOf();
        if (!folder.isOpen() || !LockExclusive(folder.fd(), kLockWait))
            return reg::ERROR_WRITE_FAULT;
        RegDocument document = Load(folder, opened->root);
        document.SetValue(opened->path, FromAnsi(valueName), FromAnsi(bytes.chopped(1)));
        const QString name = FileName(opened->root);
        folder.removeStaleTemporaries(name);  // what killed writers left
        return folder.replace(name, document.Serialize(), name) ? reg::ERROR_SUCCESS
                                                                : reg::ERROR_WRITE_FAULT;
    }

    long RegCloseKey(HKEY key) override {
        if (!reg::PredefinedKeyName(key).isEmpty())
            return reg::ERROR_SUCCESS;
        return open_.erase(key) ? reg::ERROR_SUCCESS : reg::ERROR_INVALID_HANDLE;
    }

  private:
    // A predefined root grants every right; an opened key what it was opened for.
    std::optional<OpenKey> Resolve(HKEY key) const {
        if (!reg::PredefinedKeyName(key).isEmpty())
            return OpenKey{key, QString(), ~quint32(0)};
        const auto found = open_.find(key);
        if (found == open_.end())
            return std::nullopt;
        return found->second;
    }

    static QString JoinPath(const QString& parent, const QString& child) {
        if (parent.isEmpty() || child.isEmpty())
            return parent + child;
        return parent + QLatin1Char('\\') + child;
    }

    static QString FileName(HKEY root) {
        return reg::PredefinedKeyName(root) + QLatin1String(".reg");
    }

    static SharedFolder FolderOf() { return SharedFolder(RegistryFolder()); }

    // A file that is missing, or cannot be read without following a link, is empty.
    static RegDocument Load(const SharedFolder& folder, HKEY root) {
        return RegDocument::Parse(folder.read(FileName(root)).value_or(QByteArray()),
                                  reg::PredefinedKeyName(root));
    }

    // The file is replaced through a new file beside it: both need the folder.
    static bool Writable(HKEY root) {
        const QFileInfo file(RegistryFolder() + QLatin1Char('/') + FileName(root));
        return QFileInfo(file.absolutePath()).isWritable() && (!file.exists() || file.isWritable());
    }

    std::map<HKEY, OpenKey> open_;
    HKEY nextHandle_ = 0x1000;
};

}  // namespace

RegistryBackend::~RegistryBackend() = default;

template <>
std::unique_ptr<RegistryBackend> MakeDefaultService<RegistryBackend>() {
    return std::make_unique<RegFileBackend>();
}
template class ServiceSlot<RegistryBackend>;

QString RegistryFolder() {
    const QString configured = qEnvironmentVariable("ORLA_REGISTRY_DIR");
    if (!configured.isEmpty())
        return configured;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1String("/orla-contas/registry");
}

}  // namespace orla
