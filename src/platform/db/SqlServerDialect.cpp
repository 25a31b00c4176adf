#include "platform/db/SqlServerDialect.h"

#include "platform/db/Error.h"
#include "platform/db/SqlOperands.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>
#include <QTime>

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

namespace orla {
namespace {

using namespace dialect;

// A statement this rewrite cannot give the server's meaning, refused before it runs.
OrlaError Refused(const QString& reason) {
    return {err::kCommandFailed,
            QStringLiteral("The statement cannot run on the embedded database: %1.").arg(reason)};
}

// The stored text of the datetime matched by named groups y, m, d and optional h, mi, s;
// nothing when it is not one the server's datetime holds (years 1753 to 9999).
std::optional<QString> StoredForm(const QRegularExpressionMatch& match) {
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(u"y").toInt(), match.captured(u"m").toInt(),
                     match.captured(u"d").toInt());
    const QTime time(match.captured(u"h").toInt(), match.captured(u"mi").toInt(),
                     match.captured(u"s").toInt());
    if (!date.isValid() || !time.isValid() || date.year() < 1753)
        return std::nullopt;
    return date.toString(u"yyyy-MM-dd") + u' ' + time.toString(u"HH:mm:ss");
}

// The stored text of a date given to CONVERT(DATETIME, ..., 102): yyyy-mm-dd or yyyy.mm.dd,
// optionally followed by h:mm or h:mm:ss.
std::optional<QString> StoredDate(const QString& value) {
    static const QRegularExpression form(QStringLiteral(
        R"(^\s*(?<y>\d{4})([-.])(?<m>\d{1,2})\2(?<d>\d{1,2})(?:\s+(?<h>\d{1,2}):(?<mi>\d{2})(?::(?<s>\d{2}))?)?\s*$)"));
    return StoredForm(form.match(value));
}

// The stored text of a date literal the server reads the same under every language and
// DATEFORMAT: yyyymmdd with an optional time, or yyyy-mm-ddThh:mm:ss. Fractions of a second
// other than zero are left out: stored dates hold whole seconds.
std::optional<QString> UnambiguousDate(const QString& value) {
    static const QRegularExpression basic(QStringLiteral(
        R"(^(?<y>\d{4})(?<m>\d{2})(?<d>\d{2})(?: (?<h>\d{1,2}):(?<mi>\d{2})(?::(?<s>\d{2})(?:\.0{1,3})?)?)?$)"));
    static const QRegularExpression iso(QStringLiteral(
        R"(^(?<y>\d{4})-(?<m>\d{2})-(?<d>\d{2})T(?<h>\d{2}):(?<mi>\d{2}):(?<s>\d{2})(?:\.0{1,3})?$)"));
    const QRegularExpressionMatch match = basic.match(value);
    return StoredForm(match.hasMatch() ? match : iso.match(value));
}

// The largest magnitude of the type the server gives a number written in a statement: int up to
// 2147483647, decimal(p,s) for others (748.58 is decimal(5,2): 999.99); nothing for a float
// (1E3), whose ROUND cannot overflow here.
std::optional<QString> LiteralLimit(QString number) {
    number.remove(u'-').remove(u'+');
    if (number.contains(u'e', Qt::CaseInsensitive))
        return std::nullopt;
    const qsizetype dot = number.indexOf(u'.');
    QString whole = dot < 0 ? number : number.left(dot);
    while (whole.startsWith(u'0'))
        whole.remove(0, 1);
    if (dot < 0 && whole.size() <= 10 && whole.toLongLong() <= 2147483647)
        return QStringLiteral("2147483647");
    const qsizetype scale = dot < 0 ? 0 : number.size() - dot - 1;
    const QString nines = whole.isEmpty() ? QStringLiteral("0") : QString(whole.size(), u'9');
    return scale > 0 ? nines + u'.' + QString(scale, u'9') : nines;
}

// A replacement for the tokens from the current one up to, not including, `next`.
struct Rewrite {
    QString text;
    qsizetype next;
};

// The rewrite of one statement.
class Translator : public Operands {
  public:
    using Operands::Operands;

    QString Run() const { return Scope(0, Size()); }

  private:
    // Translates the tokens of one statement list or parenthesised group. A SELECT TOP n of
    // this level owes a LIMIT n, placed after the last significant token before the next ';'
    // or the end of the group (so never inside a trailing comment).
    QString Scope(qsizetype begin, qsizetype end) const {
        QString out;
        qsizetype tail = 0;
        QString limit;
        qsizetype statement = begin;
        const auto settleLimit = [&] {
            if (limit.isEmpty())
                return;
            out.insert(tail, QStringLiteral(" LIMIT ") + limit);
            limit.clear();
        };
        qsizetype i = begin;
        while (i < end) {
            if (!Significant(i)) {
                out += At(i).text;
                ++i;
                continue;
            }
            if (Is(i, end, Symbol(u";"))) {
                settleLimit();
                statement = i + 1;
            }
            std::optional<Rewrite> rewrite = Arithmetic(i, begin, end);
            if (!rewrite)
                rewrite = Comparison(i, begin, end);
            if (!rewrite)
                rewrite = Membership(i, begin, end);
            if (!rewrite)
                rewrite = SimpleCase(i, end);
            if (!rewrite)
                rewrite = Convert(i, end);
            if (!rewrite)
                rewrite = Function(i, end);
            if (!rewrite)
                rewrite = IsNull(i, end);
            if (!rewrite)
                rewrite = Round(i, end);
            if (!rewrite)
                rewrite = Cast(i, end);
            if (!rewrite)
                rewrite = Transaction(i, end);
            if (!rewrite)
                rewrite = SelectTop(statement, i, end, limit);
            if (!rewrite && Is(i, end, Symbol(u"("))) {
                const qsizetype close = Closing(i, end);
                rewrite = Rewrite{u'(' + Scope(i + 1, close) + Raw(close, qMin(close + 1, end)),
                                  close + 1};
            }
            if (!rewrite)
                rewrite = Rewrite{At(i).text.toString(), i + 1};
            out += rewrite->text;
            i = rewrite->next;
            tail = out.size();
        }
        settleLimit();
        return out;
    }

    // ---------------------------------------------------------------- texts and dates

    // Texts joined by +, as SQLite's ||; literals and CHAR(n) next to each other merge into one
    // literal ('O' + CHAR(39) + 'Neil' is 'O''Neil').
    QString Concatenated(const Chain& chain) const {
        QStringList parts;
        std::optional<QString> run;
        for (const Operand& term : chain.terms) {
            const auto text = TextOperand(term.begin, term.last + 1);
            if (text && text->second == term.last) {
                run = run.value_or(QString()) + text->first;
                continue;
            }
            if (run)
                parts << Quoted(*run);
            run.reset();
            parts << Scope(term.begin, term.last + 1);
        }
        if (run)
            parts << Quoted(*run);
        return parts.join(u" || ");
    }

    // A date plus or minus days: orla_add_days(date, days) or orla_sub_days(date, days).
    QString DateArithmetic(const Chain& chain) const {
        const Operand& first = chain.terms.front();
        QString text = Scope(first.begin, first.last + 1);
        bool date = first.type == Type::Date;
        for (size_t k = 1; k < chain.terms.size(); ++k) {
            const Operand& term = chain.terms[k];
            const QString operand = Scope(term.begin, term.last + 1);
            const bool minus = At(chain.operators[k - 1]).text == u"-";
            if (date) {
                text =
                    (minus ? QStringLiteral("orla_sub_days(") : QStringLiteral("orla_add_days(")) +
                    text + QStringLiteral(", ") + operand + u')';
            } else if (term.type == Type::Date) {
                text =
                    QStringLiteral("orla_add_days(") + operand + QStringLiteral(", ") + text + u')';
                date = true;
            } else {
                text += Raw(chain.terms[k - 1].last + 1, term.begin) + operand;
            }
        }
        return text;
    }

    // A text literal compared with a date of type `other` (in the comparison from..last): the
    // literal's stored form.
    QString DateLiteral(const Operand& literal, Type other, qsizetype from, qsizetype last) const {
        const QString comparison = Raw(from, last + 1).simplified();
        if (other == Type::Undecided)
            throw Refused(QStringLiteral("a text compared with a column that holds dates in some "
                                         "tables only (%1)")
                              .arg(comparison));
        return StoredLiteral(literal.begin, comparison);
    }

    // The stored form of the date literal at i, which the server takes as a datetime in
    // `context`; refused when the server reads it differently under some language, or not at
    // all.
    QString StoredLiteral(qsizetype i, const QString& context) const {
        const std::optional<QString> value = LiteralValue(At(i).text);
        const std::optional<QString> stored = value ? UnambiguousDate(*value) : std::nullopt;
        if (!stored)
            throw Refused(QStringLiteral("a text read as a date, which the server reads "
                                         "differently under some languages or not at all (%1); "
                                         "write it 'yyyymmdd' or 'yyyy-mm-ddThh:mm:ss'")
                              .arg(context));
        return Quoted(*stored);
    }

    // The server converts the other side of a comparison with a date to a date: a number or a
    // computed text would be converted here differently, or not at all.
    void CheckDateComparison(const Operand& a, const Operand& b) const {
        for (const auto& [date, other] : {std::pair{a, b}, std::pair{b, a}}) {
            const bool refused =
                (date.type == Type::Undecided &&
                 (other.type == Type::Number || other.type == Type::Text)) ||
                (date.type == Type::Date &&
                 (other.type == Type::Number || (other.type == Type::Text && !other.literal)));
            if (refused)
                throw Refused(
                    QStringLiteral("a date compared with a number or a computed text (%1)")
                        .arg(Raw(qMin(a.begin, b.begin), qMax(a.last, b.last) + 1).simplified()));
        }
    }

    // " COLLATE NOCASE " before the operator at i when no column gives the comparison the
    // server's collation: literals and function results compare with SQLite's binary one.
    QString Collation(qsizetype i, const Operand& a, const Operand& b) const {
        const auto textual = [](Type t) { return t == Type::Text || t == Type::Unknown; };
        if (a.column || b.column || !(textual(a.type) || textual(b.type)) || IsDateLike(a.type) ||
            IsDateLike(b.type))
            return {};
        return (At(i - 1).kind == Kind::Space ? QString() : QStringLiteral(" ")) +
               QStringLiteral("COLLATE NOCASE ");
    }

    // ---------------------------------------------------------------- the rewrites

    // An additive chain starting at i: texts joined by + become ||, a date plus or minus days
    // orla_add_days/orla_sub_days; a mix the server would evaluate otherwise is refused. A text
    // literal alone, compared with a date, becomes the date's stored form.
    std::optional<Rewrite> Arithmetic(qsizetype i, qsizetype begin, qsizetype end) const {
        if (!StartsOperand(i, begin))
            return std::nullopt;
        const std::optional<Chain> chain = ParseChain(i, end);
        if (!chain)
            return std::nullopt;
        const qsizetype next = chain->last + 1;
        const bool typed =
            std::any_of(chain->terms.begin(), chain->terms.end(), [](const Operand& t) {
                return t.type == Type::Text || IsDateLike(t.type) || t.type == Type::Invalid;
            });
        if (chain->type == Type::Invalid && !typed)
            throw Refused(QStringLiteral("+ between operands of types the rewrite cannot tell, "
                                         "which the server adds or joins by their types (%1)")
                              .arg(Raw(i, next).simplified()));
        if (chain->type == Type::Invalid)
            throw Refused(QStringLiteral("+ or another operator between a text or a date and an "
                                         "operand it does not combine with as the server does (%1)")
                              .arg(Raw(i, next).simplified()));
        if (chain->terms.size() > 1 && chain->type == Type::Text)
            return Rewrite{Concatenated(*chain), next};
        if (chain->terms.size() > 1 && chain->type == Type::Date)
            return Rewrite{DateArithmetic(*chain), next};
        const qsizetype op = Next(next, end);
        const std::optional<qsizetype> opLast =
            chain->literal ? ComparisonAt(op, end) : std::nullopt;
        if (!opLast)
            return std::nullopt;
        const std::optional<Chain> other = ParseChain(Next(*opLast + 1, end), end);
        if (!other || !IsDateLike(other->type))
            return std::nullopt;
        return Rewrite{DateLiteral(*chain, other->type, i, other->last), next};
    }

    // A comparison: the server's collation where no column brings it, and dates compared as
    // the server compares them.
    std::optional<Rewrite> Comparison(qsizetype i, qsizetype begin, qsizetype end) const {
        const std::optional<qsizetype> last = ComparisonAt(i, end);
        if (!last)
            return std::nullopt;
        const std::optional<Chain> left = LeftOperand(i, begin);
        const qsizetype from = Next(*last + 1, end);
        const std::optional<Chain> right = left ? ParseChain(from, end) : std::nullopt;
        if (!right)
            return std::nullopt;
        CheckDateComparison(*left, *right);
        const QString text = Collation(i, *left, *right) + Raw(i, *last + 1);
        if (left->type == Type::Date && right->literal)
            return Rewrite{text + Raw(*last + 1, from) +
                               DateLiteral(*right, left->type, left->begin, right->last),
                           right->last + 1};
        return Rewrite{text, *last + 1};
    }

    // x [NOT] IN (...) and x [NOT] BETWEEN a AND b, compared as the comparisons above.
    std::optional<Rewrite> Membership(qsizetype i, qsizetype begin, qsizetype end) const {
        const qsizetype word = Is(i, end, Word(u"NOT")) ? Next(i + 1, end) : i;
        const bool in = Is(word, end, Word(u"IN"));
        if (!in && !Is(word, end, Word(u"BETWEEN")))
            return std::nullopt;
        const std::optional<Chain> left = LeftOperand(i, begin);
        if (!left)
            return std::nullopt;
        QString text = Collation(i, *left, *left) + Raw(i, word + 1);
        const qsizetype from = Next(word + 1, end);
        const qsizetype close = Is(from, end, Symbol(u"(")) ? Closing(from, end) : end;
        if (in && (!IsDateLike(left->type) || close == end))
            return Rewrite{text, word + 1};
        if (in) {
            // Each item compared with a date: literals take their stored form.
            text += Raw(word + 1, from + 1);
            for (const Range& item : Items(from, close)) {
                const auto [first, next] = Trimmed(item);
                const std::optional<Chain> other = ParseChain(first, next);
                const bool whole = other && other->last == next - 1;
                if (whole)
                    CheckDateComparison(*left, *other);
                text +=
                    Raw(item.first, first) +
                    (whole && other->literal ? DateLiteral(*other, left->type, left->begin, close)
                                             : Scope(first, next)) +
                    Raw(next, item.second + 1);  // its comma, or the ")"
            }
            return Rewrite{text, close + 1};
        }
        const std::optional<Chain> low = ParseChain(from, end);
        const qsizetype conjunction = low ? Next(low->last + 1, end) : end;
        const std::optional<Chain> high = Is(conjunction, end, Word(u"AND"))
                                              ? ParseChain(Next(conjunction + 1, end), end)
                                              : std::nullopt;
        if (!high)
            return Rewrite{text, word + 1};
        for (const Chain* bound : {&*low, &*high}) {
            CheckDateComparison(*left, *bound);
            text += Raw(bound == &*low ? word + 1 : low->last + 1, bound->begin);
            text += IsDateLike(left->type) && bound->literal
                        ? DateLiteral(*bound, left->type, left->begin, high->last)
                        : Scope(bound->begin, bound->last + 1);
        }
        return Rewrite{text, high->last + 1};
    }

    // CASE x WHEN ...: x compares with each WHEN value, with the server's collation where x is
    // not a column; a date there is refused (the WHEN values are not converted).
    std::optional<Rewrite> SimpleCase(qsizetype i, qsizetype end) const {
        const qsizetype from = Next(i + 1, end);
        if (!Is(i, end, Word(u"CASE")) || Is(from, end, Word(u"WHEN")))
            return std::nullopt;
        const std::optional<Chain> base = ParseChain(from, end);
        if (!base)
            return std::nullopt;
        if (IsDateLike(base->type))
            throw Refused(
                QStringLiteral("CASE on a date (%1)").arg(Raw(i, base->last + 1).simplified()));
        if (Collation(from, *base, *base).isEmpty())
            return std::nullopt;
        return Rewrite{
            Raw(i, from) + Scope(from, base->last + 1) + QStringLiteral(" COLLATE NOCASE"),
            base->last + 1};
    }

    // CONVERT(DATETIME,'<date>',102) -> '<yyyy-mm-dd hh:mm:ss>'; a date that does not parse is
    // refused, as the server refuses it.
    std::optional<Rewrite> Convert(qsizetype i, qsizetype end) const {
        const auto at = Match(i, end,
                              {Word(u"CONVERT"),
                               Symbol(u"("),
                               Word(u"DATETIME"),
                               Symbol(u","),
                               {Kind::Literal},
                               Symbol(u","),
                               {Kind::Number, u"102"},
                               Symbol(u")")});
        if (!at)
            return std::nullopt;
        const QStringView literal = At(at->at(4)).text;
        const std::optional<QString> value = LiteralValue(literal);
        const std::optional<QString> stored = value ? StoredDate(*value) : std::nullopt;
        if (!stored)
            throw Refused(QStringLiteral("%1 is not a date of style 102").arg(literal));
        return Rewrite{Quoted(*stored), at->back() + 1};
    }

    // GETDATE(), @@TRANCOUNT and @@Identity.
    std::optional<Rewrite> Function(qsizetype i, qsizetype end) const {
        if (const auto at = Match(i, end, {Word(u"GETDATE"), Symbol(u"("), Symbol(u")")}))
            return Rewrite{QStringLiteral("datetime('now','localtime')"), at->back() + 1};
        if (Is(i, end, Word(u"@@TRANCOUNT")))
            return Rewrite{QStringLiteral("orla_trancount()"), i + 1};
        if (Is(i, end, Word(u"@@IDENTITY")))
            return Rewrite{QStringLiteral("orla_identity()"), i + 1};
        return std::nullopt;
    }

    // ISNULL(a, b) -> IFNULL(a, b) (the postfix "x ISNULL" is SQLite's own). The server gives b
    // the type of a: when a is a CAST, b is cast the same way (ISNULL(CAST(NULL AS varchar(2)),
    // 'xyz') is 'xy'); a first argument with a CAST or CHAR inside is refused, its type unkept.
    std::optional<Rewrite> IsNull(qsizetype i, qsizetype end) const {
        const auto at = Match(i, end, {Word(u"ISNULL"), Symbol(u"(")});
        if (!at)
            return std::nullopt;
        const qsizetype open = at->back();
        const qsizetype close = Closing(open, end);
        const std::vector<Range> args = Items(open, close);
        if (close == end || args.size() != 2)
            return Rewrite{QStringLiteral("IFNULL"), i + 1};
        const Range first = Trimmed(args.front());
        const std::optional<CastParts> cast = CastAt(first.first, first.second);
        if (cast && cast->close + 1 == first.second)
            return Rewrite{QStringLiteral("IFNULL(") +
                               Scope(args.front().first, args.front().second) + u',' +
                               Raw(args.back().first, Trimmed(args.back()).first) +
                               CastOf(Trimmed(args.back()), *cast) + u')',
                           close + 1};
        for (qsizetype k = first.first; k < first.second; ++k) {
            if (Is(k, end, Word(u"CAST")) || Is(k, end, Word(u"CHAR")) ||
                Is(k, end, Word(u"NCHAR")))
                throw Refused(QStringLiteral("ISNULL whose first argument takes its type from a "
                                             "CAST or CHAR inside it (%1)")
                                  .arg(Raw(i, close + 1).simplified()));
        }
        return Rewrite{QStringLiteral("IFNULL"), i + 1};
    }

    // ROUND(x, n[, f]) -> orla_round(x, n[, f]): the server's rounding, negative n and
    // truncation included. A number written as x also passes the largest magnitude of its
    // type, past which the server's ROUND overflows (ROUND(748.58, -3) does not fit
    // decimal(5,2)).
    std::optional<Rewrite> Round(qsizetype i, qsizetype end) const {
        const auto at = Match(i, end, {Word(u"ROUND"), Symbol(u"(")});
        if (!at)
            return std::nullopt;
        const qsizetype open = at->back();
        const qsizetype close = Closing(open, end);
        const std::vector<Range> args = Items(open, close);
        const std::optional<QString> number = close < end && args.size() >= 2 && args.size() <= 3
                                                  ? WrittenNumber(args.front())
                                                  : std::nullopt;
        const std::optional<QString> limit = number ? LiteralLimit(*number) : std::nullopt;
        if (!limit)
            return Rewrite{QStringLiteral("orla_round"), i + 1};
        return Rewrite{QStringLiteral("orla_round(") + Scope(open + 1, close) +
                           (args.size() == 2 ? QStringLiteral(", 0") : QString()) +
                           QStringLiteral(", '") + *limit + QStringLiteral("')"),
                       close + 1};
    }

    // The expression in `range` cast as `cast` casts: money and datetime by functions of the
    // connection (a number written in the statement reaches orla_money as its exact text, a
    // text literal cast to datetime becomes its stored form), varchar(n) by orla_varchar, which
    // cuts texts to n characters as the server does (n is 30 when not written). Types whose
    // sizes or forms SQLite does not keep are refused; other types keep SQLite's CAST.
    QString CastOf(Range range, const CastParts& cast) const {
        const QStringView type = At(cast.type).text;
        const QString value = Scope(range.first, range.second);
        if (IsOneOf(type, {u"money"})) {
            const std::optional<QString> number = WrittenNumber(range);
            return QStringLiteral("orla_money(") + (number ? Quoted(*number) : value) + u')';
        }
        if (IsOneOf(type, {u"datetime"})) {
            const bool literal =
                range.second - range.first == 1 && At(range.first).kind == Kind::Literal;
            return literal ? StoredLiteral(range.first,
                                           Raw(Previous(cast.open, 0), cast.close + 1).simplified())
                           : QStringLiteral("orla_datetime(") + value + u')';
        }
        if (IsOneOf(type, {u"varchar", u"nvarchar"})) {
            QString size = QStringLiteral("30");
            if (cast.size && Is(*cast.size, cast.close, {Kind::Number}))
                size = At(*cast.size).text.toString();
            else if (cast.size)
                size = QStringLiteral("-1");  // max
            return QStringLiteral("orla_varchar(") + value + QStringLiteral(", ") + size + u')';
        }
        if (IsOneOf(type, {u"smallmoney", u"smalldatetime", u"char", u"nchar", u"decimal",
                           u"numeric", u"date", u"time", u"datetime2", u"datetimeoffset", u"bit",
                           u"binary", u"varbinary"}))
            throw Refused(QStringLiteral("CAST to %1, whose size or form the embedded database "
                                         "does not keep")
                              .arg(type));
        return QStringLiteral("CAST(") + value + QStringLiteral(" AS ") +
               Raw(cast.type, cast.close) + u')';
    }

    std::optional<Rewrite> Cast(qsizetype i, qsizetype end) const {
        const std::optional<CastParts> cast = CastAt(i, end);
        if (!cast)
            return std::nullopt;
        return Rewrite{CastOf(Trimmed({cast->open + 1, cast->as}), *cast), cast->close + 1};
    }

    // BEGIN/COMMIT/ROLLBACK TRAN or TRANSACTION -> the first word alone.
    std::optional<Rewrite> Transaction(qsizetype i, qsizetype end) const {
        for (QStringView verb : {u"BEGIN", u"COMMIT", u"ROLLBACK"}) {
            for (QStringView noun : {u"TRAN", u"TRANSACTION"}) {
                if (const auto at = Match(i, end, {Word(verb), Word(noun)}))
                    return Rewrite{At(i).text.toString(), at->back() + 1};
            }
        }
        return std::nullopt;
    }

    // Whether the statement starting at `statement` combines selects at this level with UNION,
    // EXCEPT or INTERSECT.
    bool CombinesSelects(qsizetype statement, qsizetype end) const {
        for (qsizetype i = statement; i < end && !Is(i, end, Symbol(u";")); ++i) {
            if (Is(i, end, Symbol(u"(")))
                i = Closing(i, end);
            else if (Is(i, end, Word(u"UNION")) || Is(i, end, Word(u"EXCEPT")) ||
                     Is(i, end, Word(u"INTERSECT")))
                return true;
        }
        return false;
    }

    // SELECT [DISTINCT|ALL] TOP n / TOP (n) -> the same without TOP, owing LIMIT n to this
    // level. In a statement that combines selects (UNION ...) a LIMIT at the end would cut the
    // combined rows instead of one select's, so TOP is refused there.
    std::optional<Rewrite> SelectTop(qsizetype statement, qsizetype i, qsizetype end,
                                     QString& limit) const {
        if (!Is(i, end, Word(u"SELECT")))
            return std::nullopt;
        qsizetype top = Next(i + 1, end);
        if (Is(top, end, Word(u"DISTINCT")) || Is(top, end, Word(u"ALL")))
            top = Next(top + 1, end);
        if (!Is(top, end, Word(u"TOP")))
            return std::nullopt;
        const qsizetype from = Next(top + 1, end);
        auto at = Match(from, end, {{Kind::Number}});
        if (!at)
            at = Match(from, end, {Symbol(u"("), {Kind::Number}, Symbol(u")")});
        if (!at)
            return std::nullopt;
        const QStringView count = At(at->size() == 1 ? at->front() : at->at(1)).text;
        if (!IsInteger(count))
            return std::nullopt;
        if (CombinesSelects(statement, end))
            throw Refused(
                QStringLiteral("TOP in a select combined with UNION, EXCEPT or "
                               "INTERSECT"));
        qsizetype next = at->back() + 1;
        while (next < end && At(next).kind == Kind::Space)
            ++next;
        limit = count.toString();
        return Rewrite{Raw(i, top), next};
    }
};

}  // namespace

QString TranslateToSqlite(const QString& sql, const ColumnTypes& columns) {
    return Translator(sql, columns).Run();
}

}  // namespace orla
