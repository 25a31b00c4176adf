#include "common/DateFormat.h"

#include "common/FormatText.h"

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
    const QLocale locale;
    const QDate date = value.date();
    const QTime time = value.time();
    switch (letter.unicode()) {
        case u'd':
            if (length <= 2)
                return Number(date.day(), length);
            if (length <= 4)
                return locale.dayName(date.dayOfWeek(),
                                      length == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
            return locale.toString(date, length == 5 ? QLocale::ShortFormat : QLocale::LongFormat);
        case u'm':
            if (length <= 2)
                return Number(afterHour ? time.minute() : date.month(), length);
            return locale.monthName(date.month(),
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

}  // namespace

bool IsDateFormat(const QString& format) {
    const QList<FormatChar>& chars = ReadFormatOnce(format);
    return std::any_of(chars.begin(), chars.end(), IsDateCode);
}

QString FormatDate(const QDateTime& value, const QString& format) {
    const QList<FormatChar>& chars = ReadFormatOnce(format);
    QString text;
    bool afterHour = false;
    qsizetype i = 0;
    while (i < chars.size()) {
        if (!IsDateCode(chars[i])) {
            text += chars[i++].c;
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
            text += Field(value, letter, length, afterHour);
            afterHour = letter == u'h';
            run -= length;
        }
    }
    return text;
}

}  // namespace orla
