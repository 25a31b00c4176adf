#include "common/TextHelpers.h"

namespace orla {

QString SubstituirTexto(const QString& text, const QString& search, const QString& replacement) {
    if (text.isEmpty())
        return {};
    if (search.isEmpty())
        return text;
    const QString inserted = replacement.isEmpty() ? QStringLiteral(" ") : replacement;
    QString result;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(search, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(search, from, Qt::CaseInsensitive)) {
        result += QStringView(text).mid(from, at - from);
        result += inserted;
        from = at + search.size();
    }
    result += QStringView(text).mid(from);
    return result;
}

}  // namespace orla
