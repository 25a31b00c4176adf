// The operands of a statement in SQL Server's dialect, typed as the server types them, for the
// rewrite that runs it on the embedded database.
#pragma once

#include "platform/db/SqlServerDialect.h"
#include "platform/db/SqlTokens.h"

namespace orla::dialect {

// What the rewrite knows of an operand's value, as the server would type it. Unknown covers
// columns and what comes from them: values stored in the forms the server gives them.
enum class Type { Unknown, Null, Number, Text, Date, Undecided, Invalid };

bool IsOneOf(QStringView word, std::initializer_list<QStringView> names);
// Numbers, Null and values of unknown type: what arithmetic takes.
bool IsPlain(Type type);
bool IsDateLike(Type type);

// An operand: its first and last significant tokens, and what the rewrite knows of it.
struct Operand {
    qsizetype begin = 0;
    qsizetype last = 0;
    Type type = Type::Unknown;
    bool column = false;   // a name alone, compared with the column's own collation
    bool literal = false;  // a string literal alone
};

// Terms joined by + - & | ^, the operators of the server's additive level.
struct Chain : Operand {
    std::vector<Operand> terms;
    std::vector<qsizetype> operators;
};

// The tokens of CAST(<expression> AS <type>[(<size>)]).
struct CastParts {
    qsizetype open;
    qsizetype close;
    qsizetype as;
    qsizetype type;
    std::optional<qsizetype> size;  // the first token inside the size's parentheses
};

// The operands of one statement, with what the database's columns are.
class Operands : public Tokens {
  public:
    Operands(QStringView sql, const ColumnTypes& columns) : Tokens(sql), columns_(columns) {}

    // The chain of terms starting at i, up to the first token that does not continue it.
    std::optional<Chain> ParseChain(qsizetype i, qsizetype end) const;
    // Whether an operand may start at i: not after an arithmetic operator or a dot (it would be
    // the inside of one), nor at the parenthesis of a call or an operator that follows an
    // operand (a binary one, not a sign).
    bool StartsOperand(qsizetype i, qsizetype begin) const;
    // The operand that ends just before the operator at `op`, from the nearest boundary (the
    // start of the group, a comma, a keyword, another comparison) on.
    std::optional<Chain> LeftOperand(qsizetype op, qsizetype begin) const;
    // The last token of a comparison operator starting at i (=, <>, !=, <, <=, >, >=, !<, !>).
    std::optional<qsizetype> ComparisonAt(qsizetype i, qsizetype end) const;
    // A string literal or CHAR(n) with 1 <= n <= 255: its text and its last token.
    std::optional<std::pair<QString, qsizetype>> TextOperand(qsizetype i, qsizetype end) const;
    // The parts of CAST(<expression> AS <type>[(<size>)]) at i.
    std::optional<CastParts> CastAt(qsizetype i, qsizetype end) const;
    // A number written in the statement, with its sign: "-748.58".
    std::optional<QString> WrittenNumber(Range range) const;

  private:
    Type ColumnTypeOf(const Token& name) const;
    // The type of the expression filling the range, Unknown when it is not one.
    Type ExpressionType(Range range) const;
    // The type of a parenthesised group: of its expression, or of a subquery's only column.
    Type GroupType(qsizetype open, qsizetype close) const;
    // The type of the result of the function named at `name`.
    Type CallType(qsizetype name, qsizetype open, qsizetype close) const;
    // The type of CASE ... END: that of all its THEN and ELSE results when they agree.
    Type CaseType(qsizetype at, qsizetype end) const;
    // A primary at i: a literal, a number, NULL, a name, a call, a group or CASE ... END.
    std::optional<Operand> Primary(qsizetype i, qsizetype end) const;
    // Factors joined by * / %, each with signs in front; nothing when no factor starts at i.
    std::optional<Operand> Term(qsizetype i, qsizetype end) const;
    // How the server combines the terms of a chain: texts joined by + make a text, a date plus
    // or minus numbers (or numbers plus a date) a date; any other mix with a text or a date is
    // Invalid, as is + between two operands of unknown types (it adds or concatenates).
    // `broken`: an operator follows the last term with no operand after it.
    Type ChainType(const Chain& chain, bool broken) const;
    // Where an operand before an operator starts: a comma, a parenthesis, a keyword ...
    bool IsBoundary(qsizetype i) const;

    const ColumnTypes& columns_;
};

}  // namespace orla::dialect
