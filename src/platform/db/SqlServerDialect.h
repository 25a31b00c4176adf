// The system writes every statement in SQL Server's dialect; the embedded SQLite backend runs
// them after this rewrite of the few SQL Server constructs they use.
#pragma once

#include <QHash>
#include <QString>

namespace orla {

// What the rewrite knows of the database's columns, by name in lower case: the type of the
// values a name holds in every table that has it, or Undecided when it holds dates in some
// tables only. Names not listed are of unknown type.
enum class ColumnType { Date, Text, Number, Undecided };
using ColumnTypes = QHash<QString, ColumnType>;

// Rewrites the SQL Server constructs the system uses into SQLite's dialect, each with the
// server's meaning:
//  - CONVERT(DATETIME,'<date>',102) becomes the stored text form 'yyyy-mm-dd hh:mm:ss';
//  - texts joined by + become || (string literals and CHAR(n) collapse into one literal; a
//    text column counts as a text);
//  - a date plus or minus a number becomes orla_add_days/orla_sub_days (days, as the server
//    counts them);
//  - a text literal taken as a date (compared with a date, cast to datetime) gets its stored
//    form when it is one the server reads the same under every language ('yyyymmdd[ hh:mm
//    [:ss]]', 'yyyy-mm-ddThh:mm:ss');
//  - comparisons with no column on either side (two literals, function results) compare with
//    the server's collation (COLLATE NOCASE, which the connection replaces), as columns do;
//  - GETDATE(), @@TRANCOUNT, @@Identity, ISNULL (whose second argument takes the type of a
//    CAST in the first), ROUND, CAST(x AS money|datetime|varchar(n)), the last ones into
//    functions of the connection (see ServerSemantics.h);
//  - SELECT TOP n moves to a LIMIT n at the end of its statement or parenthesised subquery;
//  - BEGIN/COMMIT/ROLLBACK TRAN[SACTION] lose the TRAN word.
// Everything else, including the inside of literals, quoted names and comments, is kept byte
// for byte. What cannot keep the server's meaning throws OrlaError (kCommandFailed) naming it:
// a date that does not parse or whose reading depends on the language, + or - between a text
// or a date and an operand it does not combine with as the server does ('a' + valor, a date
// plus a date, a date compared with a number), + between two operands of unknown types (it
// adds or concatenates), ISNULL whose first argument has a type of its own inside it, TOP in a
// select combined with UNION, CAST to a type whose size or form SQLite does not keep
// (smallmoney, smalldatetime, char(n), decimal(p,s), date, bit ...), and an Undecided column
// where its type would matter.
QString TranslateToSqlite(const QString& sql, const ColumnTypes& columns = {});

}  // namespace orla
