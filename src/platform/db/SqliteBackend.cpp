#include "platform/db/SqliteBackend.h"

#include "platform/db/Logins.h"
#include "platform/db/ServerSemantics.h"
#include "platform/db/SqlServerDialect.h"

#include <orla_contas/SecretMemory.h>

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

namespace orla {
namespace {

OrlaError ServerNotFound() {
    return {err::kProviderFailure,
            QStringLiteral("[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does not exist or "
                           "access denied.")};
}

OrlaError LoginFailed(const QString& user) {
    return {err::kLoginFailed, QStringLiteral("Login failed for user '%1'.").arg(user)};
}

OrlaError NotServerSemantics(const QString& detail) {
    return {err::kProviderFailure,
            QStringLiteral("The database file cannot be used with the server's text comparison: "
                           "%1.")
                .arg(detail)};
}

// An index ordered by NOCASE would be ordered differently here (the server's comparison) and in
// the stock sqlite3 shell (SQLite's own), so lookups through it could miss rows: such a file is
// refused rather than read wrongly.
std::optional<QString> IndexOrderedWithoutCase(QSqlDatabase& db) {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral(
            "SELECT m.name || '.' || ii.name FROM sqlite_master m, pragma_index_list(m.name) il, "
            "pragma_index_xinfo(il.name) ii WHERE m.type = 'table' AND ii.key = 1 AND "
            "upper(ii.coll) = 'NOCASE' LIMIT 1")))
        return query.lastError().text();
    if (query.next())
        return QStringLiteral("an index is ordered by NOCASE (%1)").arg(query.value(0).toString());
    return std::nullopt;
}

bool IsInsert(const QString& sql) {
    static const QRegularExpression insert(
        QStringLiteral(R"(^(\s|--[^\n]*(\n|$)|/\*.*?\*/)*INSERT\b)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return insert.match(sql).hasMatch();
}

sqlite3* NativeHandle(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.data());
}

}  // namespace

QString SqliteBackend::Translate(const QString& sql) const {
    return TranslateToSqlite(sql);
}

QSqlDatabase SqliteBackend::Configure(const QString& name, int timeoutSeconds) const {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(Settings().EmbeddedPath());
    const int busyMs = qBound(1, timeoutSeconds, 60) * 1000;
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyMs));
    return db;
}

void SqliteBackend::Connect(QSqlDatabase& db) const {
    // A missing file is a server that cannot be reached: never create one.
    const QFileInfo file(Settings().EmbeddedPath());
    if (!file.isFile() || !file.isReadable())
        throw ServerNotFound();
    if (!db.open())
        throw ServerNotFound();
    QSqlQuery check(db);
    if (!check.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        db.close();
        throw ServerNotFound();
    }
    check.finish();
    try {
        sqlite3* handle = NativeHandle(db);
        if (!handle || !InstallServerSemantics(handle, &session_))
            throw NotServerSemantics(QStringLiteral("its functions could not be registered"));
        if (const std::optional<QString> index = IndexOrderedWithoutCase(db))
            throw NotServerSemantics(*index);
        CheckLogin(db);
        // Readers and a writer do not wait for each other; a file that cannot change its
        // journal (read-only) keeps the one it has.
        QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    } catch (const OrlaError&) {
        db.close();
        throw;
    }
}

void SqliteBackend::Executed(const QString& sql) {
    // The server's @@Identity: set by every INSERT, to Null when it inserted nothing.
    if (!IsInsert(sql))
        return;
    sqlite3* handle = NativeHandle(Database());
    if (handle && sqlite3_changes(handle) > 0)
        session_.identity = sqlite3_last_insert_rowid(handle);
    else
        session_.identity.reset();
}

void SqliteBackend::CheckLogin(QSqlDatabase& db) const {
    // A connection string without a login is a trusted local connection.
    if (!Settings().Has(QStringLiteral("User ID")))
        return;
    const QString user = Settings().UserId();
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT salt, hash FROM %1 WHERE login = ?")
                      .arg(QLatin1String(kLoginsTable)));
    query.addBindValue(user);
    // Compared as the server compares names, so the login and the rights agree on who the
    // user is; a name that matches two logins decides nothing and is refused.
    if (!query.exec() || !query.next())
        throw LoginFailed(user);
    const QString salt = query.value(0).toString();
    const QString hash = query.value(1).toString();
    QString password = Settings().Password();
    const bool proved = !query.next() && LoginHash(salt, password) == hash;
    Wipe(password);
    if (!proved)
        throw LoginFailed(user);
}

}  // namespace orla
