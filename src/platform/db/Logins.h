// Server logins of the embedded database: a table of login names with salted
// password hashes, checked when a connection string names a User ID.
#pragma once

#include <QString>

namespace orla {

// Name of the table that holds the logins inside an embedded database file.
inline constexpr const char* kLoginsTable = "orla_logins";

// SQL that creates the logins table when it is missing.
QString LoginsTableDdl();

// A new random salt, as hexadecimal text.
QString NewLoginSalt();

// The stored hash of a password with its salt (hexadecimal SHA-256 of salt and password).
QString LoginHash(const QString& salt, const QString& password);

}  // namespace orla
