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
    const QString name = NewConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path_);
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
