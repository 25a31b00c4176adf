// The system writes every statement in SQL Server's dialect; the embedded SQLite backend runs
// them after this rewrite of the few SQL Server constructs they use.
#pragma once

#include <QString>

namespace orla {

// Rewrites the SQL Server constructs the system uses into SQLite's dialect:
//  - CONVERT(DATETIME,'<date>',102) becomes the stored text form 'yyyy-mm-dd hh:mm:ss';
//  - string literals and CHAR(n) joined by + collapse into one literal ('O''Neil');
//  - GETDATE(), @@TRANCOUNT, @@Identity, ISNULL(, CAST(x AS money), CAST(x AS datetime), the
//    last ones into functions of the connection (see ServerSemantics.h);
//  - SELECT TOP n moves to a LIMIT n at the end of its statement or parenthesised subquery;
//  - BEGIN/COMMIT/ROLLBACK TRAN[SACTION] lose the TRAN word.
// Everything else, including the inside of literals, quoted names and comments, is kept byte
// for byte. What cannot keep the server's meaning throws OrlaError (kCommandFailed) naming it:
// a date that does not parse, a text literal in arithmetic with anything but text literals
// ('a' + nome), TOP in a select combined with UNION, CAST to smallmoney or smalldatetime.
QString TranslateToSqlite(const QString& sql);

}  // namespace orla
