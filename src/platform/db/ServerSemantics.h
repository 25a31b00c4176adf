// SQL Server's semantics on an SQLite connection, as functions and a collation registered on
// the connection's handle: the statements keep their meaning instead of SQLite's own.
#pragma once

#include <QChar>
#include <QtGlobal>

#include <optional>

struct sqlite3;

namespace orla {

// What the server remembers per connection for @@Identity: the key made by the last INSERT,
// Null when it inserted nothing or when nothing was inserted yet.
struct ServerSession {
    std::optional<qint64> identity;
};

// SQL Server's CHAR(n) for 0..255: the Windows-1252 character with that code; nothing
// (the server's Null) for other codes.
std::optional<QChar> ServerChar(qint64 code);

// Registers on the connection:
//  - the collation NOCASE, replaced by the server's text comparison: letter case ignored,
//    accents kept, trailing blanks ignored, Portuguese order ("Água" among the A's). Text
//    columns declare NOCASE, so the stock sqlite3 shell still opens the file (with SQLite's
//    ASCII-only NOCASE); no index may be ordered by it, since the two orders differ;
//  - like(), with the server's LIKE: the same comparison per character, [set], [^set], ESCAPE;
//  - char(n) as CHAR(n) above, upper() and lower() changing accented letters too;
//  - orla_money(x), orla_datetime(x) and orla_varchar(x, n), for CAST(x AS money), CAST(x AS
//    datetime) and CAST(x AS varchar(n)), each refusing what it cannot convert as the server;
//  - orla_round(x, n[, f[, limit]]) for ROUND, in exact decimals;
//  - orla_add_days(d, n) and orla_sub_days(d, n), for a datetime plus or minus n days;
//  - orla_identity() and orla_trancount(), for @@Identity (from `session`) and @@TRANCOUNT.
// False when SQLite refused one of them.
bool InstallServerSemantics(sqlite3* handle, ServerSession* session);

}  // namespace orla
