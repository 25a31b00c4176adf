// The system writes every statement in SQL Server's dialect; the embedded SQLite backend runs
// them after this rewrite of the few SQL Server constructs they use.
#pragma once

#include <QString>

namespace orla {

// Rewrites the SQL Server constructs the system uses into SQLite's dialect:
//  - CONVERT(DATETIME,'<date>',102) becomes the stored text form 'yyyy-mm-dd hh:mm:ss';
//    a date that does not parse becomes orla_invalid_date('<date>'), a function that is never
//    registered, so SQLite refuses the whole statement ("no such function") instead of
//    writing or comparing a wrong date;
//  - string literals and CHAR(n) joined by + collapse into one literal ('O''Neil');
//  - GETDATE(), @@TRANCOUNT, @@Identity, ISNULL(, CAST(x AS money), CAST(x AS datetime);
//  - SELECT TOP n moves to a LIMIT n at the end of its statement or parenthesised subquery;
//  - BEGIN/COMMIT/ROLLBACK TRAN[SACTION] lose the TRAN word.
// Everything else, including the inside of literals, quoted names and comments, is kept byte
// for byte.
QString TranslateToSqlite(const QString& sql);

}  // namespace orla
