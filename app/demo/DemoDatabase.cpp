#include "DemoDatabase.h"

#include "common/Registry.h"
#include "platform/Folders.h"

#include <orla_contas/ConnectionScrambler.h>

#include "platform/db/Logins.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sqlite3.h>

namespace orla {

namespace {

// The files SQLite may keep beside a database.
QStringList DatabaseFiles(const QString& path) {
    return {path, path + QStringLiteral("-journal"), path + QStringLiteral("-wal"),
            path + QStringLiteral("-shm")};
}

bool RemoveDatabaseFiles(const QString& path, QString* failed) {
    for (const QString& file : DatabaseFiles(path)) {
        QFileInfo info(file);
        if (!info.exists() && !info.isSymLink())
            continue;
        if (info.isDir() || !QFile::remove(file)) {
            if (failed)
                *failed = file;
            return false;
        }
    }
    return true;
}

QString SqliteMessage(sqlite3* db, char* message) {
    QString text = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errmsg(db));
    if (message)
        sqlite3_free(message);
    return text;
}

// Runs `sql` (one or more statements); on failure fills *error with `what` and SQLite's message.
bool Exec(sqlite3* db, const QByteArray& sql, const QString& what, QString* error) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    *error = QStringLiteral("%1 failed: %2").arg(what, SqliteMessage(db, message));
    return false;
}

bool ReadScript(const QString& dir, const QString& name, QByteArray* sql, QString* error) {
    const QString file = QDir(dir).filePath(name);
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        *error =
            QStringLiteral("cannot read the script %1 (%2): %3").arg(name, file, f.errorString());
        return false;
    }
    *sql = f.readAll();
    return true;
}

bool StoreLogins(sqlite3* db, QString* error) {
    if (!Exec(db, LoginsTableDdl().toUtf8(), QStringLiteral("creating the logins table"), error))
        return false;

    const QByteArray insert = QStringLiteral("INSERT INTO %1 (login, salt, hash) VALUES (?, ?, ?)")
                                  .arg(QString::fromLatin1(kLoginsTable))
                                  .toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, insert.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        *error = QStringLiteral("storing the logins failed: %1").arg(SqliteMessage(db, nullptr));
        return false;
    }
    bool ok = true;
    for (const DemoLogin& login : DemoLogins()) {
        const QString salt = NewLoginSalt();
        const QByteArray values[] = {login.login.toUtf8(), salt.toUtf8(),
                                     LoginHash(salt, login.password).toUtf8()};
        for (int i = 0; i < 3; ++i)
            sqlite3_bind_text(stmt, i + 1, values[i].constData(), int(values[i].size()),
                              SQLITE_TRANSIENT);
        if (sqlite3_step(stmt) != SQLITE_DONE) {
            *error = QStringLiteral("storing the login \"%1\" failed: %2")
                         .arg(login.login, SqliteMessage(db, nullptr));
            ok = false;
            break;
        }
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
    }
    sqlite3_finalize(stmt);
    return ok;
}

// The templates the demo stores in tbTemplates as general rows, with their exact bytes.
bool StoreTemplates(sqlite3* db, const QString& scripts, QString* error) {
    const QByteArray insert =
        "INSERT INTO tbTemplates (filename, descrit, code, group_code, user_code, predef) "
        "VALUES (?, ?, ?, NULL, NULL, 1)";
    const QList<QPair<QString, QString>> templates{
        {QStringLiteral("Extrato_Conta.doc"), QStringLiteral("Extrato de conta")},
        {QStringLiteral("logo.jpg"), QStringLiteral("Logótipo da empresa")}};
    for (const auto& [name, descrit] : templates) {
        const QString file = QDir(DemoTemplatesDir(scripts)).filePath(name);
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read the template %1: %2").arg(file, f.errorString());
            return false;
        }
        const QByteArray code = f.readAll();
        const QByteArray values[] = {name.toUtf8(), descrit.toUtf8()};
        sqlite3_stmt* stmt = nullptr;
        bool ok = sqlite3_prepare_v2(db, insert.constData(), -1, &stmt, nullptr) == SQLITE_OK;
        if (ok) {
            for (int i = 0; i < 2; ++i)
                sqlite3_bind_text(stmt, i + 1, values[i].constData(), int(values[i].size()),
                                  SQLITE_TRANSIENT);
            sqlite3_bind_blob(stmt, 3, code.constData(), int(code.size()), SQLITE_TRANSIENT);
            ok = sqlite3_step(stmt) == SQLITE_DONE;
        }
        if (!ok)
            *error = QStringLiteral("storing the template \"%1\" failed: %2")
                         .arg(name, SqliteMessage(db, nullptr));
        sqlite3_finalize(stmt);
        if (!ok)
            return false;
    }
    return true;
}

}  // namespace

QList<DemoLogin> DemoLogins() {
    return {
        {QStringLiteral("orla"), QStringLiteral("orla-demo")},
        {QStringLiteral("ana"), QStringLiteral("ana-2024")},
        {QStringLiteral("rui"), QStringLiteral("rui-2024")},
        {QStringLiteral("joao"), QStringLiteral("joao-2024")},
        {QStringLiteral("marta"), QStringLiteral("marta-2024")},
    };
}

QString DemoScriptsDir() {
    const QString fromEnvironment = qEnvironmentVariable("ORLA_DEMO_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
#ifdef ORLA_INSTALLED_DEMO_DIR
    // An installed program's scripts sit in its data folder, share/orla-contas beside bin/.
    if (QCoreApplication::instance()) {
        const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                                  QStringLiteral("/" ORLA_INSTALLED_DEMO_DIR));
        if (QFileInfo::exists(installed + QStringLiteral("/schema.sql")))
            return installed;
    }
#endif
#ifdef ORLA_DEMO_DIR
    return QStringLiteral(ORLA_DEMO_DIR);
#else
    return QString();
#endif
}

QString DemoTemplatesDir(const QString& scripts) {
    return QDir(scripts).absoluteFilePath(QStringLiteral("templates"));
}

bool CreateDemoDatabase(const QString& path, QString* error) {
    QString localError;
    QString* err = error ? error : &localError;
    err->clear();

    if (path.trimmed().isEmpty()) {
        *err = QStringLiteral("demo database: no path given");
        return false;
    }

    const QString scripts = DemoScriptsDir();
    if (scripts.isEmpty()) {
        *err = QStringLiteral("demo database: the scripts folder is not known (set ORLA_DEMO_DIR)");
        return false;
    }
    QByteArray schema, seed;
    if (!ReadScript(scripts, QStringLiteral("schema.sql"), &schema, err) ||
        !ReadScript(scripts, QStringLiteral("seed.sql"), &seed, err)) {
        err->prepend(QStringLiteral("demo database: "));
        return false;
    }

    QString failed;
    if (!RemoveDatabaseFiles(path, &failed)) {
        *err = QStringLiteral("demo database: cannot remove the existing file %1").arg(failed);
        return false;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        *err = QStringLiteral("demo database: cannot create the folder %1").arg(folder);
        return false;
    }

    sqlite3* db = nullptr;
    const QByteArray nativePath = QFile::encodeName(path);
    if (sqlite3_open_v2(nativePath.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        *err = QStringLiteral("demo database: cannot create %1: %2")
                   .arg(path, db ? QString::fromUtf8(sqlite3_errmsg(db))
                                 : QStringLiteral("out of memory"));
        sqlite3_close(db);
        RemoveDatabaseFiles(path, nullptr);
        return false;
    }

    const QString schemaName = QDir(scripts).filePath(QStringLiteral("schema.sql"));
    const QString seedName = QDir(scripts).filePath(QStringLiteral("seed.sql"));
    bool ok = Exec(db, "BEGIN IMMEDIATE", QStringLiteral("starting the transaction"), err) &&
              Exec(db, schema, QStringLiteral("the script schema.sql (%1)").arg(schemaName), err) &&
              Exec(db, seed, QStringLiteral("the script seed.sql (%1)").arg(seedName), err) &&
              StoreTemplates(db, scripts, err) && StoreLogins(db, err) &&
              Exec(db, "COMMIT", QStringLiteral("committing the transaction"), err);
    if (!ok)
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);

    if (sqlite3_close(db) != SQLITE_OK && ok) {
        *err = QStringLiteral("closing the database failed: %1")
                   .arg(QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_close_v2(db);
        ok = false;
    }
    if (!ok) {
        err->prepend(QStringLiteral("demo database %1: ").arg(path));
        RemoveDatabaseFiles(path, nullptr);
    }
    return ok;
}

bool WriteDemoSettings(const QString& path, QString* error) {
    const QString out = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Shared\\OUT");
    const QString program = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Contabilidade");
    const DemoLogin database = DemoLogins().first();
    const QList<QPair<QString, QString>> values{
        {QStringLiteral("dtSecurityInfo"), QStringLiteral("False")},
        {QStringLiteral("dtUser"), database.login},
        {QStringLiteral("dtPassword"), ConnectionScrambler::Scramble(database.password)},
        {QStringLiteral("dtInitialCatalog"), QStringLiteral("Orla")},
        {QStringLiteral("dtDataSource"), path},
        {QStringLiteral("Conta_ID"), QStringLiteral("1")},
        {QStringLiteral("Templates"), DemoTemplatesDir(DemoScriptsDir())}};
    bool stored =
        DefinirValorString(out, QStringLiteral("DataServer"), QStringLiteral("Contabilidade"));
    for (const auto& [name, value] : values)
        stored = stored && DefinirValorString(program, name, value);
    if (!stored && error)
        *error =
            QStringLiteral("the settings could not be written under %1").arg(CommonAppDataPath());
    return stored;
}

}  // namespace orla
