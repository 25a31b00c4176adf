// SQL Server's dialect on the embedded database: the rewrite of each construct, the answers the
// server would give on a real connection, and the constructs refused instead of changed.
#include "TestDatabase.h"
#include "platform/db/Connection.h"
#include "platform/db/SqlServerDialect.h"

#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

// An open connection on a database with one table of texts, amounts and dates.
struct Server {
    TestDatabase db;
    Connection connection{"Data Source=" + db.path()};
    Server() {
        db.exec(
            {"CREATE TABLE t (id INTEGER PRIMARY KEY, nome TEXT COLLATE NOCASE, valor NUMERIC, "
             "data TEXT)"});
        connection.Open();
    }
    QStringList Column(const QString& sql) {
        QStringList values;
        for (Recordset rs = connection.Execute(sql); !rs.Eof(); rs.MoveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.FieldCount(); ++i)
                fields << (rs.ValueAt(i).isValid() ? rs.ValueAt(i).toString() : "Null");
            values << fields.join(u'|');
        }
        return values;
    }
};

}  // namespace

class TestSqlServerDialect : public QObject {
    Q_OBJECT

  private slots:
    void translation_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("date bounds")
            << "WHERE d >= CONVERT(DATETIME,'2024-03-01',102) AND d <=CONVERT(DATETIME,'2024.3.31 "
               "7:05',102)"
            << "WHERE d >= '2024-03-01 00:00:00' AND d <='2024-03-31 07:05:00'";
        QTest::newRow("spliced quotes") << "= 'O' + char( 39 )\n + 'Neil' + CHAR(39) + ''"
                                        << "= 'O''Neil'''";
        QTest::newRow("windows-1252 in a splice") << "= 'a' + CHAR(128)"
                                                  << "= 'a\u20AC'";
        QTest::newRow("functions")
            << "SELECT GETDATE(), @@TRANCOUNT, @@Identity, ISNULL(a,0), x ISNULL"
            << "SELECT datetime('now','localtime'), orla_trancount(), orla_identity(), "
               "IFNULL(a,0), x ISNULL";
        QTest::newRow("casts") << "CAST(ISNULL(v, 0) AS money) + CAST( a AS DateTime )"
                               << "orla_money(IFNULL(v, 0)) + orla_datetime(a)";
        QTest::newRow("top of a subquery and of the statement, before a comment")
            << "SELECT TOP 2 a FROM t WHERE b IN (SELECT TOP (5) b FROM u) ORDER BY a -- x\n"
            << "SELECT a FROM t WHERE b IN (SELECT b FROM u LIMIT 5) ORDER BY a LIMIT 2 -- x\n";
        QTest::newRow("top and a union in a subquery")
            << "SELECT TOP 1 a FROM t WHERE b IN (SELECT c FROM u UNION SELECT d FROM v)"
            << "SELECT a FROM t WHERE b IN (SELECT c FROM u UNION SELECT d FROM v) LIMIT 1";
        QTest::newRow("transactions") << "BEGIN TRAN; COMMIT TRANSACTION; rollback tran"
                                      << "BEGIN; COMMIT; rollback";
        QTest::newRow("constructs inside literals, names and comments")
            << "SELECT 'TOP 1 GETDATE() ' + CHAR(39), [@@Identity] /* CAST(a AS money) */"
            << "SELECT 'TOP 1 GETDATE() ''', [@@Identity] /* CAST(a AS money) */";
    }
    void translation() {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QCOMPARE(TranslateToSqlite(sql), expected);
    }

    // What the server answers; the rows are written through the component's own connection.
    void serverAnswers_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("expected");
        const QString names = "SELECT nome FROM t WHERE ";
        QTest::newRow("money has 4 decimals")
            << "SELECT ROUND(CAST(2.67495 AS money),2), CAST('-1,234.56785' AS money)"
            << QStringList{"2.68|-1234.5679"};
        QTest::newRow("money of a column")
            << "SELECT CAST(valor AS money) FROM t WHERE id = 1" << QStringList{"12.3457"};
        QTest::newRow("lone CHAR is windows-1252")
            << "SELECT CHAR(128), CHAR(300)" << QStringList{"€|Null"};
        QTest::newRow("equal ignores case and trailing blanks, keeps accents")
            << names + "nome = 'CONCEIÇÃO  ' OR nome = 'AGUA'" << QStringList{"Conceição"};
        QTest::newRow("LIKE folds accented letters")
            << names + "nome LIKE '%ÇÃO%'" << QStringList{"Conceição"};
        QTest::newRow("LIKE sets and escapes")
            << names + "nome LIKE '[a-c]%' OR nome LIKE '%!%%' ESCAPE '!'"
            << QStringList{"Água", "banco", "Caixa", "Conceição", "50% off"};
        QTest::newRow("portuguese order")
            << "SELECT nome FROM t ORDER BY nome, id"
            << QStringList{"50% off", "Água", "banco", "Caixa", "Conceição", "zebra"};
        QTest::newRow("datetime cast keeps the stored date")
            << "SELECT CAST(data AS datetime) FROM t WHERE id = 1"
            << QStringList{"2024-03-01 10:00:00"};
    }
    void serverAnswers() {
        QFETCH(QString, sql);
        QFETCH(QStringList, expected);
        Server server;
        for (const char* name : {"Água", "banco", "Caixa", "Conceição", "zebra", "50% off"})
            server.connection.Execute(QStringLiteral("INSERT INTO t (nome, valor, data) VALUES "
                                                     "('%1', 12.345678, '2024-03-01 10:00:00')")
                                          .arg(QString::fromUtf8(name)));
        QCOMPARE(server.Column(sql), expected);
    }

    void connectionStateIsTheServers() {
        Server server;
        const QString state = "SELECT @@Identity as last, @@TRANCOUNT as valor";
        QCOMPARE(server.Column(state), QStringList{"Null|0"});  // nothing inserted yet
        server.connection.Execute("BEGIN TRAN");
        server.connection.Execute("INSERT INTO t (nome) VALUES ('a'), ('b')");
        server.connection.Execute("UPDATE t SET nome = 'c' WHERE id = 1");
        QCOMPARE(server.Column(state), QStringList{"2|1"});
        server.connection.Execute("INSERT INTO t (nome) SELECT nome FROM t WHERE 0 = 1");
        server.connection.Execute("COMMIT TRANSACTION");
        QCOMPARE(server.Column(state), QStringList{"Null|0"});  // the last insert made none
    }

    void refusedStatementsChangeNothing_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("error");
        const QString update = "UPDATE t SET data = %1 WHERE id = 1";
        QTest::newRow("no such day")
            << update.arg("CONVERT(DATETIME,'2023-02-29',102)") << "'2023-02-29' is not a date";
        QTest::newRow("day first")
            << update.arg("CONVERT(DATETIME,'31-03-2024',102)") << "'31-03-2024' is not a date";
        QTest::newRow("datetime cast of other text")
            << update.arg("CAST('01-03-2024' AS datetime)") << "Conversion failed";
        QTest::newRow("smalldatetime cast")
            << update.arg("CAST(data AS smalldatetime)") << "CAST to smalldatetime";
        QTest::newRow("money cast of a word") << "UPDATE t SET valor = CAST(nome AS money)"
                                              << "Cannot convert a char value to money";
        QTest::newRow("text literal added to a column") << "UPDATE t SET nome = 'Sr. ' + nome"
                                                        << "('Sr. ' + nome)";
        QTest::newRow("column added to a text literal")
            << "UPDATE t SET nome = nome + 'x' + CHAR(39)"
            << "(nome + 'x' + CHAR(39))";
        QTest::newRow("TOP in a union")
            << "INSERT INTO t (nome) SELECT nome FROM t UNION SELECT TOP 1 data FROM t"
            << "TOP in a select combined";
    }
    void refusedStatementsChangeNothing() {
        QFETCH(QString, sql);
        QFETCH(QString, error);
        Server server;
        server.connection.Execute("INSERT INTO t (nome, data) VALUES ('x', '2024-03-01 00:00:00')");
        const auto failure = Try([&] { server.connection.Execute(sql); });
        QVERIFY(failure);
        QCOMPARE(failure->number, err::kCommandFailed);
        QVERIFY2(failure->description.contains(error), qPrintable(failure->description));
        QCOMPARE(server.Column("SELECT nome, data FROM t"), QStringList{"x|2024-03-01 00:00:00"});
    }
};

QTEST_GUILESS_MAIN(TestSqlServerDialect)
#include "tst_sqlserverdialect.moc"
