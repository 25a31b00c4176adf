#include "TestDatabase.h"

#include "context/Context.h"
#include "platform/db/Backend.h"
#include "platform/db/Logins.h"
#include "security/Permissions.h"

#include <orla_contas/ConnectionScrambler.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace orla::test {

QList<QPair<QString, QString>> TestDatabase::DefaultLogins() {
    return {{kDbLogin, kDbPassword}, {kAppUser, kAppPassword}};
}

TestDatabase::TestDatabase(const QString& name, const QList<QPair<QString, QString>>& logins)
    : path_(dir_.filePath(name)) {
    QStringList statements{LoginsTableDdl()};
    for (const auto& [login, password] : logins) {
        const QString salt = NewLoginSalt();
        statements << QStringLiteral("INSERT INTO orla_logins VALUES ('%1', '%2', '%3')")
                          .arg(login, salt, LoginHash(salt, password));
    }
    exec(statements);
}

namespace {

// Runs `use` on a connection of its own to the file.
void WithFile(const QString& path, const std::function<void(QSqlDatabase&)>& use) {
    const QString name = NewConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open())
            use(db);
        else
            QTest::qFail(qPrintable(db.lastError().text()), __FILE__, __LINE__);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

}  // namespace

void ExecOnFile(const QString& path, const QStringList& statements) {
    WithFile(path, [&](QSqlDatabase& db) {
        for (const QString& sql : statements) {
            QSqlQuery query(db);
            QVERIFY2(query.exec(sql),
                     qPrintable(sql + QLatin1String(": ") + query.lastError().text()));
        }
    });
}

QVariant QueryValue(const QString& path, const QString& sql) {
    QVariant value;
    WithFile(path, [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        if (query.exec(sql) && query.next())
            value = query.value(0);
    });
    return value;
}

void ResetComponentState() {
    Data().SqlServer.Close();
    Data().SqlServer.SetConnectionString(
        ScrambledString{ConnectionScrambler::Scramble(kDesignConnectionString)});
    Context() = ContextValues();
    ResetSecurityPolicyCache();
}

}  // namespace orla::test
