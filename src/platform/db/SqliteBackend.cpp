#include "platform/db/SqliteBackend.h"

#include "platform/db/Logins.h"
#include "platform/db/SqlServerDialect.h"

#include <QFileInfo>
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

// @@TRANCOUNT of SQL Server: 1 while a transaction is open on this connection.
void TranCount(sqlite3_context* context, int, sqlite3_value**) {
    auto* handle = static_cast<sqlite3*>(sqlite3_user_data(context));
    sqlite3_result_int(context, sqlite3_get_autocommit(handle) ? 0 : 1);
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
        CheckLogin(db);
    } catch (const OrlaError&) {
        db.close();
        throw;
    }
    if (sqlite3* handle = NativeHandle(db)) {
        sqlite3_create_function(handle, "orla_trancount", 0, SQLITE_UTF8, handle, TranCount,
                                nullptr, nullptr);
    }
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
    if (!query.exec() || !query.next())
        throw LoginFailed(user);
    const QString salt = query.value(0).toString();
    const QString hash = query.value(1).toString();
    if (LoginHash(salt, Settings().Password()) != hash)
        throw LoginFailed(user);
}

}  // namespace orla
