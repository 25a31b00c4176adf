#include "platform/db/SqlTokens.h"

#include <algorithm>

namespace orla::dialect {
namespace {

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

}  // namespace

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

bool IsOperator(const Token& token, QStringView operators) {
    return token.kind == Kind::Symbol && operators.contains(token.text);
}

bool IsInteger(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

Expect Word(QStringView text) {
    return {Kind::Word, text};
}

Expect Symbol(QStringView text) {
    return {Kind::Symbol, text};
}

qsizetype Tokens::Next(qsizetype i, qsizetype end) const {
    while (i < end && !Significant(i))
        ++i;
    return i;
}

qsizetype Tokens::Previous(qsizetype i, qsizetype begin) const {
    --i;
    while (i >= begin && !Significant(i))
        --i;
    return i;
}

bool Tokens::Is(qsizetype i, qsizetype end, const Expect& expect) const {
    return i >= 0 && i < end && tokens_[i].kind == expect.kind &&
           (expect.text.isEmpty() ||
            tokens_[i].text.compare(expect.text, Qt::CaseInsensitive) == 0);
}

bool Tokens::IsSymbolIn(qsizetype i, qsizetype end, QStringView symbols) const {
    return i >= 0 && i < end && IsOperator(tokens_[i], symbols);
}

std::optional<std::vector<qsizetype>> Tokens::Match(qsizetype i, qsizetype end,
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

qsizetype Tokens::Closing(qsizetype open, qsizetype end, const Expect& opens,
                          const Expect& closes) const {
    int depth = 0;
    for (qsizetype i = open; i < end; ++i) {
        if (Is(i, end, opens))
            ++depth;
        if (Is(i, end, closes) && --depth == 0)
            return i;
    }
    return end;
}

qsizetype Tokens::Opening(qsizetype close, qsizetype begin, const Expect& opens,
                          const Expect& closes) const {
    int depth = 0;
    for (qsizetype i = close; i >= begin; --i) {
        if (Is(i, close + 1, closes))
            ++depth;
        if (Is(i, close + 1, opens) && --depth == 0)
            return i;
    }
    return begin - 1;
}

QString Tokens::Raw(qsizetype begin, qsizetype end) const {
    QString text;
    for (qsizetype i = begin; i < end; ++i)
        text += tokens_[i].text;
    return text;
}

std::vector<Range> Tokens::Items(qsizetype open, qsizetype close) const {
    std::vector<Range> items;
    qsizetype from = open + 1;
    for (qsizetype i = open + 1; i < close; ++i) {
        if (Is(i, close, Symbol(u"(")))
            i = Closing(i, close);
        else if (Is(i, close, Symbol(u","))) {
            items.emplace_back(from, i);
            from = i + 1;
        }
    }
    items.emplace_back(from, close);
    return items;
}

Range Tokens::Trimmed(Range range) const {
    return {Next(range.first, range.second), Previous(range.second, range.first) + 1};
}

}  // namespace orla::dialect
