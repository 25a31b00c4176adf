#include "printing/Placeholders.h"

namespace orla {

QString ReplacePlaceholders(const QString& text, const QList<Placeholder>& placeholders) {
    QString result;
    result.reserve(text.size());
    const QStringView rest(text);
    qsizetype copied = 0;
    for (qsizetype i = 0; i < text.size();) {
        const Placeholder* hit = nullptr;
        for (const Placeholder& p : placeholders) {
            if (!p.name.isEmpty() && rest.sliced(i).startsWith(p.name, p.match)) {
                hit = &p;
                break;
            }
        }
        if (!hit) {
            ++i;
            continue;
        }
        result += rest.sliced(copied, i - copied);
        result += hit->value.isEmpty() ? QStringLiteral(" ") : hit->value;
        i += hit->name.size();
        copied = i;
    }
    result += rest.sliced(copied);
    return result;
}

}  // namespace orla
