#include "platform/db/Values.h"

namespace orla {
namespace {

// Reads `count` digits at `pos` (exactly `count`, or 1 to `count` when `flexible`).
bool Digits(QStringView text, qsizetype& pos, int count, bool flexible, int& out) {
    int read = 0;
    out = 0;
    while (read < count && pos < text.size() && text[pos].isDigit()) {
        out = out * 10 + text[pos].digitValue();
        ++pos;
        ++read;
    }
    return flexible ? read > 0 : read == count;
}

bool Skip(QStringView text, qsizetype& pos, QChar c) {
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

// "H:mm[:ss[.zzz]]" from pos to the end.
bool ReadTime(QStringView text, qsizetype pos, QTime& time) {
    int h = 0, m = 0, s = 0, ms = 0;
    if (!Digits(text, pos, 2, true, h) || !Skip(text, pos, u':') || !Digits(text, pos, 2, false, m))
        return false;
    if (Skip(text, pos, u':')) {
        if (!Digits(text, pos, 2, false, s))
            return false;
        if (Skip(text, pos, u'.')) {
            const qsizetype start = pos;
            if (!Digits(text, pos, 9, true, ms))
                return false;
            for (qsizetype d = pos - start; d > 3; --d)
                ms /= 10;
            for (qsizetype d = pos - start; d < 3; ++d)
                ms *= 10;
        }
    }
    if (pos != text.size())
        return false;
    time = QTime(h, m, s, ms);
    return time.isValid();
}

}  // namespace

QDateTime WallClock(const QDate& date, const QTime& time) {
    return QDateTime(date, time, Qt::UTC);
}

std::optional<QDateTime> ParseDateText(QStringView text) {
    text = text.trimmed();
    qsizetype pos = 0;
    int a = 0, b = 0, c = 0;
    QDate date;
    if (Digits(text, pos, 4, false, a) && pos == 4) {
        // yyyy-mm-dd (the embedded database's form)
        if (!Skip(text, pos, u'-') || !Digits(text, pos, 2, true, b) || !Skip(text, pos, u'-') ||
            !Digits(text, pos, 2, true, c))
            return std::nullopt;
        date = QDate(a, b, c);
    } else {
        // dd-mm-yyyy or dd/mm/yyyy (the forms the system shows)
        pos = 0;
        if (!Digits(text, pos, 2, true, a) || pos >= text.size())
            return std::nullopt;
        const QChar separator = text[pos];
        if ((separator != u'-' && separator != u'/') || !Skip(text, pos, separator) ||
            !Digits(text, pos, 2, true, b) || !Skip(text, pos, separator) ||
            !Digits(text, pos, 4, false, c))
            return std::nullopt;
        date = QDate(c, b, a);
    }
    if (!date.isValid())
        return std::nullopt;
    QTime time(0, 0);
    if (pos < text.size()) {
        if (text[pos] != u' ' && text[pos] != u'T')
            return std::nullopt;
        while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'T'))
            ++pos;
        if (!ReadTime(text, pos, time))
            return std::nullopt;
    }
    return WallClock(date, time);
}

std::optional<QDateTime> DateValue(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    switch (value.typeId()) {
        case QMetaType::QDateTime: {
            const QDateTime date = value.toDateTime();
            if (!date.isValid())
                return std::nullopt;
            return date.timeSpec() == Qt::UTC ? date : WallClock(date.date(), date.time());
        }
        case QMetaType::QDate:
            return WallClock(value.toDate());
        case QMetaType::QString:
            return ParseDateText(value.toString());
        default:
            return std::nullopt;
    }
}

}  // namespace orla
