// Server logins of the embedded database: a table of login names with salted
// password hashes, checked when a connection string names a User ID.
#pragma once

#include <QString>

namespace orla {

// Name of the table that holds the logins inside an embedded database file.
inline constexpr const char* kLoginsTable = "orla_logins";

// SQL that creates the logins table when it is missing. Logins compare as the server compares
// names (NOCASE on our connections) and carry no index, which that comparison forbids; a name
// matching two logins is refused at the check.
QString LoginsTableDdl();

// A new random salt, as hexadecimal text.
QString NewLoginSalt();

// The stored hash of a password with its salt (hexadecimal SHA-256 of salt and password).
QString LoginHash(const QString& salt, const QString& password);

}  // namespace orla
