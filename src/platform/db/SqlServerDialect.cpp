#include "platform/db/SqlServerDialect.h"

#include "platform/db/Error.h"
#include "platform/db/ServerSemantics.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <vector>

namespace orla {
namespace {

enum class Kind { Space, Comment, Literal, QuotedName, Word, Number, Symbol };

struct Token {
    Kind kind;
    QStringView text;
};

bool IsWordStart(QChar c) {
    return c.isLetter() || c == u'_' || c == u'@' || c == u'#';
}

bool IsWordPart(QChar c) {
    return IsWordStart(c) || c.isDigit() || c == u'$';
}

// Index just past a run opened at `from` and ended by `close`, where a doubled `close` stands
// for itself ('it''s', "a""b"). An unterminated run takes the rest of the text.
qsizetype QuotedEnd(QStringView sql, qsizetype from, QChar close) {
    qsizetype i = from + 1;
    while (i < sql.size()) {
        if (sql[i] != close) {
            ++i;
        } else if (i + 1 < sql.size() && sql[i + 1] == close) {
            i += 2;
        } else {
            return i + 1;
        }
    }
    return sql.size();
}

// Splits the text into tokens that, joined, give the text back unchanged.
std::vector<Token> Tokenize(QStringView sql) {
    std::vector<Token> tokens;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        const QStringView rest = sql.sliced(i);
        Kind kind = Kind::Symbol;
        qsizetype end = i + 1;
        if (c.isSpace()) {
            kind = Kind::Space;
            while (end < sql.size() && sql[end].isSpace())
                ++end;
        } else if (rest.startsWith(u"--")) {
            kind = Kind::Comment;
            end = sql.indexOf(u'\n', i);
            if (end < 0)
                end = sql.size();
        } else if (rest.startsWith(u"/*")) {
            kind = Kind::Comment;
            end = sql.indexOf(u"*/", i + 2);
            end = end < 0 ? sql.size() : end + 2;
        } else if (c == u'\'') {
            kind = Kind::Literal;
            end = QuotedEnd(sql, i, u'\'');
        } else if (c == u'"' || c == u'[') {
            kind = Kind::QuotedName;
            end = QuotedEnd(sql, i, c == u'"' ? u'"' : u']');
        } else if (IsWordStart(c)) {
            kind = Kind::Word;
            while (end < sql.size() && IsWordPart(sql[end]))
                ++end;
        } else if (c.isDigit()) {
            kind = Kind::Number;
            while (end < sql.size() && (sql[end].isLetterOrNumber() || sql[end] == u'.'))
                ++end;
        }
        tokens.push_back({kind, sql.sliced(i, end - i)});
        i = end;
    }
    return tokens;
}

// The value of a complete single-quoted literal, or nothing for an unterminated one.
std::optional<QString> LiteralValue(QStringView literal) {
    QString value;
    for (qsizetype i = 1; i < literal.size(); ++i) {
        if (literal[i] != u'\'') {
            value += literal[i];
        } else if (i + 1 == literal.size()) {
            return value;
        } else {
            value += literal[++i];  // '' inside the literal
        }
    }
    return std::nullopt;
}

QString Quoted(QString value) {
    return u'\'' + value.replace(u'\'', QStringLiteral("''")) + u'\'';
}

// A statement this rewrite cannot give the server's meaning, refused before it runs.
OrlaError Refused(const QString& reason) {
    return {err::kCommandFailed,
            QStringLiteral("The statement cannot run on the embedded database: %1.").arg(reason)};
}

bool IsOperator(const Token& token, QStringView operators) {
    return token.kind == Kind::Symbol && operators.contains(token.text);
}

// The stored text of a date given to CONVERT(DATETIME, ..., 102): yyyy-mm-dd or yyyy.mm.dd,
// optionally followed by h:mm or h:mm:ss. Nothing when the text is not a date that SQL
// Server's datetime holds (years 1753 to 9999).
std::optional<QString> StoredDate(const QString& value) {
    static const QRegularExpression form(QStringLiteral(
        R"(^\s*(\d{4})([-.])(\d{1,2})\2(\d{1,2})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    const QRegularExpressionMatch match = form.match(value);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(3).toInt(),
                     match.captured(4).toInt());
    const QTime time(match.captured(5).toInt(), match.captured(6).toInt(),
                     match.captured(7).toInt());
    if (!date.isValid() || !time.isValid() || date.year() < 1753)
        return std::nullopt;
    return date.toString(u"yyyy-MM-dd") + u' ' + time.toString(u"HH:mm:ss");
}

bool IsInteger(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

// One step of a token pattern: a token of this kind, with this text (case-insensitive) when
// the text is not empty.
struct Expect {
    Kind kind;
    QStringView text = {};
};

Expect Word(QStringView text) {
    return {Kind::Word, text};
}

Expect Symbol(QStringView text) {
    return {Kind::Symbol, text};
}

// A replacement for the tokens from the current one up to, not including, `next`.
struct Rewrite {
    QString text;
    qsizetype next;
};

class Translator {
  public:
    explicit Translator(const QString& sql) : tokens_(Tokenize(sql)) {}

    QString Run() const { return Scope(0, qsizetype(tokens_.size())); }

  private:
    bool Significant(qsizetype i) const {
        return tokens_[i].kind != Kind::Space && tokens_[i].kind != Kind::Comment;
    }

    // The first significant token at or after i, or `end`.
    qsizetype Next(qsizetype i, qsizetype end) const {
        while (i < end && !Significant(i))
            ++i;
        return i;
    }

    // The last significant token before i, or begin - 1.
    qsizetype Previous(qsizetype i, qsizetype begin) const {
        --i;
        while (i >= begin && !Significant(i))
            --i;
        return i;
    }

    bool Is(qsizetype i, qsizetype end, const Expect& expect) const {
        return i < end && tokens_[i].kind == expect.kind &&
               (expect.text.isEmpty() ||
                tokens_[i].text.compare(expect.text, Qt::CaseInsensitive) == 0);
    }

    // The indexes of the significant tokens, from i on, that follow the pattern.
    std::optional<std::vector<qsizetype>> Match(qsizetype i, qsizetype end,
                                                std::initializer_list<Expect> pattern) const {
        std::vector<qsizetype> at;
        for (const Expect& expect : pattern) {
            if (!at.empty())
                i = Next(at.back() + 1, end);
            if (!Is(i, end, expect))
                return std::nullopt;
            at.push_back(i);
        }
        return at;
    }

    // The ')' that closes the '(' at `open`, or `end` when it is not closed.
    qsizetype Closing(qsizetype open, qsizetype end) const {
        int depth = 0;
        for (qsizetype i = open; i < end; ++i) {
            if (Is(i, end, Symbol(u"(")))
                ++depth;
            if (Is(i, end, Symbol(u")")) && --depth == 0)
                return i;
        }
        return end;
    }

    QString Raw(qsizetype begin, qsizetype end) const {
        QString text;
        for (qsizetype i = begin; i < end; ++i)
            text += tokens_[i].text;
        return text;
    }

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
                out += tokens_[i].text;
                ++i;
                continue;
            }
            if (Is(i, end, Symbol(u";"))) {
                settleLimit();
                statement = i + 1;
            }
            std::optional<Rewrite> rewrite = Convert(i, end);
            if (!rewrite)
                rewrite = Concatenation(i, begin, end);
            if (!rewrite)
                rewrite = Function(i, end);
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
                rewrite = Rewrite{tokens_[i].text.toString(), i + 1};
            out += rewrite->text;
            i = rewrite->next;
            tail = out.size();
        }
        settleLimit();
        return out;
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
        const QStringView literal = tokens_[at->at(4)].text;
        const std::optional<QString> value = LiteralValue(literal);
        const std::optional<QString> stored = value ? StoredDate(*value) : std::nullopt;
        if (!stored)
            throw Refused(QStringLiteral("%1 is not a date of style 102").arg(literal));
        return Rewrite{Quoted(*stored), at->back() + 1};
    }

    // A string literal or CHAR(n) with 1 <= n <= 255: its text and its last token.
    std::optional<std::pair<QString, qsizetype>> TextOperand(qsizetype i, qsizetype end) const {
        if (Is(i, end, {Kind::Literal})) {
            const std::optional<QString> value = LiteralValue(tokens_[i].text);
            if (!value)
                return std::nullopt;
            return std::pair{*value, i};
        }
        const auto at = Match(i, end, {Word(u"CHAR"), Symbol(u"("), {Kind::Number}, Symbol(u")")});
        if (!at || !IsInteger(tokens_[at->at(2)].text))
            return std::nullopt;
        const std::optional<QChar> c = ServerChar(tokens_[at->at(2)].text.toInt());
        if (!c || c->isNull())
            return std::nullopt;
        return std::pair{QString(*c), at->back()};
    }

    // Two or more text operands joined by + -> one literal. A text operand next to any other
    // arithmetic is refused: the server's + concatenates texts and adds numbers, SQLite's always
    // adds, so 'a' + nome would silently become a number.
    std::optional<Rewrite> Concatenation(qsizetype i, qsizetype begin, qsizetype end) const {
        auto operand = TextOperand(i, end);
        if (!operand)
            return std::nullopt;
        QString value;
        int count = 0;
        qsizetype last = i;
        while (operand) {
            value += operand->first;
            last = operand->second;
            ++count;
            const qsizetype plus = Next(last + 1, end);
            operand =
                Is(plus, end, Symbol(u"+")) ? TextOperand(Next(plus + 1, end), end) : std::nullopt;
        }
        const qsizetype before = Previous(i, begin);
        const qsizetype after = Next(last + 1, end);
        const bool operatorBefore = before >= begin && IsOperator(tokens_[before], u"+-*/%&|^~");
        const bool operatorAfter = after < end && IsOperator(tokens_[after], u"+-*/%&|^");
        if (operatorBefore || operatorAfter) {
            const qsizetype from = operatorBefore ? qMax(Previous(before, begin), begin) : i;
            const qsizetype to = operatorAfter ? qMin(Next(after + 1, end), end - 1) : last;
            throw Refused(QStringLiteral("+ or another operator between a text and an operand "
                                         "that is not a text literal (%1)")
                              .arg(Raw(from, to + 1).simplified()));
        }
        if (count < 2)
            return std::nullopt;
        return Rewrite{Quoted(value), last + 1};
    }

    // GETDATE(), @@TRANCOUNT, @@Identity and ISNULL( (the postfix "x ISNULL" is SQLite's own).
    std::optional<Rewrite> Function(qsizetype i, qsizetype end) const {
        if (const auto at = Match(i, end, {Word(u"GETDATE"), Symbol(u"("), Symbol(u")")}))
            return Rewrite{QStringLiteral("datetime('now','localtime')"), at->back() + 1};
        if (Is(i, end, Word(u"@@TRANCOUNT")))
            return Rewrite{QStringLiteral("orla_trancount()"), i + 1};
        if (Is(i, end, Word(u"@@IDENTITY")))
            return Rewrite{QStringLiteral("orla_identity()"), i + 1};
        if (Match(i, end, {Word(u"ISNULL"), Symbol(u"(")}))
            return Rewrite{QStringLiteral("IFNULL"), i + 1};
        return std::nullopt;
    }

    // CAST(x AS money) -> orla_money(x); CAST(x AS datetime) -> orla_datetime(x): functions of
    // the connection that convert as the server does or fail.
    std::optional<Rewrite> Cast(qsizetype i, qsizetype end) const {
        const auto at = Match(i, end, {Word(u"CAST"), Symbol(u"(")});
        if (!at)
            return std::nullopt;
        const qsizetype open = at->back();
        const qsizetype close = Closing(open, end);
        const qsizetype type = Previous(close, open + 1);
        const qsizetype as = Previous(type, open + 1);
        const qsizetype first = Next(open + 1, as);
        if (close == end || as <= open || first == as || !Is(as, end, Word(u"AS")) ||
            !Is(type, end, {Kind::Word}))
            return std::nullopt;
        const QStringView name = tokens_[type].text;
        QString function;
        if (name.compare(u"money", Qt::CaseInsensitive) == 0)
            function = QStringLiteral("orla_money(");
        if (name.compare(u"datetime", Qt::CaseInsensitive) == 0)
            function = QStringLiteral("orla_datetime(");
        // Their narrower ranges and minute rounding are not kept here.
        if (name.compare(u"smallmoney", Qt::CaseInsensitive) == 0 ||
            name.compare(u"smalldatetime", Qt::CaseInsensitive) == 0)
            throw Refused(QStringLiteral("CAST to %1").arg(name));
        if (function.isEmpty())
            return std::nullopt;
        return Rewrite{function + Scope(first, Previous(as, first) + 1) + u')', close + 1};
    }

    // BEGIN/COMMIT/ROLLBACK TRAN or TRANSACTION -> the first word alone.
    std::optional<Rewrite> Transaction(qsizetype i, qsizetype end) const {
        for (QStringView verb : {u"BEGIN", u"COMMIT", u"ROLLBACK"}) {
            for (QStringView noun : {u"TRAN", u"TRANSACTION"}) {
                if (const auto at = Match(i, end, {Word(verb), Word(noun)}))
                    return Rewrite{tokens_[i].text.toString(), at->back() + 1};
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
        const QStringView count = tokens_[at->size() == 1 ? at->front() : at->at(1)].text;
        if (!IsInteger(count))
            return std::nullopt;
        if (CombinesSelects(statement, end))
            throw Refused(
                QStringLiteral("TOP in a select combined with UNION, EXCEPT or "
                               "INTERSECT"));
        qsizetype next = at->back() + 1;
        while (next < end && tokens_[next].kind == Kind::Space)
            ++next;
        limit = count.toString();
        return Rewrite{Raw(i, top), next};
    }

    std::vector<Token> tokens_;
};

}  // namespace

QString TranslateToSqlite(const QString& sql) {
    return Translator(sql).Run();
}

}  // namespace orla
