// The ODBC backend through unixODBC with a real driver (the SQLite ODBC
// driver stands in for SQL Server): open, query, Null, errors, the
// connection text built for FreeTDS and the string read back once open.
#include "TestDatabase.h"
#include "platform/db/Connection.h"
#include "platform/db/OdbcBackend.h"

#include <QTest>

using namespace orla;
using namespace orla::test;

class TestOdbcBackend : public QObject {
    Q_OBJECT

  private slots:
    // A file not ending in .db names a server; the SQLite ODBC driver opens it.
    void init() { qputenv("ORLA_ODBC_CONNECT", "DRIVER=SQLite3;DATABASE=%SERVER%"); }
    void cleanup() { qunsetenv("ORLA_ODBC_CONNECT"); }

    // Values braced where they need it; encryption required exactly when the
    // string asks for it, and a template of one's own left as it is.
    void connectText_data() {
        QTest::addColumn<QByteArray>("custom");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("expected");
        const QString freeTds =
            "SERVER=SRV\\SQL2019;DATABASE=Gestao;UID={rui;x=y};PWD={a;b}}c};"
            "TDS_Version=7.4;ClientCharset=UTF-8;LoginTimeout=15";
        QTest::newRow("encrypted") << QByteArray() << ";Encrypt=yes;"
                                   << "DRIVER={FreeTDS};" + freeTds + ";Encryption=require";
        QTest::newRow("plain") << QByteArray() << ";"
                               << "DRIVER={FreeTDS};" + freeTds;
        QTest::newRow("own template") << QByteArray("DRIVER=X;SERVER=%SERVER%") << ";Encrypt=yes;"
                                      << "DRIVER=X;SERVER=SRV\\SQL2019";
    }
    void connectText() {
        QFETCH(QByteArray, custom);
        QFETCH(QString, separator);
        QFETCH(QString, expected);
        qputenv("ORLA_ODBC_CONNECT", custom);
        const OdbcBackend backend(ConnectionString::Parse(
            "Provider=SQLOLEDB.1;Persist Security Info=False;User ID={rui;x=y};Password={a;b}}c}" +
            separator + "Initial Catalog=Gestao;Data Source=SRV\\SQL2019;Connect Timeout=15"));
        QCOMPARE(backend.OdbcConnectText(15), expected);
    }

    void passwordIsNotReadBackOnceOpen_data() {
        QTest::addColumn<QString>("persist");
        QTest::addColumn<bool>("readBack");
        QTest::newRow("False") << "Persist Security Info=False;" << false;
        QTest::newRow("not said") << "" << false;
        QTest::newRow("True") << "Persist Security Info=True;" << true;
    }
    void passwordIsNotReadBackOnceOpen() {
        QFETCH(QString, persist);
        QFETCH(bool, readBack);
        TestDatabase db(QStringLiteral("servidor.sqlite"));
        const QString text = "Provider=SQLOLEDB.1;" + persist +
                             "User ID=orla;Password={s3;gr};Encrypt=yes;Data Source=" + db.path();
        Connection connection(text);
        QCOMPARE(connection.ConnectionString(), text);
        connection.Open(Connection::adAsyncConnect);
        WaitWhileConnecting(connection);
        QVERIFY(!connection.AsyncError());
        QCOMPARE(connection.ConnectionString(),
                 readBack ? text : QString(text).remove("Password={s3;gr};"));
    }

    void queriesPassUnchangedAndReadNulls() {
        TestDatabase db(QStringLiteral("servidor.sqlite"));
        db.exec({"CREATE TABLE tbT (id INTEGER, nome TEXT)", "INSERT INTO tbT VALUES (2, NULL)"});
        Connection connection("Data Source=" + db.path());
        connection.Open();
        // SQLite's own concatenation works: nothing was rewritten on the way.
        connection.Execute("INSERT INTO tbT VALUES (1, 'Conciliação' || char(39) || 's')");
        Recordset rs = connection.Execute("SELECT id, nome FROM tbT ORDER BY id");
        QCOMPARE(rs.Value("NOME").toString(), QStringLiteral("Conciliação's"));
        rs.MoveNext();
        QVERIFY(rs.Fields("nome").IsNull());
        // A SQL Server construct reaches the driver as it is, and the driver refuses it.
        QCOMPARE(Try([&] { connection.Execute("SELECT TOP 1 nome FROM tbT"); })
                     .value_or(OrlaError())
                     .number,
                 err::kCommandFailed);
    }

    void missingDriverFailsToOpen() {
        qputenv("ORLA_ODBC_CONNECT", "DRIVER=NaoExiste;DATABASE=%SERVER%");
        Connection bad("Data Source=SRV-CONTAS");
        const auto failure = Try([&] { bad.Open(); });
        QVERIFY(failure);
        QCOMPARE(failure->number, err::kProviderFailure);
        QCOMPARE(bad.State(), int(Connection::adStateClosed));
    }
};

QTEST_MAIN(TestOdbcBackend)
#include "tst_odbcbackend.moc"
