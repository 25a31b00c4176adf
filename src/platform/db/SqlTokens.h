// The tokens of a statement in SQL Server's dialect, as the rewrite for the embedded database
// reads them: significant tokens, patterns, brackets and lists.
#pragma once

#include <QString>
#include <QStringView>

#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

namespace orla::dialect {

enum class Kind { Space, Comment, Literal, QuotedName, Word, Number, Symbol };

struct Token {
    Kind kind;
    QStringView text;
};

// Splits the text into tokens that, joined, give the text back unchanged.
std::vector<Token> Tokenize(QStringView sql);
// The value of a complete single-quoted literal, or nothing for an unterminated one.
std::optional<QString> LiteralValue(QStringView literal);
// The value as a single-quoted literal.
QString Quoted(QString value);
bool IsOperator(const Token& token, QStringView operators);
bool IsInteger(QStringView text);

// One step of a token pattern: a token of this kind, with this text (case-insensitive) when
// the text is not empty.
struct Expect {
    Kind kind;
    QStringView text = {};
};

Expect Word(QStringView text);
Expect Symbol(QStringView text);

using Range = std::pair<qsizetype, qsizetype>;  // tokens [first, second)

// The tokens of one statement, looked at by index.
class Tokens {
  public:
    explicit Tokens(QStringView sql) : tokens_(Tokenize(sql)) {}

    qsizetype Size() const { return qsizetype(tokens_.size()); }
    const Token& At(qsizetype i) const { return tokens_[i]; }
    // Neither blanks nor a comment.
    bool Significant(qsizetype i) const {
        return tokens_[i].kind != Kind::Space && tokens_[i].kind != Kind::Comment;
    }

    // The first significant token at or after i, or `end`.
    qsizetype Next(qsizetype i, qsizetype end) const;
    // The last significant token before i, or begin - 1.
    qsizetype Previous(qsizetype i, qsizetype begin) const;
    // Whether the token at i, before `end`, is the one expected / a symbol among `symbols`.
    bool Is(qsizetype i, qsizetype end, const Expect& expect) const;
    bool IsSymbolIn(qsizetype i, qsizetype end, QStringView symbols) const;
    // The indexes of the significant tokens, from i on, that follow the pattern.
    std::optional<std::vector<qsizetype>> Match(qsizetype i, qsizetype end,
                                                std::initializer_list<Expect> pattern) const;
    // The token that closes the one opening at `open` (a parenthesis, CASE ... END), or `end`.
    qsizetype Closing(qsizetype open, qsizetype end, const Expect& opens = Symbol(u"("),
                      const Expect& closes = Symbol(u")")) const;
    // The token that opens the one closing at `close`, or begin - 1.
    qsizetype Opening(qsizetype close, qsizetype begin, const Expect& opens,
                      const Expect& closes) const;
    // The tokens from begin up to, not including, end, as written.
    QString Raw(qsizetype begin, qsizetype end) const;
    // The items between the parentheses at open and close, split at commas of their level.
    std::vector<Range> Items(qsizetype open, qsizetype close) const;
    // The range without the blanks and comments around it.
    Range Trimmed(Range range) const;

  private:
    std::vector<Token> tokens_;
};

}  // namespace orla::dialect
