// The demo database: an SQLite file made from the scripts schema.sql and seed.sql
// (every table and view the module reads, with Portuguese demo data dated relative to
// the day it is made), plus the logins table holding the demo logins as salted hashes.
#pragma once

#include <QList>
#include <QString>

namespace orla {

// A login the demo database accepts: the database login and the application users.
struct DemoLogin {
    QString login, password;
};

// The logins stored in every demo database: the database login "orla" first, then the
// application users ("ana", "rui", "joao", "marta").
QList<DemoLogin> DemoLogins();

// The folder holding schema.sql and seed.sql: the environment variable ORLA_DEMO_DIR
// when set and not empty, else an installed program's data folder (share/orla-contas
// beside its bin/) when it holds them, else the folder compiled in (the repository's
// app/demo).
QString DemoScriptsDir();

// The folder of the demo's report templates and logo: "templates" in the scripts folder.
QString DemoTemplatesDir(const QString& scripts);

// Makes the demo database at `path`: removes any file already there, creates the folder,
// runs schema.sql and seed.sql, stores "Extrato_Conta.doc" and "logo.jpg" of the templates
// folder in tbTemplates (general rows, predef 1), then creates the logins table and stores
// DemoLogins() with new salts, all in one transaction. On failure removes the half-made
// file, sets *error (when given) to a message naming the failing step, script or template
// and SQLite's message, and returns false.
bool CreateDemoDatabase(const QString& path, QString* error);

// Writes the settings a host leaves for Login: the accounting program's key under
// "Shared\OUT" and, under it, the database login, the location of the demo database at
// `path` and the demo's templates folder ("Templates"). False, with *error set, when a
// value could not be stored.
bool WriteDemoSettings(const QString& path, QString* error);

}  // namespace orla
