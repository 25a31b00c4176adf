#include "platform/db/ConnectionString.h"

#include <QStringList>

namespace orla {

namespace {

// Keys of the strings the component builds. A password may hold ";", so its
// value runs up to the next ";" that starts one of these keys.
const char* const kKnownKeys[] = {
    "Provider", "Persist Security Info", "User ID",     "Password",
    "Encrypt",  "Initial Catalog",       "Data Source", "Connect Timeout"};

bool StartsWithKnownKey(const QString& text, qsizetype from) {
    const QString rest = text.mid(from).trimmed();
    for (const char* key : kKnownKeys) {
        const QLatin1String name(key);
        if (rest.startsWith(name, Qt::CaseInsensitive) &&
            rest.mid(name.size()).trimmed().startsWith(QLatin1Char('=')))
            return true;
    }
    return false;
}

bool IsYes(const QString& value) {
    const QString v = value.trimmed();
    return v.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0 ||
           v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

}  // namespace

ConnectionString ConnectionString::Parse(const QString& text) {
    ConnectionString result;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), pos);
        qsizetype end = text.indexOf(QLatin1Char(';'), pos);
        if (end < 0)
            end = text.size();
        if (eq < 0 || eq > end) {  // a part without "=" is skipped
            pos = end + 1;
            continue;
        }
        const QString key = text.mid(pos, eq - pos).trimmed();
        if (key.compare(QLatin1String("Password"), Qt::CaseInsensitive) == 0) {
            while (end < text.size() && !StartsWithKnownKey(text, end + 1))
                end = text.indexOf(QLatin1Char(';'), end + 1) < 0
                          ? text.size()
                          : text.indexOf(QLatin1Char(';'), end + 1);
        }
        if (!key.isEmpty())
            result.pairs_.append({key, text.mid(eq + 1, end - eq - 1)});
        pos = end + 1;
    }
    return result;
}

QString ConnectionString::Value(const QString& key) const {
    for (auto it = pairs_.crbegin(); it != pairs_.crend(); ++it) {
        if (it->first.compare(key, Qt::CaseInsensitive) == 0)
            return it->second;
    }
    return {};
}

bool ConnectionString::Has(const QString& key) const {
    for (const auto& pair : pairs_) {
        if (pair.first.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool ConnectionString::Encrypt() const {
    return IsYes(Value(QStringLiteral("Encrypt")));
}

bool ConnectionString::PersistSecurityInfo() const {
    return IsYes(Value(QStringLiteral("Persist Security Info")));
}

QString ConnectionString::WithoutPassword() const {
    QStringList parts;
    for (const auto& [key, value] : pairs_) {
        if (key.compare(QLatin1String("Password"), Qt::CaseInsensitive) != 0)
            parts << key + QLatin1Char('=') + value;
    }
    return parts.join(QLatin1Char(';'));
}

QString ConnectionString::EmbeddedPath() const {
    const QString source = DataSource().trimmed();
    if (source.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive))
        return source.mid(7);
    if (source.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        return source;
    return {};
}

}  // namespace orla
