#include "platform/db/SqliteBackend.h"

#include "platform/db/Logins.h"
#include "platform/db/ServerSemantics.h"

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

// The type of a table's column: a date when declared so or checked to hold the stored form
// of one (CHECK (datetime(col, '+0 seconds') IS col ...), as the demo schema does), otherwise
// as its declared type gives SQLite's affinity; nothing for a column without one.
std::optional<ColumnType> TypeOfColumn(const QString& name, const QString& declared,
                                       const QString& table) {
    const QRegularExpression checked(
        QStringLiteral(R"(datetime\s*\(\s*["\[`]?%1["\]`]?\s*,\s*'\+0 seconds'\s*\)\s*IS\s)")
            .arg(QRegularExpression::escape(name)),
        QRegularExpression::CaseInsensitiveOption);
    const auto has = [&](QStringView part) { return declared.contains(part, Qt::CaseInsensitive); };
    if (has(u"date") || has(u"time") || checked.match(table).hasMatch())
        return ColumnType::Date;
    if (has(u"int"))
        return ColumnType::Number;
    if (has(u"char") || has(u"clob") || has(u"text"))
        return ColumnType::Text;
    if (declared.isEmpty() || has(u"blob"))
        return std::nullopt;
    return ColumnType::Number;
}

// The types of the file's columns by name. A name that holds dates in one table and something
// else in another is undecided; one of two other types is left unknown.
ColumnTypes ReadColumnTypes(QSqlDatabase& db) {
    QSqlQuery query(db);
    query.exec(
        QStringLiteral("SELECT m.sql, p.name, p.type FROM sqlite_master m, "
                       "pragma_table_info(m.name) p WHERE m.type = 'table'"));
    QHash<QString, std::optional<ColumnType>> seen;
    while (query.next()) {
        const QString name = query.value(1).toString().toLower();
        std::optional<ColumnType> type =
            TypeOfColumn(name, query.value(2).toString(), query.value(0).toString());
        if (const auto found = seen.constFind(name); found != seen.constEnd() && *found != type) {
            const bool date = type == ColumnType::Date || *found == ColumnType::Date ||
                              *found == ColumnType::Undecided;
            type = date ? std::optional(ColumnType::Undecided) : std::nullopt;
        }
        seen[name] = type;
    }
    ColumnTypes types;
    for (auto it = seen.constBegin(); it != seen.constEnd(); ++it) {
        if (it.value())
            types.insert(it.key(), *it.value());
    }
    return types;
}

}  // namespace

QString SqliteBackend::Translate(const QString& sql) const {
    QSqlDatabase db = Database();
    QSqlQuery version(db);
    if (version.exec(QStringLiteral("PRAGMA schema_version")) && version.next() &&
        version.value(0).toLongLong() != schemaVersion_) {
        schemaVersion_ = version.value(0).toLongLong();
        columns_ = ReadColumnTypes(db);
    }
    return TranslateToSqlite(sql, columns_);
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

bool SqliteBackend::IsOpen() const {
    if (!Backend::IsOpen())
        return false;
    sqlite3* handle = NativeHandle(Database());
    int moved = 1;
    return handle &&
           sqlite3_file_control(handle, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK &&
           !moved;
}

std::optional<qint64> SqliteBackend::DataVersion() {
    QSqlQuery query(Database());
    if (!query.exec(QStringLiteral("PRAGMA data_version")) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

// The write lock is taken at once, so what the transaction reads no one else can change
// before it writes.
void SqliteBackend::BeginWrite() {
    QSqlQuery begin(Database());
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE")))
        throw StatementError(begin.lastError());
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
