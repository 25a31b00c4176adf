// The ODBC backend through unixODBC with a real driver (the SQLite ODBC
// driver stands in for SQL Server): open, query, Null, errors, and the
// connection text built for FreeTDS.
#include "TestDatabase.h"
#include "platform/db/Connection.h"
#include "platform/db/OdbcBackend.h"

#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

// A server name that is not a file name, so the ODBC backend is chosen.
QString OdbcSource(const TestDatabase& db) {
    return db.path();  // the SQLite ODBC driver takes the file as its database
}

}  // namespace

class TestOdbcBackend : public QObject {
    Q_OBJECT

  private slots:
    void init() { qputenv("ORLA_ODBC_CONNECT", "DRIVER=SQLite3;DATABASE=%SERVER%"); }
    void cleanup() {
        qunsetenv("ORLA_ODBC_CONNECT");
        qunsetenv("ORLA_ODBC_DRIVER");
    }

    void defaultTextIsForFreeTds() {
        qunsetenv("ORLA_ODBC_CONNECT");
        const OdbcBackend backend(ConnectionString::Parse(
            "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=orla;Password=a;b}c;"
            "Encrypt=yes;Initial Catalog=Gestao;Data Source=SRV\\SQL2019;Connect Timeout=15"));
        QCOMPARE(backend.OdbcConnectText(15),
                 QStringLiteral("DRIVER={FreeTDS};SERVER=SRV\\SQL2019;DATABASE=Gestao;UID=orla;"
                                "PWD={a;b}}c};TDS_Version=7.4;ClientCharset=UTF-8;"
                                "LoginTimeout=15"));
        qputenv("ORLA_ODBC_DRIVER", "ODBC Driver 18 for SQL Server");
        QVERIFY(backend.OdbcConnectText(10).startsWith("DRIVER={ODBC Driver 18 for SQL Server};"));
    }

    void opensQueriesAndReadsNulls() {
        TestDatabase db(QStringLiteral("servidor.sqlite"));
        db.exec({"CREATE TABLE tbT (id INTEGER, nome TEXT, valor REAL)",
                 "INSERT INTO tbT VALUES (1, 'Conciliação Bancária', 10.25)",
                 "INSERT INTO tbT VALUES (2, NULL, NULL)"});
        Connection connection("Data Source=" + OdbcSource(db));
        connection.Open();
        QCOMPARE(connection.State(), int(Connection::adStateOpen));
        Recordset rs = connection.Execute("SELECT id, nome, valor FROM tbT ORDER BY id");
        QCOMPARE(rs.FieldNames(), QStringList({"id", "nome", "valor"}));
        QCOMPARE(rs.Value("NOME").toString(), QStringLiteral("Conciliação Bancária"));
        QCOMPARE(rs.Value("valor").toDouble(), 10.25);
        rs.MoveNext();
        QVERIFY(rs.Fields("nome").IsNull());
        QVERIFY(rs.Fields("valor").IsNull());
        rs.MoveNext();
        QVERIFY(rs.Eof());
    }

    void statementsPassUnchanged() {
        TestDatabase db(QStringLiteral("servidor.sqlite"));
        db.exec({"CREATE TABLE tbT (obs TEXT)"});
        Connection connection("Data Source=" + OdbcSource(db));
        connection.Open();
        // SQLite's own concatenation works: nothing was rewritten on the way.
        connection.Execute("INSERT INTO tbT VALUES ('a' || char(39) || 'b')");
        QCOMPARE(connection.Execute("SELECT obs FROM tbT").Value("obs").toString(),
                 QStringLiteral("a'b"));
        // A SQL Server construct reaches the driver as it is, and the driver refuses it.
        const auto failure = Try([&] { connection.Execute("SELECT TOP 1 obs FROM tbT"); });
        QVERIFY(failure);
        QCOMPARE(failure->number, err::kCommandFailed);
        QVERIFY(!failure->description.isEmpty());
    }

    void asynchronousOpenAndFailure() {
        TestDatabase db(QStringLiteral("servidor.sqlite"));
        Connection good("Data Source=" + OdbcSource(db));
        good.Open(Connection::adAsyncConnect);
        WaitWhileConnecting(good);
        QVERIFY(!good.AsyncError());
        QCOMPARE(good.State(), int(Connection::adStateOpen));

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
