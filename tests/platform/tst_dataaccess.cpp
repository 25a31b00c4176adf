// The data layer on the embedded database: opening with logins, states,
// recordsets, Null values, errors and their numbers.
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
        .arg(user, password, source);
}

long ErrorOf(const std::function<void()>& f) {
    const auto failure = Try(f);
    return failure ? failure->number : 0;
}

}  // namespace

class TestDataAccess : public QObject {
    Q_OBJECT

  private slots:
    void connectionStringParsing_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("source");
        QTest::newRow("plain") << StringFor("/x/a.db", "u", "p") << "p"
                               << "/x/a.db";
        QTest::newRow("semicolon in the password") << StringFor("/x/a.db", "u", "a;b;c") << "a;b;c"
                                                   << "/x/a.db";
        QTest::newRow("key-like text in the password")
            << StringFor("srv", "u", "x;Foo=1") << "x;Foo=1"
            << "srv";
        QTest::newRow("login separator") << "User ID=u;Password=p;Initial Catalog=c;Data Source=s"
                                         << "p"
                                         << "s";
        QTest::newRow("keys without case") << "data source=s;PASSWORD=q"
                                           << "q"
                                           << "s";
        QTest::newRow("empty password") << "Password=;Data Source=s"
                                        << ""
                                        << "s";
    }
    void connectionStringParsing() {
        QFETCH(QString, text);
        QFETCH(QString, password);
        QFETCH(QString, source);
        const ConnectionString settings = ConnectionString::Parse(text);
        QCOMPARE(settings.Password(), password);
        QCOMPARE(settings.DataSource(), source);
    }

    void backendFromTheDataSource_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("embedded");
        QTest::newRow("sqlite prefix") << "sqlite:/tmp/x.sqlite"
                                       << "/tmp/x.sqlite";
        QTest::newRow(".db path") << "/tmp/demo.db"
                                  << "/tmp/demo.db";
        QTest::newRow(".DB in capitals") << "/tmp/DEMO.DB"
                                         << "/tmp/DEMO.DB";
        QTest::newRow("server name") << "SRV-CONTAS\\SQLEXPRESS"
                                     << "";
        QTest::newRow("server with port") << "10.0.0.5,1433"
                                          << "";
    }
    void backendFromTheDataSource() {
        QFETCH(QString, source);
        QFETCH(QString, embedded);
        QCOMPARE(ConnectionString::Parse("Data Source=" + source).EmbeddedPath(), embedded);
    }

    void loginsAreChecked_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<long>("error");
        QTest::newRow("database login") << kDbLogin << kDbPassword << 0L;
        QTest::newRow("application user") << kAppUser << kAppPassword << 0L;
        QTest::newRow("login case ignored") << kAppUser.toUpper() << kAppPassword << 0L;
        QTest::newRow("password case kept")
            << kAppUser << kAppPassword.toUpper() << err::kLoginFailed;
        QTest::newRow("wrong password") << kAppUser << "x" << err::kLoginFailed;
        QTest::newRow("unknown login") << "zeca" << kAppPassword << err::kLoginFailed;
        QTest::newRow("empty login") << ""
                                     << "" << err::kLoginFailed;
        QTest::newRow("quote in the login") << "a' OR '1'='1"
                                            << "x" << err::kLoginFailed;
    }
    void loginsAreChecked() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(long, error);
        TestDatabase db;
        Connection connection(StringFor(db.path(), user, password));
        const auto failure = Try([&] { connection.Open(); });
        QCOMPARE(failure ? failure->number : 0L, error);
        QCOMPARE(connection.State(),
                 error ? int(Connection::adStateClosed) : int(Connection::adStateOpen));
        if (failure)
            QCOMPARE(failure->description, QStringLiteral("Login failed for user '%1'.").arg(user));
    }

    void missingFileIsAServerThatDoesNotAnswer() {
        QTemporaryDir dir;
        const QString path = dir.filePath("nada.db");
        Connection connection(StringFor(path, kDbLogin, kDbPassword));
        QCOMPARE(ErrorOf([&] { connection.Open(); }), err::kProviderFailure);
        QVERIFY(!QFile::exists(path));  // never created by a failed open
    }

    void fileThatIsNotADatabaseIsRefused() {
        QTemporaryDir dir;
        QFile file(dir.filePath("texto.db"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("isto não é uma base de dados, apenas texto comprido o suficiente");
        file.close();
        Connection connection("Data Source=" + file.fileName());
        QCOMPARE(ErrorOf([&] { connection.Open(); }), err::kProviderFailure);
    }

    void asynchronousOpen_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<long>("error");
        QTest::newRow("accepted") << kDbPassword << 0L;
        QTest::newRow("refused") << "errada" << err::kLoginFailed;
    }
    void asynchronousOpen() {
        QFETCH(QString, password);
        QFETCH(long, error);
        TestDatabase db;
        Connection connection(StringFor(db.path(), kDbLogin, password));
        connection.Open(Connection::adAsyncConnect);
        const int first = connection.State();
        QVERIFY(first == Connection::adStateConnecting || first == Connection::adStateOpen ||
                (error && first == Connection::adStateClosed));
        WaitWhileConnecting(connection);
        const auto failure = connection.AsyncError();
        QCOMPARE(failure ? failure->number : 0L, error);
        QCOMPARE(connection.State(),
                 error ? int(Connection::adStateClosed) : int(Connection::adStateOpen));
    }

    void stateRules() {
        TestDatabase db;
        Connection connection(StringFor(db.path(), kDbLogin, kDbPassword));
        QCOMPARE(connection.State(), int(Connection::adStateClosed));
        QCOMPARE(ErrorOf([&] { connection.Execute("SELECT 1"); }), err::kConnectionClosed);
        connection.Open();
        QCOMPARE(ErrorOf([&] { connection.Open(); }), err::kObjectOpen);
        QCOMPARE(ErrorOf([&] { connection.SetConnectionString("Data Source=x"); }),
                 err::kObjectOpen);
        connection.Close();
        QCOMPARE(connection.State(), int(Connection::adStateClosed));
        QCOMPARE(ErrorOf([&] { connection.Execute("SELECT 1"); }), err::kConnectionClosed);
        connection.Open();  // reopens with the same string
        QCOMPARE(connection.State(), int(Connection::adStateOpen));
    }

    void recordsetReadsRowsAndNulls() {
        TestDatabase db;
        db.exec({"CREATE TABLE tbT (id INTEGER, nome TEXT, valor NUMERIC, data TEXT)",
                 "INSERT INTO tbT VALUES (1, 'Café O''Brien', 12.5, '2024-03-01 10:00:00')",
                 "INSERT INTO tbT VALUES (2, NULL, NULL, NULL)"});
        Connection connection("Data Source=" + db.path());
        connection.Open();
        Recordset rs;
        rs.Open("SELECT id, nome AS Nome, valor FROM tbT ORDER BY id", connection);
        QCOMPARE(rs.FieldCount(), 3);
        QCOMPARE(rs.FieldNames(), QStringList({"id", "Nome", "valor"}));
        QVERIFY(!rs.Eof());
        QCOMPARE(rs.Value("NOME").toString(), QStringLiteral("Café O'Brien"));
        QCOMPARE(rs.Fields("nome").Name, QStringLiteral("Nome"));
        QCOMPARE(rs.Value("valor").toDouble(), 12.5);
        rs.MoveNext();
        QVERIFY(rs.Fields("nome").IsNull());
        QVERIFY(!rs.Value("valor").isValid());
        QCOMPARE(ErrorOf([&] { rs.Fields("nao_existe"); }), err::kItemNotFound);
        rs.MoveNext();
        QVERIFY(rs.Eof());
        QCOMPARE(ErrorOf([&] { rs.Fields("id"); }), err::kNoCurrentRecord);
        QCOMPARE(ErrorOf([&] { rs.MoveNext(); }), err::kNoCurrentRecord);
        rs.Close();
        QCOMPARE(ErrorOf([&] { rs.Eof(); }), err::kObjectClosed);
        QCOMPARE(ErrorOf([&] { rs.Close(); }), err::kObjectClosed);
    }

    void emptyResultIsAtEndAtOnce() {
        TestDatabase db;
        Connection connection("Data Source=" + db.path());
        connection.Open();
        Recordset rs = connection.Execute("SELECT login FROM orla_logins WHERE 0 = 1");
        QVERIFY(rs.IsOpen());
        QVERIFY(rs.Eof());
        QCOMPARE(rs.FieldNames(), QStringList{"login"});
    }

    void statementsAndTheirErrors() {
        TestDatabase db;
        db.exec({"CREATE TABLE tbT (id INTEGER PRIMARY KEY, obs TEXT)"});
        Connection connection("Data Source=" + db.path());
        connection.Open();
        const Recordset none =
            connection.Execute("INSERT INTO tbT (obs) VALUES ('a' + CHAR(39) + 'b -- ; c')");
        QVERIFY(!none.IsOpen());
        Recordset last = connection.Execute("SELECT @@Identity as last");
        QCOMPARE(last.Value("LAST").toInt(), 1);
        Recordset back = connection.Execute("SELECT TOP 1 obs FROM tbT ORDER BY id DESC");
        QCOMPARE(back.Value("obs").toString(), QStringLiteral("a'b -- ; c"));

        const auto failure = Try([&] { connection.Execute("SELECT * FROM tbNaoExiste"); });
        QVERIFY(failure);
        QCOMPARE(failure->number, err::kCommandFailed);
        QVERIFY2(failure->description.contains("tbNaoExiste"), qPrintable(failure->description));
        QCOMPARE(connection.State(), int(Connection::adStateOpen));  // still usable
    }

    void transactionCount() {
        TestDatabase db;
        Connection connection("Data Source=sqlite:" + db.path());
        connection.Open();
        QCOMPARE(connection.Execute("SELECT @@TRANCOUNT as valor").Value("valor").toInt(), 0);
        connection.Execute("BEGIN TRANSACTION");
        QCOMPARE(connection.Execute("SELECT @@TRANCOUNT as valor").Value("valor").toInt(), 1);
        connection.Execute("COMMIT TRANSACTION");
        QCOMPARE(connection.Execute("SELECT @@TRANCOUNT as valor").Value("valor").toInt(), 0);
    }

    void serverDateFunction() {
        TestDatabase db;
        Connection connection("Data Source=" + db.path());
        connection.Open();
        const QString text =
            connection.Execute("SELECT GETDATE() AS DATE").Value("date").toString();
        const QDateTime date = QDateTime::fromString(text, "yyyy-MM-dd HH:mm:ss");
        QVERIFY2(date.isValid(), qPrintable(text));
        QVERIFY(qAbs(date.secsTo(QDateTime::currentDateTime())) < 120);
    }

    void closingWhileConnectingAbandonsTheOpen() {
        TestDatabase db;
        Connection connection("Data Source=" + db.path());
        connection.Open(Connection::adAsyncConnect);
        connection.Close();
        QCOMPARE(connection.State(), int(Connection::adStateClosed));
        connection.Open();
        QCOMPARE(connection.State(), int(Connection::adStateOpen));
    }
};

QTEST_MAIN(TestDataAccess)
#include "tst_dataaccess.moc"
