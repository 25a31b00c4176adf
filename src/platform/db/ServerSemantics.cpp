#include "platform/db/ServerSemantics.h"

#include "platform/Decimal.h"

#include <QCollator>
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>

#include <sqlite3.h>

#include <algorithm>
#include <vector>

namespace orla {
namespace {

QString Text(sqlite3_value* value) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                             sqlite3_value_bytes(value));
}

void ResultText(sqlite3_context* context, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(context, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void ResultError(sqlite3_context* context, const char* message) {
    sqlite3_result_error(context, message, -1);
}

bool AnyNull(int count, sqlite3_value** values) {
    for (int i = 0; i < count; ++i) {
        if (sqlite3_value_type(values[i]) == SQLITE_NULL)
            return true;
    }
    return false;
}

QStringView WithoutTrailingBlanks(QStringView text) {
    while (!text.isEmpty() && text.back() == u' ')
        text.chop(1);
    return text;
}

// ---------------------------------------------------------------- comparison

QCollator* NewServerCollator() {
    auto* collator = new QCollator(QLocale(QLocale::Portuguese, QLocale::Portugal));
    collator->setCaseSensitivity(Qt::CaseInsensitive);  // accents still count
    collator->setNumericMode(false);
    collator->setIgnorePunctuation(false);
    return collator;
}

// Plain ASCII texts equal but for letter case: equal for the server too, found without the
// collator (the common case of codes and user names).
bool AsciiEqualIgnoringCase(const char* a, int na, const char* b, int nb) {
    while (na > 0 && a[na - 1] == ' ')
        --na;
    while (nb > 0 && b[nb - 1] == ' ')
        --nb;
    if (na != nb)
        return false;
    for (int i = 0; i < na; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (ca >= 0x80 || cb >= 0x80 || QChar::toLower(ca) != QChar::toLower(cb))
            return false;
    }
    return true;
}

int CompareText(void* collator, int na, const void* a, int nb, const void* b) {
    const auto* ca = static_cast<const char*>(a);
    const auto* cb = static_cast<const char*>(b);
    if (AsciiEqualIgnoringCase(ca, na, cb, nb))
        return 0;
    const QString ta = QString::fromUtf8(ca, na);
    const QString tb = QString::fromUtf8(cb, nb);
    return static_cast<QCollator*>(collator)->compare(WithoutTrailingBlanks(ta),
                                                      WithoutTrailingBlanks(tb));
}

void DeleteCollator(void* collator) {
    delete static_cast<QCollator*>(collator);
}

// ---------------------------------------------------------------- LIKE

// One step of a LIKE pattern: % (any run), _ (one character), a character, or a [set].
struct PatternStep {
    enum Kind { AnyRun, AnyOne, Literal, Set } kind;
    QChar literal;
    std::vector<std::pair<QChar, QChar>> ranges;  // of a set: single characters as a..a
    bool negated = false;
};

std::vector<PatternStep> ParsePattern(QStringView pattern, std::optional<QChar> escape) {
    std::vector<PatternStep> steps;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (escape && c == *escape && i + 1 < pattern.size()) {
            steps.push_back({PatternStep::Literal, pattern[++i], {}, false});
        } else if (c == u'%') {
            steps.push_back({PatternStep::AnyRun, {}, {}, false});
        } else if (c == u'_') {
            steps.push_back({PatternStep::AnyOne, {}, {}, false});
        } else if (c == u'[' && pattern.indexOf(u']', i + 2) > i) {
            PatternStep set{PatternStep::Set, {}, {}, false};
            qsizetype j = i + 1;
            if (pattern[j] == u'^' && pattern[j + 1] != u']') {
                set.negated = true;
                ++j;
            }
            const qsizetype close = pattern.indexOf(u']', j + 1);
            for (; j < close; ++j) {
                if (j + 2 < close && pattern[j + 1] == u'-') {
                    set.ranges.emplace_back(pattern[j], pattern[j + 2]);
                    j += 2;
                } else {
                    set.ranges.emplace_back(pattern[j], pattern[j]);
                }
            }
            steps.push_back(std::move(set));
            i = close;
        } else {
            steps.push_back({PatternStep::Literal, c, {}, false});
        }
    }
    return steps;
}

bool SameCharacter(QChar a, QChar b) {
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}

bool StepTakes(const PatternStep& step, QChar c, const QCollator& collator) {
    switch (step.kind) {
        case PatternStep::AnyOne:
            return true;
        case PatternStep::Literal:
            return SameCharacter(step.literal, c);
        case PatternStep::Set:
            for (const auto& [low, high] : step.ranges) {
                const bool inside =
                    low == high
                        ? SameCharacter(low, c)
                        : collator.compare(QStringView(&low, 1), QStringView(&c, 1)) <= 0 &&
                              collator.compare(QStringView(&c, 1), QStringView(&high, 1)) <= 0;
                if (inside)
                    return !step.negated;
            }
            return step.negated;
        case PatternStep::AnyRun:
            break;
    }
    return false;
}

bool Matches(const std::vector<PatternStep>& steps, QStringView text, const QCollator& collator) {
    size_t p = 0;
    qsizetype t = 0;
    std::optional<size_t> run;  // the last % seen, to retry from
    qsizetype runText = 0;
    while (t < text.size()) {
        if (p < steps.size() && steps[p].kind == PatternStep::AnyRun) {
            run = p++;
            runText = t;
        } else if (p < steps.size() && StepTakes(steps[p], text[t], collator)) {
            ++p;
            ++t;
        } else if (run) {
            p = *run + 1;
            t = ++runText;
        } else {
            return false;
        }
    }
    while (p < steps.size() && steps[p].kind == PatternStep::AnyRun)
        ++p;
    return p == steps.size();
}

// like(pattern, text[, escape]): "text LIKE pattern". Trailing blanks of the text are ignored,
// those of the pattern are not, as on the server.
void Like(sqlite3_context* context, int count, sqlite3_value** values) {
    if (AnyNull(count, values))
        return sqlite3_result_null(context);
    std::optional<QChar> escape;
    if (count == 3) {
        const QString text = Text(values[2]);
        if (text.size() != 1)
            return ResultError(context, "The escape character of LIKE must be one character.");
        escape = text.front();
    }
    const auto& collator = *static_cast<const QCollator*>(sqlite3_user_data(context));
    const std::vector<PatternStep> steps = ParsePattern(Text(values[0]), escape);
    const QString text = Text(values[1]);
    const bool match =
        Matches(steps, text, collator) || Matches(steps, WithoutTrailingBlanks(text), collator);
    sqlite3_result_int(context, match ? 1 : 0);
}

// ---------------------------------------------------------------- conversions

void Char(sqlite3_context* context, int, sqlite3_value** values) {
    if (sqlite3_value_numeric_type(values[0]) == SQLITE_NULL)
        return sqlite3_result_null(context);
    const std::optional<QChar> c = ServerChar(sqlite3_value_int64(values[0]));
    if (!c)
        return sqlite3_result_null(context);
    ResultText(context, QString(*c));
}

// The number a value holds as written: integers and texts exactly, doubles to the 15
// significant digits they carry; nothing for other values.
std::optional<Decimal> NumberOf(sqlite3_value* value) {
    switch (sqlite3_value_type(value)) {
        case SQLITE_INTEGER:
            return Decimal::Parse(QString::number(sqlite3_value_int64(value)), u".", u"");
        case SQLITE_FLOAT:
            return Decimal::FromDouble(sqlite3_value_double(value));
        case SQLITE_TEXT:
            return Decimal::Parse(Text(value), u".", u"");
        default:
            return std::nullopt;
    }
}

// CAST(x AS money): the nearest ten-thousandth, halves away from zero, of the number as
// written (2.67495 gives 2.675; the rewrite hands numbers of the statement over as text);
// text must be a number. The result is a double, which holds 15 significant digits exactly: a
// longer amount is refused rather than returned a little off.
void MoneyCast(sqlite3_context* context, int, sqlite3_value** values) {
    if (sqlite3_value_type(values[0]) == SQLITE_NULL)
        return sqlite3_result_null(context);
    const std::optional<Decimal> number = sqlite3_value_type(values[0]) == SQLITE_TEXT
                                              ? Decimal::Parse(Text(values[0]), u".", u",")
                                              : NumberOf(values[0]);
    if (!number)
        return ResultError(context,
                           "Cannot convert a char value to money. The char value has incorrect "
                           "syntax.");
    const std::optional<qint64> units =
        number->Rounded(4, Decimal::Halves::AwayFromZero).Shifted(4).WholeToInt64();
    if (!units)
        return ResultError(context,
                           "Arithmetic overflow error converting expression to data type money.");
    const double amount = double(*units) / 10000.0;
    const std::optional<Decimal> kept = Decimal::FromDouble(amount);
    if (kept->Rounded(4, Decimal::Halves::AwayFromZero).Shifted(4).WholeToInt64() != units)
        return ResultError(context,
                           "The amount has more than 15 significant digits, more than the "
                           "embedded database keeps exactly.");
    sqlite3_result_double(context, amount);
}

// The number cut (not rounded) to `decimals` decimals.
Decimal Truncated(const Decimal& number, int decimals) {
    const QString whole = number.Shifted(decimals).WholeDigits();
    return *Decimal::Parse((number.IsNegative() ? QStringLiteral("-") : QString()) +
                               (whole.isEmpty() ? QStringLiteral("0") : whole) + u'E' +
                               QString::number(-decimals),
                           u".", u"");
}

// Whether |number| > limit (limit not negative).
bool Exceeds(const Decimal& number, const Decimal& limit) {
    const QString whole = number.WholeDigits();
    const QString most = limit.WholeDigits();
    if (whole.size() != most.size())
        return whole.size() > most.size();
    if (whole != most)
        return whole > most;
    return number.FractionDigits(60) > limit.FractionDigits(60);
}

// ROUND(x, n[, f[, limit]]): x rounded to n decimals, halves away from zero, or cut when f is
// not 0; a negative n rounds whole digits (ROUND(15, -1) is 20). `limit` is the largest
// magnitude of x's type when the statement wrote x as a number: a result beyond it overflows,
// as on the server (ROUND(748.58, -3) does not fit decimal(5,2)). Texts are read as numbers.
void Round(sqlite3_context* context, int count, sqlite3_value** values) {
    if (AnyNull(qMin(count, 3), values))
        return sqlite3_result_null(context);
    const std::optional<Decimal> number = NumberOf(values[0]);
    if (!number)
        return ResultError(context, "Error converting data type varchar to float.");
    const int decimals = int(std::clamp<qint64>(sqlite3_value_int64(values[1]), -300, 300));
    const bool cut = count > 2 && sqlite3_value_int64(values[2]) != 0;
    const Decimal result = cut ? Truncated(*number, decimals)
                               : number->Rounded(decimals, Decimal::Halves::AwayFromZero);
    const std::optional<Decimal> limit =
        count > 3 ? Decimal::Parse(Text(values[3]), u".", u"") : std::nullopt;
    if (limit && Exceeds(result, *limit))
        return ResultError(context,
                           "Arithmetic overflow error converting expression to data type "
                           "numeric.");
    sqlite3_result_double(context, result.IsZero() ? 0.0 : result.ToDouble());
}

// A stored date, "yyyy-mm-dd hh:mm:ss": date and time read apart, so a wall-clock time never
// meets the local time zone.
std::optional<QDateTime> StoredDateTime(sqlite3_value* value) {
    if (sqlite3_value_type(value) != SQLITE_TEXT)
        return std::nullopt;
    const QString text = Text(value);
    const QDate date = QDate::fromString(text.left(10), u"yyyy-MM-dd");
    const QTime time = QTime::fromString(text.mid(10), u" HH:mm:ss");
    if (!date.isValid() || !time.isValid() || date.year() < 1753)
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

// CAST(x AS datetime): dates are kept as their wall-clock text "yyyy-mm-dd hh:mm:ss", which is
// what a datetime value is here; any other text or a number is refused, never reinterpreted.
void DatetimeCast(sqlite3_context* context, int, sqlite3_value** values) {
    if (sqlite3_value_type(values[0]) == SQLITE_NULL)
        return sqlite3_result_null(context);
    if (StoredDateTime(values[0]))
        return ResultText(context, Text(values[0]));
    ResultError(context,
                "Conversion failed when converting date and/or time from character string.");
}

// date + days (sign 1) or date - days (sign -1): the server adds a number to a datetime as
// that many days, fractions included. Stored dates hold whole seconds, so days that do not make
// whole seconds are refused, as is anything but a number (a date plus a date, a text the
// server would read as a date).
void ShiftDate(sqlite3_context* context, sqlite3_value** values, int sign) {
    if (AnyNull(2, values))
        return sqlite3_result_null(context);
    const std::optional<QDateTime> date = StoredDateTime(values[0]);
    if (!date)
        return ResultError(context,
                           "Conversion failed when converting date and/or time from "
                           "character string.");
    const int type = sqlite3_value_type(values[1]);
    const std::optional<Decimal> days =
        type == SQLITE_INTEGER || type == SQLITE_FLOAT ? NumberOf(values[1]) : std::nullopt;
    if (!days)
        return ResultError(context, "The embedded database adds only a number of days to a date.");
    // Whole seconds are whole ten-millionths of a day (27 of them make one).
    constexpr qint64 kPerDay = 10'000'000;
    constexpr qint64 kMost = 4'000'000 * kPerDay;  // beyond datetime's ten thousand years
    const Decimal scaled = days->Shifted(7);
    const std::optional<qint64> units = scaled.WholeToInt64();
    const char* overflow = "Arithmetic overflow error converting expression to data type datetime.";
    if (!units || qAbs(*units) > kMost)
        return ResultError(context, overflow);
    const QString fraction = scaled.FractionDigits(60);
    if (fraction.count(u'0') != fraction.size() || *units * 86400 % kPerDay != 0)
        return ResultError(context, "The embedded database adds only whole seconds to a date.");
    const QDateTime sum = date->addSecs(sign * (*units * 86400 / kPerDay));
    if (sum.date().year() < 1753 || sum.date().year() > 9999)
        return ResultError(context, overflow);
    ResultText(context, sum.toString(u"yyyy-MM-dd HH:mm:ss"));
}

void AddDays(sqlite3_context* context, int, sqlite3_value** values) {
    ShiftDate(context, values, 1);
}

void SubtractDays(sqlite3_context* context, int, sqlite3_value** values) {
    ShiftDate(context, values, -1);
}

// CAST(x AS varchar(n)): text cut to n characters (n below zero: no limit), a whole number as
// its digits when they fit. Other numbers are refused: the server writes each numeric type its
// own way, and a number too long for n as '*' or an error.
void VarcharCast(sqlite3_context* context, int, sqlite3_value** values) {
    const qint64 size = sqlite3_value_int64(values[1]);
    switch (sqlite3_value_type(values[0])) {
        case SQLITE_NULL:
            return sqlite3_result_null(context);
        case SQLITE_TEXT: {
            const QString text = Text(values[0]);
            return ResultText(context, size < 0 ? text : text.left(size));
        }
        case SQLITE_INTEGER: {
            const QString digits = QString::number(sqlite3_value_int64(values[0]));
            if (size < 0 || digits.size() <= size)
                return ResultText(context, digits);
            break;
        }
        default:
            break;
    }
    ResultError(context,
                "The embedded database converts to varchar only texts and whole "
                "numbers that fit.");
}

// UPPER and LOWER as the server changes case: accented letters too (SQLite's change ASCII
// only), one character for one (ß stays ß).
void ChangeCase(sqlite3_context* context, sqlite3_value* value, bool upper) {
    if (sqlite3_value_type(value) == SQLITE_NULL)
        return sqlite3_result_null(context);
    QString text = Text(value);
    for (QChar& c : text)
        c = upper ? c.toUpper() : c.toLower();
    ResultText(context, text);
}

void Upper(sqlite3_context* context, int, sqlite3_value** values) {
    ChangeCase(context, values[0], true);
}

void Lower(sqlite3_context* context, int, sqlite3_value** values) {
    ChangeCase(context, values[0], false);
}

void Identity(sqlite3_context* context, int, sqlite3_value**) {
    const auto* session = static_cast<const ServerSession*>(sqlite3_user_data(context));
    if (!session->identity)
        return sqlite3_result_null(context);
    sqlite3_result_int64(context, *session->identity);
}

// @@TRANCOUNT of SQL Server: 1 while a transaction is open on this connection.
void TranCount(sqlite3_context* context, int, sqlite3_value**) {
    auto* handle = static_cast<sqlite3*>(sqlite3_user_data(context));
    sqlite3_result_int(context, sqlite3_get_autocommit(handle) ? 0 : 1);
}

}  // namespace

std::optional<QChar> ServerChar(qint64 code) {
    static constexpr char16_t kHighControls[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (code < 0 || code > 255)
        return std::nullopt;
    if (code >= 0x80 && code <= 0x9F)
        return QChar(kHighControls[code - 0x80]);
    return QChar(char16_t(code));
}

bool InstallServerSemantics(sqlite3* handle, ServerSession* session) {
    constexpr int kPure = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    QCollator* collator = NewServerCollator();
    // The collation owns the collator; like() borrows it for as long as the connection lives.
    bool ok = sqlite3_create_collation_v2(handle, "NOCASE", SQLITE_UTF8, collator, CompareText,
                                          DeleteCollator) == SQLITE_OK;
    if (!ok)
        delete collator;
    const auto add = [&](const char* name, int args, int flags, void* data,
                         void (*f)(sqlite3_context*, int, sqlite3_value**)) {
        ok = ok && sqlite3_create_function(handle, name, args, flags, data, f, nullptr, nullptr) ==
                       SQLITE_OK;
    };
    add("like", 2, kPure, collator, Like);
    add("like", 3, kPure, collator, Like);
    add("char", 1, kPure, nullptr, Char);
    add("orla_money", 1, kPure, nullptr, MoneyCast);
    add("orla_datetime", 1, kPure, nullptr, DatetimeCast);
    add("orla_varchar", 2, kPure, nullptr, VarcharCast);
    for (int args = 2; args <= 4; ++args)
        add("orla_round", args, kPure, nullptr, Round);
    add("orla_add_days", 2, kPure, nullptr, AddDays);
    add("orla_sub_days", 2, kPure, nullptr, SubtractDays);
    add("upper", 1, kPure, nullptr, Upper);
    add("lower", 1, kPure, nullptr, Lower);
    add("orla_identity", 0, SQLITE_UTF8, session, Identity);
    add("orla_trancount", 0, SQLITE_UTF8, handle, TranCount);
    return ok;
}

}  // namespace orla
