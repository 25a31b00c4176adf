// The data layer on the embedded database: opening with logins, and the files it refuses with
// their error numbers.
#include "TestDatabase.h"
#include "platform/db/Connection.h"
#include "platform/db/ConnectionString.h"

#include <QFile>
#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

QString StringFor(const QString& source, const QString& user, const QString& password) {
    return QStringLiteral(
               "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=%1;Password=%2;"
               "Encrypt=yes;Initial Catalog=Orla;Data Source=%3;Connect Timeout=15")
        .arg(ConnectionString::Quote(user), ConnectionString::Quote(password), source);
}

}  // namespace

class TestDataAccess : public QObject {
    Q_OBJECT

  private slots:
    // Login names compare as the server compares them (case ignored, accents kept); a name
    // that two logins share is refused rather than guessed.
    void loginsAreChecked_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<long>("error");
        QTest::newRow("password with a semicolon") << kAppUser << kAppPassword << 0L;
        QTest::newRow("login in capitals") << "JOSÉ"
                                           << "pw-josé" << 0L;
        QTest::newRow("login without its accent") << "jose"
                                                  << "pw-josé" << err::kLoginFailed;
        QTest::newRow("password case kept")
            << kAppUser << kAppPassword.toUpper() << err::kLoginFailed;
        QTest::newRow("name of two logins") << "Rui"
                                            << "pw-rui" << err::kLoginFailed;
        QTest::newRow("unknown login") << "zeca" << kAppPassword << err::kLoginFailed;
        QTest::newRow("quote in the login") << "a' OR '1'='1"
                                            << "x" << err::kLoginFailed;
    }
    void loginsAreChecked() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(long, error);
        TestDatabase db("test.db",
                        TestDatabase::DefaultLogins() +
                            QList<QPair<QString, QString>>{
                                {"josé", "pw-josé"}, {"rui", "pw-rui"}, {"RUI", "pw-rui"}});
        Connection connection(StringFor(db.path(), user, password));
        const auto failure = Try([&] { connection.Open(); });
        QCOMPARE(failure ? failure->number : 0L, error);
        QCOMPARE(connection.State(),
                 error ? int(Connection::adStateClosed) : int(Connection::adStateOpen));
        if (failure)
            QCOMPARE(failure->description, QStringLiteral("Login failed for user '%1'.").arg(user));
    }

    void unusableFilesAreRefused_data() {
        QTest::addColumn<QByteArray>("content");  // empty: no file at all
        QTest::addColumn<QString>("statement");   // made on a fresh database when not empty
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << QByteArray() << ""
                                      << "SQL Server does not exist";
        QTest::newRow("not a database") << QByteArray(4096, 'x') << ""
                                        << "does not exist";
        QTest::newRow("index ordered by NOCASE")
            << QByteArray() << "CREATE TABLE t (nome TEXT COLLATE NOCASE UNIQUE)"
            << "an index is ordered by NOCASE (t.nome)";
    }
    void unusableFilesAreRefused() {
        QFETCH(QByteArray, content);
        QFETCH(QString, statement);
        QFETCH(QString, message);
        TestDatabase db;
        QVERIFY(QFile::remove(db.path()));
        if (!statement.isEmpty())
            ExecOnFile(db.path(), {statement});
        QFile file(db.path());
        if (!content.isEmpty())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        Connection connection("Data Source=" + db.path());
        const auto failure = Try([&] { connection.Open(); });
        QVERIFY(failure);
        QCOMPARE(failure->number, err::kProviderFailure);
        QVERIFY2(failure->description.contains(message), qPrintable(failure->description));
        QCOMPARE(QFile::exists(db.path()), !content.isEmpty() || !statement.isEmpty());
    }
};

QTEST_MAIN(TestDataAccess)
#include "tst_dataaccess.moc"
