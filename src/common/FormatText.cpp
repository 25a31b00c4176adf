#include "common/FormatText.h"

namespace orla {

QList<FormatChar> ReadFormat(QStringView format) {
    QList<FormatChar> chars;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (quoted) {
            chars.append({c, true});
        } else if (c == u'\\' && i + 1 < format.size()) {
            chars.append({format[++i], true});
        } else {
            chars.append({c, false});
        }
    }
    return chars;
}

QList<QList<FormatChar>> SplitSections(const QList<FormatChar>& format) {
    QList<QList<FormatChar>> sections(1);
    for (const FormatChar& fc : format) {
        if (!fc.literal && fc.c == u';')
            sections.append(QList<FormatChar>());
        else
            sections.last().append(fc);
    }
    return sections;
}

}  // namespace orla
