#include "platform/db/OdbcBackend.h"

#include <orla_contas/SecretMemory.h>

#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace orla {
namespace {

const char* const kDefaultTemplate =
    "DRIVER={%DRIVER%};SERVER=%SERVER%;DATABASE=%DATABASE%;UID=%USER%;PWD=%PASSWORD%;"
    "TDS_Version=7.4;ClientCharset=UTF-8;LoginTimeout=%TIMEOUT%";

QString ErrorText(const QSqlError& error) {
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

}  // namespace

QString OdbcBackend::OdbcConnectText(int timeoutSeconds) const {
    const QString custom = qEnvironmentVariable("ORLA_ODBC_CONNECT");
    QString text = custom.isEmpty() ? QString::fromLatin1(kDefaultTemplate) : custom;
    const QString driver = qEnvironmentVariable("ORLA_ODBC_DRIVER", QStringLiteral("FreeTDS"));
    text.replace(QLatin1String("%DRIVER%"), driver);
    text.replace(QLatin1String("%SERVER%"), ConnectionString::Quote(Settings().DataSource()));
    text.replace(QLatin1String("%DATABASE%"), ConnectionString::Quote(Settings().InitialCatalog()));
    text.replace(QLatin1String("%USER%"), ConnectionString::Quote(Settings().UserId()));
    text.replace(QLatin1String("%PASSWORD%"), ConnectionString::Quote(Settings().Password()));
    text.replace(QLatin1String("%TIMEOUT%"), QString::number(timeoutSeconds));
    // A string that asks for encryption makes FreeTDS refuse a connection it
    // cannot encrypt. A template of the user's own says everything itself.
    if (custom.isEmpty() && Settings().Encrypt())
        text += QLatin1String(";Encryption=require");
    return text;
}

QSqlDatabase OdbcBackend::Configure(const QString& name, int timeoutSeconds) const {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
    db.setDatabaseName(OdbcConnectText(timeoutSeconds));
    if (timeoutSeconds > 0)
        db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(timeoutSeconds));
    return db;
}

void OdbcBackend::Connect(QSqlDatabase& db) const {
    if (!db.isValid())
        throw OrlaError(err::kInvalidConnectionString,
                        QStringLiteral("The ODBC driver of Qt is not installed."));
    const bool opened = db.open();
    // The connection text holds the password: the driver has had it, nothing keeps it.
    QString text = db.databaseName();
    db.setDatabaseName(QString());
    Wipe(text);
    if (!opened)
        throw OrlaError(err::kProviderFailure, ErrorText(db.lastError()));
}

bool OdbcBackend::BeginConsistentRead() {
    // SQL Server reads a snapshot when the database allows it (ALLOW_SNAPSHOT_ISOLATION ON);
    // otherwise serializable reads, which hold their ranges until the end. A server that
    // answers neither (another driver) keeps its own isolation.
    QSqlQuery query(Database());
    if (query.exec(QStringLiteral("SELECT snapshot_isolation_state FROM sys.databases WHERE "
                                  "name = DB_NAME()")) &&
        query.next())
        query.exec(query.value(0).toInt() == 1
                       ? QStringLiteral("SET TRANSACTION ISOLATION LEVEL SNAPSHOT")
                       : QStringLiteral("SET TRANSACTION ISOLATION LEVEL SERIALIZABLE"));
    query.finish();
    return Backend::BeginConsistentRead();
}

void OdbcBackend::EndConsistentRead() {
    Backend::EndConsistentRead();
    QSqlQuery(Database()).exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL READ COMMITTED"));
}

// A write reads under serializable isolation, so a row read to be checked cannot change
// before it is written; two saves of one row then meet as a deadlock, one of them refused.
void OdbcBackend::BeginWrite() {
    QSqlQuery(Database()).exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL SERIALIZABLE"));
    Backend::BeginWrite();
}

void OdbcBackend::EndWrite(bool commit) {
    const auto isolation = qScopeGuard([this] {
        QSqlQuery(Database())
            .exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL READ COMMITTED"));
    });
    Backend::EndWrite(commit);
}

OrlaError OdbcBackend::StatementError(const QSqlError& error) const {
    return {err::kCommandFailed, ErrorText(error)};
}

}  // namespace orla
