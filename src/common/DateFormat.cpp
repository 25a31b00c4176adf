#include "common/DateFormat.h"

#include "common/FormatText.h"

#include <QHash>
#include <QLocale>

#include <algorithm>

namespace orla {
namespace {

bool IsDateCode(const FormatChar& fc) {
    return !fc.literal && QStringView(u"dmyhns").contains(fc.c.toLower());
}

// The longest code of the letter that a run of `run` such letters starts with.
int CodeLength(QChar letter, int run) {
    switch (letter.unicode()) {
        case u'd':
            return qMin(run, 6);
        case u'm':
            return qMin(run, 4);
        case u'y':
            return run >= 4 ? 4 : run >= 2 ? 2 : 1;
        default:
            return qMin(run, 2);
    }
}

QString Number(int value, int length) {
    return QString::number(value).rightJustified(length, u'0');
}

QString Field(const QDateTime& value, QChar letter, int length, bool afterHour) {
    const QDate date = value.date();
    const QTime time = value.time();
    switch (letter.unicode()) {
        case u'd':
            if (length <= 2)
                return Number(date.day(), length);
            if (length <= 4)
                return QLocale().dayName(date.dayOfWeek(),
                                         length == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
            return QLocale().toString(date,
                                      length == 5 ? QLocale::ShortFormat : QLocale::LongFormat);
        case u'm':
            if (length <= 2)
                return Number(afterHour ? time.minute() : date.month(), length);
            return QLocale().monthName(date.month(),
                                       length == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        case u'y':
            if (length == 1)
                return QString::number(date.dayOfYear());
            return length == 2 ? Number(date.year() % 100, 2) : Number(date.year(), 4);
        case u'h':
            return Number(time.hour(), length);
        case u'n':
            return Number(time.minute(), length);
        default:
            return Number(time.second(), length);
    }
}

// A format string read into literal texts and date fields, once per format.
struct DateToken {
    QString literal;  // shown as it is when length is 0
    QChar letter;
    int length = 0;
    bool afterHour = false;  // "m" straight after an hour means minutes
};

QList<DateToken> Tokens(const QString& format) {
    const QList<FormatChar>& chars = ReadFormatOnce(format);
    QList<DateToken> tokens;
    bool afterHour = false;
    qsizetype i = 0;
    while (i < chars.size()) {
        if (!IsDateCode(chars[i])) {
            if (tokens.isEmpty() || tokens.last().length != 0)
                tokens.append(DateToken());
            tokens.last().literal += chars[i++].c;
            continue;
        }
        const QChar letter = chars[i].c.toLower();
        int run = 0;
        while (i < chars.size() && IsDateCode(chars[i]) && chars[i].c.toLower() == letter) {
            ++run;
            ++i;
        }
        while (run > 0) {
            const int length = CodeLength(letter, run);
            tokens.append({QString(), letter, length, afterHour});
            afterHour = letter == u'h';
            run -= length;
        }
    }
    return tokens;
}

const QList<DateToken>& TokensOnce(const QString& format) {
    thread_local QHash<QString, QList<DateToken>> read;
    if (read.size() > 256)
        read.clear();
    auto it = read.find(format);
    if (it == read.end())
        it = read.insert(format, Tokens(format));
    return *it;
}

}  // namespace

bool IsDateFormat(const QString& format) {
    // Asked for every formatted cell, of a handful of format strings: answered once each.
    thread_local QHash<QString, bool> answered;
    if (answered.size() > 256)
        answered.clear();
    auto it = answered.constFind(format);
    if (it != answered.cend())
        return *it;
    const QList<FormatChar>& chars = ReadFormatOnce(format);
    return answered.insert(format, std::any_of(chars.begin(), chars.end(), IsDateCode)).value();
}

QString FormatDate(const QDateTime& value, const QString& format) {
    QString text;
    for (const DateToken& token : TokensOnce(format))
        text += token.length ? Field(value, token.letter, token.length, token.afterHour)
                             : token.literal;
    return text;
}

}  // namespace orla
