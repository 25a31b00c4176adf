#include "platform/db/SqlOperands.h"

#include "platform/db/ServerSemantics.h"

#include <QStringList>

#include <algorithm>

namespace orla::dialect {
namespace {

// Words that are never an operand or part of one.
bool IsKeyword(QStringView word) {
    static const QStringList keywords =
        QStringLiteral(
            "ALL AND AS ASC BEGIN BETWEEN BY CASE COMMIT CROSS DELETE DESC DISTINCT "
            "ELSE END ESCAPE EXCEPT EXISTS FROM FULL GROUP HAVING IN INNER INSERT "
            "INTERSECT INTO IS JOIN LIKE NOT ON OR ORDER OUTER ROLLBACK SELECT SET THEN "
            "TOP UNION UPDATE VALUES WHEN WHERE WITH")
            .split(u' ');
    return keywords.contains(word, Qt::CaseInsensitive);
}

// The type of values of a type named in CAST or CONVERT.
Type TypeNamed(QStringView name) {
    if (IsOneOf(name, {u"money", u"smallmoney", u"int", u"bigint", u"smallint", u"tinyint",
                       u"decimal", u"numeric", u"float", u"real", u"bit"}))
        return Type::Number;
    if (IsOneOf(name, {u"datetime", u"smalldatetime", u"date", u"datetime2"}))
        return Type::Date;
    if (IsOneOf(name, {u"char", u"varchar", u"nchar", u"nvarchar", u"text", u"ntext"}))
        return Type::Text;
    return Type::Unknown;
}

// The type of results that must agree (CASE branches, COALESCE arguments); Null agrees with
// any.
void Agree(std::optional<Type>& common, Type type) {
    if (type != Type::Null)
        common = !common || *common == type ? type : Type::Unknown;
}

// -x, +x, ~x: numbers only.
Type Signed(Type type) {
    return IsPlain(type) ? type : Type::Invalid;
}

// x * y, x / y, x % y: numbers only.
Type Product(Type a, Type b) {
    if (!IsPlain(a) || !IsPlain(b))
        return Type::Invalid;
    return a == Type::Unknown || b == Type::Unknown ? Type::Unknown : Type::Number;
}

}  // namespace

bool IsOneOf(QStringView word, std::initializer_list<QStringView> names) {
    return std::any_of(names.begin(), names.end(), [&](QStringView name) {
        return word.compare(name, Qt::CaseInsensitive) == 0;
    });
}

bool IsPlain(Type type) {
    return type == Type::Number || type == Type::Unknown || type == Type::Null;
}

bool IsDateLike(Type type) {
    return type == Type::Date || type == Type::Undecided;
}

std::optional<Chain> Operands::ParseChain(qsizetype i, qsizetype end) const {
    const std::optional<Operand> first = Term(i, end);
    if (!first)
        return std::nullopt;
    Chain chain;
    chain.terms.push_back(*first);
    bool broken = false;
    for (;;) {
        const qsizetype op = Next(chain.terms.back().last + 1, end);
        if (!IsSymbolIn(op, end, u"+-&|^"))
            break;
        const std::optional<Operand> term = Term(Next(op + 1, end), end);
        if (!term) {
            broken = true;
            break;
        }
        chain.operators.push_back(op);
        chain.terms.push_back(*term);
    }
    static_cast<Operand&>(chain) = chain.terms.size() == 1 ? *first : Operand{};
    chain.begin = i;
    chain.last = chain.terms.back().last;
    chain.type = ChainType(chain, broken);
    return chain;
}

bool Operands::StartsOperand(qsizetype i, qsizetype begin) const {
    const qsizetype before = Previous(i, begin);
    if (before < begin)
        return true;
    const Token& token = At(before);
    if (IsOperator(token, u"+-*/%&|^~."))
        return false;
    const bool name =
        (token.kind == Kind::Word && !IsKeyword(token.text)) || token.kind == Kind::QuotedName;
    const bool operandEnd = name || token.kind == Kind::Literal || token.kind == Kind::Number ||
                            IsOperator(token, u")") ||
                            token.text.compare(u"END", Qt::CaseInsensitive) == 0;
    return !(name && At(i).text == u"(") && !(operandEnd && IsOperator(At(i), u"+-~"));
}

std::optional<Chain> Operands::LeftOperand(qsizetype op, qsizetype begin) const {
    qsizetype start = op;
    for (qsizetype i = Previous(op, begin); i >= begin; i = Previous(i, begin)) {
        if (Is(i, op, Symbol(u")")))
            i = Opening(i, begin, Symbol(u"("), Symbol(u")"));
        else if (Is(i, op, Word(u"END")))
            i = Opening(i, begin, Word(u"CASE"), Word(u"END"));
        else if (IsBoundary(i))
            break;
        if (i < begin)
            return std::nullopt;
        start = i;
    }
    const std::optional<Chain> chain = ParseChain(start, op);
    if (!chain || chain->last != Previous(op, begin))
        return std::nullopt;
    return chain;
}

std::optional<qsizetype> Operands::ComparisonAt(qsizetype i, qsizetype end) const {
    if (!IsSymbolIn(i, end, u"=<>!"))
        return std::nullopt;
    const QStringView first = At(i).text;
    const QStringView second =
        i + 1 < end && At(i + 1).kind == Kind::Symbol ? At(i + 1).text : QStringView();
    const bool pair = (first == u"<" && (second == u">" || second == u"=")) ||
                      (first == u">" && second == u"=") ||
                      (first == u"!" && (second == u"=" || second == u"<" || second == u">"));
    if (first == u"!" && !pair)
        return std::nullopt;
    return pair ? i + 1 : i;
}

std::optional<std::pair<QString, qsizetype>> Operands::TextOperand(qsizetype i,
                                                                   qsizetype end) const {
    if (Is(i, end, {Kind::Literal})) {
        const std::optional<QString> value = LiteralValue(At(i).text);
        if (!value)
            return std::nullopt;
        return std::pair{*value, i};
    }
    const auto at = Match(i, end, {Word(u"CHAR"), Symbol(u"("), {Kind::Number}, Symbol(u")")});
    if (!at || !IsInteger(At(at->at(2)).text))
        return std::nullopt;
    const std::optional<QChar> c = ServerChar(At(at->at(2)).text.toInt());
    if (!c || c->isNull())
        return std::nullopt;
    return std::pair{QString(*c), at->back()};
}

std::optional<CastParts> Operands::CastAt(qsizetype i, qsizetype end) const {
    const auto at = Match(i, end, {Word(u"CAST"), Symbol(u"(")});
    if (!at)
        return std::nullopt;
    CastParts cast{at->back(), Closing(at->back(), end), end, end, std::nullopt};
    for (qsizetype k = cast.open + 1; k < cast.close; ++k) {
        if (Is(k, cast.close, Symbol(u"(")))
            k = Closing(k, cast.close);
        else if (Is(k, cast.close, Word(u"AS")))
            cast.as = k;
    }
    if (cast.close == end || cast.as == end || Next(cast.open + 1, cast.as) == cast.as)
        return std::nullopt;
    cast.type = Next(cast.as + 1, cast.close);
    if (!Is(cast.type, cast.close, {Kind::Word}))
        return std::nullopt;
    qsizetype after = Next(cast.type + 1, cast.close);
    if (Is(after, cast.close, Symbol(u"("))) {
        cast.size = Next(after + 1, cast.close);
        after = Next(Closing(after, cast.close) + 1, cast.close);
    }
    return after == cast.close ? std::optional(cast) : std::nullopt;
}

std::optional<QString> Operands::WrittenNumber(Range range) const {
    const auto [first, end] = Trimmed(range);
    const qsizetype number = IsSymbolIn(first, end, u"-+") ? Next(first + 1, end) : first;
    if (!Is(number, end, {Kind::Number}) || number != end - 1)
        return std::nullopt;
    return (number == first ? QString() : At(first).text.toString()) + At(number).text.toString();
}

Type Operands::ColumnTypeOf(const Token& name) const {
    QString text = name.text.toString().toLower();
    if (name.kind == Kind::QuotedName)
        text = text.mid(1, text.size() - 2);
    const auto found = columns_.constFind(text);
    if (found == columns_.constEnd())
        return Type::Unknown;
    switch (*found) {
        case ColumnType::Date:
            return Type::Date;
        case ColumnType::Text:
            return Type::Text;
        case ColumnType::Number:
            return Type::Number;
        case ColumnType::Undecided:
            break;
    }
    return Type::Undecided;
}

Type Operands::ExpressionType(Range range) const {
    const auto [first, end] = Trimmed(range);
    const std::optional<Chain> chain = ParseChain(first, end);
    return chain && chain->last == end - 1 ? chain->type : Type::Unknown;
}

Type Operands::GroupType(qsizetype open, qsizetype close) const {
    qsizetype first = Next(open + 1, close);
    if (!Is(first, close, Word(u"SELECT")))
        return ExpressionType({open + 1, close});
    first = Next(first + 1, close);
    if (Is(first, close, Word(u"DISTINCT")) || Is(first, close, Word(u"ALL")))
        first = Next(first + 1, close);
    if (Is(first, close, Word(u"TOP"))) {
        const qsizetype count = Next(first + 1, close);
        first = Next((Is(count, close, Symbol(u"(")) ? Closing(count, close) : count) + 1, close);
    }
    const std::optional<Chain> chain = ParseChain(first, close);
    if (!chain || Is(Next(chain->last + 1, close), close, Symbol(u",")))
        return Type::Unknown;
    return chain->type;
}

Type Operands::CallType(qsizetype name, qsizetype open, qsizetype close) const {
    const QStringView function = At(name).text;
    const std::vector<Range> args = Items(open, close);
    if (IsOneOf(function, {u"UPPER", u"LOWER", u"LTRIM", u"RTRIM", u"LEFT", u"RIGHT", u"SUBSTRING",
                           u"REPLACE", u"REPLICATE", u"SPACE", u"CHAR", u"NCHAR", u"STR",
                           u"REVERSE", u"STUFF"}))
        return Type::Text;
    if (IsOneOf(function, {u"LEN", u"DATALENGTH", u"CHARINDEX", u"ROUND", u"ABS", u"FLOOR",
                           u"CEILING", u"COUNT", u"SUM", u"AVG", u"DATEDIFF", u"YEAR", u"MONTH",
                           u"DAY", u"ASCII", u"UNICODE", u"SIGN"}))
        return Type::Number;
    if (IsOneOf(function, {u"GETDATE"}))
        return Type::Date;
    if (IsOneOf(function, {u"CAST"})) {
        const std::optional<CastParts> cast = CastAt(name, close + 1);
        return cast ? TypeNamed(At(cast->type).text) : Type::Unknown;
    }
    if (IsOneOf(function, {u"CONVERT"})) {
        const qsizetype type = Next(open + 1, close);
        return Is(type, close, {Kind::Word}) ? TypeNamed(At(type).text) : Type::Unknown;
    }
    if (IsOneOf(function, {u"COALESCE"})) {
        std::optional<Type> common;
        for (const Range& arg : args)
            Agree(common, ExpressionType(arg));
        return common.value_or(Type::Null);
    }
    if (IsOneOf(function, {u"ISNULL", u"MAX", u"MIN"})) {
        const Type first = ExpressionType(args.front());
        return first == Type::Null && args.size() == 2 ? ExpressionType(args.back()) : first;
    }
    return Type::Unknown;
}

Type Operands::CaseType(qsizetype at, qsizetype end) const {
    std::optional<Type> common;
    for (qsizetype k = Next(at + 1, end); k < end; k = Next(k + 1, end)) {
        if (Is(k, end, Symbol(u"(")))
            k = Closing(k, end);
        else if (Is(k, end, Word(u"CASE")))
            k = Closing(k, end, Word(u"CASE"), Word(u"END"));
        else if (Is(k, end, Word(u"THEN")) || Is(k, end, Word(u"ELSE"))) {
            const std::optional<Chain> result = ParseChain(Next(k + 1, end), end);
            Agree(common, result ? result->type : Type::Unknown);
        }
    }
    return common.value_or(Type::Null);
}

std::optional<Operand> Operands::Primary(qsizetype i, qsizetype end) const {
    if (i >= end)
        return std::nullopt;
    Operand operand{i, i};
    const Token& token = At(i);
    if (token.kind == Kind::Literal) {
        operand.type = Type::Text;
        operand.literal = true;
        return operand;
    }
    if (token.kind == Kind::Number) {
        operand.type = Type::Number;
        return operand;
    }
    if (Is(i, end, Symbol(u"("))) {
        operand.last = Closing(i, end);
        operand.type = GroupType(i, operand.last);
        return operand.last < end ? std::optional(operand) : std::nullopt;
    }
    if (Is(i, end, Word(u"NULL"))) {
        operand.type = Type::Null;
        return operand;
    }
    if (Is(i, end, Word(u"CASE"))) {
        operand.last = Closing(i, end, Word(u"CASE"), Word(u"END"));
        if (operand.last == end)
            return std::nullopt;
        operand.type = CaseType(i, operand.last);
        return operand;
    }
    if ((token.kind != Kind::Word && token.kind != Kind::QuotedName) ||
        (token.kind == Kind::Word && IsKeyword(token.text)))
        return std::nullopt;
    qsizetype last = i;
    for (qsizetype dot = Next(i + 1, end); Is(dot, end, Symbol(u".")); dot = Next(last + 1, end)) {
        const qsizetype part = Next(dot + 1, end);
        if (!Is(part, end, {Kind::Word}) && !Is(part, end, {Kind::QuotedName}))
            break;
        last = part;
    }
    const qsizetype open = Next(last + 1, end);
    if (Is(open, end, Symbol(u"("))) {
        operand.last = Closing(open, end);
        if (operand.last == end)
            return std::nullopt;
        operand.type = last == i ? CallType(i, open, operand.last) : Type::Unknown;
        return operand;
    }
    operand.last = last;
    operand.column = true;
    operand.type = ColumnTypeOf(At(last));
    return operand;
}

std::optional<Operand> Operands::Term(qsizetype i, qsizetype end) const {
    std::optional<Operand> term;
    for (qsizetype at = i;;) {
        bool sign = false;
        while (IsSymbolIn(at, end, u"-+~")) {
            sign = true;
            at = Next(at + 1, end);
        }
        std::optional<Operand> factor = Primary(at, end);
        if (!factor)
            return term;
        if (sign)
            *factor = {factor->begin, factor->last, Signed(factor->type)};
        if (!term) {
            term = factor;
            term->begin = i;
        } else {
            *term = {term->begin, factor->last, Product(term->type, factor->type)};
        }
        const qsizetype op = Next(factor->last + 1, end);
        if (!IsSymbolIn(op, end, u"*/%"))
            return term;
        at = Next(op + 1, end);
    }
}

Type Operands::ChainType(const Chain& chain, bool broken) const {
    const auto has = [&](auto test) {
        return std::any_of(chain.terms.begin(), chain.terms.end(),
                           [&](const Operand& term) { return test(term.type); });
    };
    const auto onlyPlus = std::all_of(chain.operators.begin(), chain.operators.end(),
                                      [&](qsizetype op) { return At(op).text == u"+"; });
    if (has([](Type t) { return t == Type::Invalid; }))
        return Type::Invalid;
    if (has([](Type t) { return t == Type::Text; })) {
        const bool texts = !has([](Type t) { return t != Type::Text && t != Type::Null; });
        return texts && onlyPlus && !broken ? Type::Text : Type::Invalid;
    }
    if (chain.terms.size() == 1)
        return broken && IsDateLike(chain.terms[0].type) ? Type::Invalid : chain.terms[0].type;
    if (has(IsDateLike)) {
        Type sum = broken ? Type::Invalid : chain.terms[0].type;
        for (size_t k = 1; k < chain.terms.size() && sum != Type::Invalid; ++k) {
            const Type term = chain.terms[k].type;
            const QStringView op = At(chain.operators[k - 1]).text;
            if (sum == Type::Date && IsPlain(term) && (op == u"+" || op == u"-"))
                continue;
            if (IsPlain(sum) && term == Type::Date && op == u"+")
                sum = Type::Date;
            else
                sum = IsPlain(sum) && IsPlain(term) ? Type::Unknown : Type::Invalid;
        }
        return sum;
    }
    // Numbers, and operands of unknown types: + between two of the latter may add or
    // concatenate on the server.
    if (broken)
        return Type::Unknown;
    Type sum = chain.terms[0].type;
    for (size_t k = 1; k < chain.terms.size(); ++k) {
        const bool unknowns = sum == Type::Unknown && chain.terms[k].type == Type::Unknown;
        if (unknowns && At(chain.operators[k - 1]).text == u"+")
            return Type::Invalid;
        sum = unknowns ? Type::Unknown : Type::Number;
    }
    return sum;
}

bool Operands::IsBoundary(qsizetype i) const {
    const Token& token = At(i);
    return IsOperator(token, u",;(=<>!") || (token.kind == Kind::Word && IsKeyword(token.text) &&
                                             token.text.compare(u"END", Qt::CaseInsensitive) != 0);
}

}  // namespace orla::dialect
