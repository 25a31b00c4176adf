#include "common/Registry.h"

#include "common/Trim.h"
#include "platform/Ansi.h"
#include "platform/registry/RegistryBackend.h"
#include "platform/services/ErrorReport.h"
#include "platform/services/Prompts.h"

#include <QSet>

namespace orla {
namespace {

const QString kReference = QStringLiteral("SREF=");
constexpr quint32 kValueBufferBytes = 3500;

ErrorSite Site(const char* procedure) {
    return {QStringLiteral("modRegistry"), QLatin1String(procedure),
            ReportFilter::NotZeroNor3709NorBlank, MessageForm::Numbered};
}

// Keys under HKEY_CURRENT_USER\SOFTWARE (case ignored) skip the shadow store.
bool UnderCurrentUserSoftware(const QString& keyPath) {
    return keyPath.left(26).toUpper() == QLatin1String("HKEY_CURRENT_USER\\SOFTWARE");
}

bool WellFormed(const QString& keyPath) {
    return keyPath.startsWith(QLatin1String("HKEY_")) && !keyPath.endsWith(QLatin1Char('\\'));
}

void ShowMalformed(const QString& keyPath) {
    CurrentPrompts().MsgBox(QLatin1String("Formato Incorrecto:\n\n") + keyPath, vb::OKOnly,
                            QString());
}

// A key opened in the registry, closed on every path.
class OpenedKey {
  public:
    OpenedKey(HKEY root, const QString& subKey, quint32 access) {
        opened_ = CurrentRegistry().RegOpenKeyExA(root, ToAnsi(subKey), access, handle_) ==
                  reg::ERROR_SUCCESS;
    }
    ~OpenedKey() {
        if (opened_)
            CurrentRegistry().RegCloseKey(handle_);
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    bool opened() const { return opened_; }
    HKEY handle() const { return handle_; }

  private:
    HKEY handle_ = 0;
    bool opened_ = false;
};

// The stored bytes as the system reads them back: leading and trailing spaces
// removed, then the last character (the terminating NUL) dropped, so leading
// spaces of the value are lost and trailing ones stay.
QString ValueText(const QByteArray& bytes) {
    QString text = TrimSpaces(FromAnsi(bytes));
    if (!text.isEmpty())
        text.chop(1);
    return text;
}

}  // namespace

quint32 ObterHandleChavePrincipal(const QString& rootName) {
    HKEY root = 0;
    Guard(Site("ObterHandleChavePrincipal"), [&] { root = reg::PredefinedKey(rootName); });
    return root;
}

quint32 FormatarChave(const QString& keyPath, QString& subKey) {
    HKEY root = 0;
    Guard(Site("FormatarChave"), [&] {
        subKey = keyPath;
        if (!WellFormed(keyPath)) {
            ShowMalformed(keyPath);
            return;
        }
        const qsizetype separator = keyPath.indexOf(QLatin1Char('\\'));
        root = ObterHandleChavePrincipal(keyPath.left(separator));
        subKey = separator < 0 ? QString() : keyPath.mid(separator + 1);
    });
    return root;
}

OptionalString ValorString(const QString& keyPath, const QString& valueName) {
    OptionalString value;
    Guard(Site("ValorString"), [&] {
        QString subKey;
        const HKEY root = FormatarChave(keyPath, subKey);
        if (!root)
            return;
        const OpenedKey key(root, subKey, reg::KEY_READ);
        if (!key.opened())
            return;
        QByteArray buffer(kValueBufferBytes, '\0');
        quint32 length = kValueBufferBytes;
        if (CurrentRegistry().RegQueryValueExA(key.handle(), ToAnsi(valueName), buffer.data(),
                                               &length) != reg::ERROR_SUCCESS)
            return;
        value = ValueText(buffer.left(length));
    });
    return value;
}

OptionalString ObterValorString(const QString& keyPath, const QString& valueName,
                                const OptionalString& defaultValue, bool skipShadow) {
    OptionalString value;
    Guard(Site("ObterValorString"), [&] {
        // A malformed key path reads nothing, from the store neither.
        if (!WellFormed(keyPath)) {
            ShowMalformed(keyPath);
            return;
        }
        const bool userBranch = UnderCurrentUserSoftware(keyPath);
        const bool shadowed = !userBranch && !skipShadow;
        if (shadowed) {
            const QString stored = LerRegShadow(keyPath, valueName);
            if (!stored.isEmpty()) {
                value = stored;  // a reference in the store is not followed
                return;
            }
        }
        // References are followed in the registry; a chain that comes back to
        // a key already visited ends with no value.
        QString lookedUp = keyPath;
        QSet<QString> visited{keyPath.toCaseFolded()};
        value = ValorString(keyPath, valueName);
        while (value && value->startsWith(kReference)) {
            const QString target = value->mid(kReference.size());
            value.reset();
            if (visited.contains(target.toCaseFolded()))
                break;
            visited.insert(target.toCaseFolded());
            lookedUp = target;
            value = ValorString(target, valueName);
        }
        if (userBranch || value)
            return;
        value = defaultValue;
        if (defaultValue && shadowed)
            GravarRegShadow(lookedUp, valueName, *defaultValue);
    });
    return value;
}

namespace {

// Writes the value to the store, or to the registry when the store cannot take it and holds no
// other value for it; true when the next read gives it.
bool StoreValue(const QString& keyPath, const QString& valueName, const QString& value,
                bool skipShadow) {
    if (!UnderCurrentUserSoftware(keyPath) && !skipShadow) {
        if (PrepararRegShadow() && GravarRegShadow(keyPath, valueName, value))
            return true;
        // Reads take the store's entry first: while it holds another
        // value, a write to the registry would not be read back.
        const QString shadowed = LerRegShadow(keyPath, valueName);
        if (!shadowed.isEmpty())
            return shadowed == AnsiText(value);
    }
    QString subKey;
    const HKEY root = FormatarChave(keyPath, subKey);
    if (!root)
        return false;
    const OpenedKey key(root, subKey, reg::KEY_WRITE);
    if (!key.opened())
        return false;
    const QByteArray data = ToAnsi(value) + '\0';
    return CurrentRegistry().RegSetValueExA(key.handle(), ToAnsi(valueName), reg::REG_SZ,
                                            data.constData(),
                                            quint32(data.size())) == reg::ERROR_SUCCESS;
}

}  // namespace

bool DefinirValorString(const QString& keyPath, const QString& valueName, const QString& value,
                        bool skipShadow) {
    bool stored = false;
    Guard(Site("DefinirValorString"), [&] {
        // A malformed key path writes nothing, to the store neither.
        if (!WellFormed(keyPath)) {
            ShowMalformed(keyPath);
            return;
        }
        stored = StoreValue(keyPath, valueName, value, skipShadow);
        // A setting the user chose is not forgotten without a word; the old one stays.
        if (!stored)
            throw OrlaError(75, QStringLiteral("Não foi possível gravar a definição %1 em %2; "
                                               "mantém-se a anterior.")
                                    .arg(valueName, keyPath));
    });
    return stored;
}

}  // namespace orla
