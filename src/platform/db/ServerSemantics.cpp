#include "platform/db/ServerSemantics.h"

#include "common/Decimal.h"

#include <QCollator>
#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

#include <sqlite3.h>

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

// CAST(x AS money): the nearest ten-thousandth, halves away from zero, of the number as
// written (2.67495 gives 2.675); text must be a number.
void MoneyCast(sqlite3_context* context, int, sqlite3_value** values) {
    std::optional<Decimal> number;
    switch (sqlite3_value_type(values[0])) {
        case SQLITE_NULL:
            return sqlite3_result_null(context);
        case SQLITE_INTEGER:
            number = Decimal::Parse(QString::number(sqlite3_value_int64(values[0])), u".", u"");
            break;
        case SQLITE_FLOAT:
            number = Decimal::FromDouble(sqlite3_value_double(values[0]));
            break;
        case SQLITE_TEXT:
            number = Decimal::Parse(Text(values[0]), u".", u",");
            break;
        default:
            break;
    }
    if (!number)
        return ResultError(context,
                           "Cannot convert a char value to money. The char value has incorrect "
                           "syntax.");
    const std::optional<qint64> units =
        number->Rounded(4, Decimal::Halves::AwayFromZero).Shifted(4).WholeToInt64();
    if (!units)
        return ResultError(context,
                           "Arithmetic overflow error converting expression to data type money.");
    sqlite3_result_double(context, double(*units) / 10000.0);
}

// CAST(x AS datetime): dates are kept as their wall-clock text "yyyy-mm-dd hh:mm:ss", which is
// what a datetime value is here; any other text or a number is refused, never reinterpreted.
void DatetimeCast(sqlite3_context* context, int, sqlite3_value** values) {
    if (sqlite3_value_type(values[0]) == SQLITE_NULL)
        return sqlite3_result_null(context);
    if (sqlite3_value_type(values[0]) == SQLITE_TEXT) {
        // Date and time read apart: a wall-clock time never meets the local time zone.
        const QString text = Text(values[0]);
        const QDate date = QDate::fromString(text.left(10), u"yyyy-MM-dd");
        const QTime time = QTime::fromString(text.mid(10), u" HH:mm:ss");
        if (date.isValid() && time.isValid() && date.year() >= 1753)
            return ResultText(context, text);
    }
    ResultError(context,
                "Conversion failed when converting date and/or time from character string.");
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
    add("orla_identity", 0, SQLITE_UTF8, session, Identity);
    add("orla_trancount", 0, SQLITE_UTF8, handle, TranCount);
    return ok;
}

}  // namespace orla
