#include "platform/db/ConnectionString.h"

#include <orla_contas/ConnectionScrambler.h>
#include <orla_contas/SecretMemory.h>

#include <QStringList>

#include <algorithm>

namespace orla {

namespace {

bool NeedsBraces(const QString& value) {
    if (value.startsWith(QLatin1Char(' ')) || value.endsWith(QLatin1Char(' ')))
        return true;
    return std::any_of(value.begin(), value.end(), [](QChar c) {
        return c == u';' || c == u'{' || c == u'}' || c.category() == QChar::Other_Control;
    });
}

bool IsPassword(const QString& key) {
    return key.compare(QLatin1String("Password"), Qt::CaseInsensitive) == 0;
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
        QString value = text.mid(eq + 1, end - eq - 1);
        qsizetype open = eq + 1;
        while (open < text.size() && text[open] == u' ')
            ++open;
        if (open < text.size() && text[open] == u'{') {
            // A braced value runs to the first "}" not doubled; one never closed takes the rest.
            value.clear();
            qsizetype i = open + 1;
            for (; i < text.size(); ++i) {
                if (text[i] != u'}') {
                    value += text[i];
                } else if (i + 1 < text.size() && text[i + 1] == u'}') {
                    value += u'}';
                    ++i;
                } else {
                    break;
                }
            }
            end = i >= text.size() ? i : text.indexOf(QLatin1Char(';'), i);
            if (end < 0)
                end = text.size();
        }
        if (IsPassword(key)) {  // held scrambled, like every password in memory
            result.pairs_.append({key, ConnectionScrambler::Scramble(value)});
            Wipe(value);
        } else if (!key.isEmpty()) {
            result.pairs_.append({key, value});
        }
        pos = end + 1;
    }
    return result;
}

QString ConnectionString::Quote(const QString& value) {
    if (!NeedsBraces(value))
        return value;
    QString escaped = value;
    escaped.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}

QString ConnectionString::Value(const QString& key) const {
    for (auto it = pairs_.crbegin(); it != pairs_.crend(); ++it) {
        if (it->first.compare(key, Qt::CaseInsensitive) == 0)
            return IsPassword(key) ? ConnectionScrambler::Unscramble(it->second) : it->second;
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
        if (!IsPassword(key))
            parts << key + QLatin1Char('=') + Quote(value);
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
