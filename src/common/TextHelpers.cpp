#include "common/TextHelpers.h"

namespace orla {
namespace {

// The next occurrence of `search` in any case from `from`, or -1. A search
// that starts with an ASCII character without case (the "<" of a
// placeholder) finds its candidates with the fast exact search of that
// character; no other character folds to it.
qsizetype FindInsensitive(QStringView text, QStringView search, qsizetype from) {
    const QChar first = search.front();
    if (first.unicode() >= 0x80 || first.isLetter())
        return text.indexOf(search, from, Qt::CaseInsensitive);
    for (qsizetype at = text.indexOf(first, from); at >= 0; at = text.indexOf(first, at + 1)) {
        if (text.size() - at < search.size())
            return -1;
        if (text.mid(at, search.size()).compare(search, Qt::CaseInsensitive) == 0)
            return at;
    }
    return -1;
}

}  // namespace

QString SubstituirTexto(const QString& text, const QString& search, const QString& replacement) {
    if (text.isEmpty())
        return {};
    if (search.isEmpty())
        return text;
    const QString inserted = replacement.isEmpty() ? QStringLiteral(" ") : replacement;
    QString result;
    qsizetype from = 0;
    for (qsizetype at = FindInsensitive(text, search, 0); at >= 0;
         at = FindInsensitive(text, search, from)) {
        if (result.isEmpty())
            result.reserve(text.size() + inserted.size());
        result += QStringView(text).mid(from, at - from);
        result += inserted;
        from = at + search.size();
    }
    if (from == 0)
        return text;
    result += QStringView(text).mid(from);
    return result;
}

}  // namespace orla
