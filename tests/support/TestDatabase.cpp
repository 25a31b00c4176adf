#include "TestDatabase.h"

#include "platform/db/Backend.h"
#include "platform/db/Logins.h"

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
    for (const auto& login : logins) {
        const QString salt = NewLoginSalt();
        statements << QStringLiteral("INSERT INTO orla_logins VALUES ('%1', '%2', '%3')")
                          .arg(login.first, salt, LoginHash(salt, login.second));
    }
    exec(statements);
}

void TestDatabase::exec(const QStringList& statements) const {
    ExecOnFile(path_, statements);
}

void ExecOnFile(const QString& path, const QStringList& statements) {
    const QString name = NewConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY2(db.open(), qPrintable(db.lastError().text()));
        for (const QString& sql : statements) {
            QSqlQuery query(db);
            QVERIFY2(query.exec(sql),
                     qPrintable(sql + QLatin1String(": ") + query.lastError().text()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

}  // namespace orla::test

namespace orla::test {

QVariant QueryValue(const QString& path, const QString& sql) {
    const QString name = NewConnectionName();
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(sql) && query.next())
                value = query.value(0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return value;
}

}  // namespace orla::test
