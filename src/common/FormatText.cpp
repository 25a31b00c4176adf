#include "common/FormatText.h"

#include <QHash>

namespace orla {
namespace {

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

struct ReadFormatString {
    QList<FormatChar> chars;
    QList<QList<FormatChar>> sections;
};

const ReadFormatString& Remembered(const QString& format) {
    thread_local QHash<QString, ReadFormatString> read;
    if (read.size() > 256)
        read.clear();  // only ever a few in use; never grow without bound
    auto it = read.find(format);
    if (it == read.end()) {
        ReadFormatString entry;
        entry.chars = ReadFormat(format);
        entry.sections = SplitSections(entry.chars);
        it = read.insert(format, entry);
    }
    return *it;
}

}  // namespace

const QList<FormatChar>& ReadFormatOnce(const QString& format) {
    return Remembered(format).chars;
}

const QList<QList<FormatChar>>& SectionsOnce(const QString& format) {
    return Remembered(format).sections;
}

}  // namespace orla
