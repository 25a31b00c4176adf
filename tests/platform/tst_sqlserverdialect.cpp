// SQL Server's dialect on the embedded database: the rewrite of each construct, the answers the
// server would give on a real connection, and the constructs refused instead of changed.
#include "TestDatabase.h"
#include "platform/db/Connection.h"
#include "platform/db/SqlServerDialect.h"

#include <QLocale>
#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

// An open connection on a database with one table of texts, amounts and dates (the date
// column checked as the demo schema checks its own).
struct Server {
    TestDatabase db;
    Connection connection{"Data Source=" + db.path()};
    Server() {
        db.exec(
            {"CREATE TABLE t (id INTEGER PRIMARY KEY, nome TEXT COLLATE NOCASE, valor NUMERIC, "
             "data TEXT CHECK (datetime(data, '+0 seconds') IS data), codigo)"});
        connection.Open();
    }
    QStringList Column(const QString& sql) {
        QStringList values;
        for (Recordset rs = connection.Execute(sql); !rs.Eof(); rs.MoveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.FieldNames().size(); ++i)
                fields << (rs.ValueAt(i).isValid() ? rs.ValueAt(i).toString() : "Null");
            values << fields.join(u'|');
        }
        return values;
    }
};

// The row the expressions are evaluated on (SELECT <expression> FROM t): data is
// 2024-02-28 13:30:00.
const QString kRow =
    "INSERT INTO t (nome, valor, data, codigo) VALUES ('Zé', 12.5, "
    "'2024-02-28 13:30:00', 'X1')";

QString ReadBack(const QVariant& value) {
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest);
    return value.isValid() ? value.toString() : QStringLiteral("Null");
}

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
        QTest::newRow("casts") << "CAST(ISNULL(v, 0) AS money), CAST( a AS DateTime )"
                               << "orla_money(IFNULL(v, 0)), orla_datetime(a)";
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

    // Expressions of the subset the rewrite translates, each with the server's answer worked
    // out from its documented rules: a value as read back, "error" for an error the server
    // raises, "refused" for a construct the embedded database refuses on purpose.
    void expressionsAnswerAsTheServer_data() {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("answer");
        const auto row = [](const char* expression, const QString& answer) {
            QTest::newRow(expression) << QString::fromUtf8(expression) << answer;
        };
        const QString when = "CASE WHEN %1 THEN 1 ELSE 0 END";
        // A date plus or minus days, and quarters of a day; 1753 is the first year it holds.
        row("data + 1.25", "2024-02-29 19:30:00");
        row("2 + data", "2024-03-01 13:30:00");
        row("data - 0.5", "2024-02-28 01:30:00");
        row("CONVERT(DATETIME,'1753-01-03',102) - 2", "1753-01-01 00:00:00");
        row("CONVERT(DATETIME,'1753-01-03',102) - 2.25", "error");
        row("data + 0.00001", "refused");  // 0.864 seconds: stored dates hold whole seconds
        // A date compared with the text forms the server reads the same under every language.
        QTest::newRow("between") << when.arg(
                                        "data BETWEEN '20240228 13:30' AND "
                                        "'2024-02-28T13:30:00'")
                                 << "1";
        QTest::newRow("literal first") << when.arg("'20240228' < data") << "1";
        QTest::newRow("in") << when.arg("data IN ('20240227', '20240228 13:30:00')") << "1";
        QTest::newRow("not in") << when.arg("data NOT IN ('20240228 13:30:01')") << "1";
        QTest::newRow("language-dependent")
            << when.arg("data = '2024-02-28 13:30:00'") << "refused";
        // Literals compared with the server's collation: case ignored, accents and trailing
        // blanks too, accents kept.
        QTest::newRow("case and trailing blanks") << when.arg("'Ab ' = 'aB'") << "1";
        QTest::newRow("accents kept") << when.arg("'áb' = 'ab'") << "0";
        QTest::newRow("accent after its base") << when.arg("'a' < 'Á'") << "1";
        QTest::newRow("base before accent") << when.arg("'áz' < 'B'") << "1";
        row("CASE 'É' WHEN 'é' THEN 1 ELSE 0 END", "1");
        // ROUND of an int or decimal(p,s) literal overflows past the literal's type.
        row("ROUND(-2.5, 0)", "-3");
        row("ROUND(12.345, 2, 1)", "12.34");
        row("ROUND(149.5, -2)", "100");
        row("ROUND(99.94, 1)", "99.9");
        row("ROUND(99.95, 1)", "error");
        row("ROUND(0.5, 0)", "error");
        row("ROUND(2147483644, -1)", "2147483640");
        row("ROUND(2147483647, -1)", "error");
        row("ROUND(2147483648, -1)", "2147483650");
        // Texts joined by +: literals, functions, CHAR, subqueries and a text column.
        row("'a' + UPPER('b') + CHAR(233) + LOWER('Ç')", "aBéç");
        row("(SELECT 'x') + nome + LTRIM('  y')", "xZéy");
        QTest::newRow("CHAR(0)") << "'a' + CHAR(0) + 'b'" << QString("a") + QChar(0) + "b";
        row("codigo + 'x'", "refused");  // a column of no declared type
        // ISNULL gives its second argument the first one's type; money has 4 decimals.
        row("ISNULL(CAST(NULL AS varchar(2)), 'xyz')", "xy");
        row("ISNULL(CAST('abc' AS varchar(2)), 'z')", "ab");
        row("ISNULL(CAST(NULL AS money), -1.23455)", "-1.2346");
        row("ISNULL(CAST(NULL AS int), -9.9)", "-9");
        row("ISNULL(CAST(NULL AS char(2)), 'x')", "refused");
        row("CAST(123.45675 AS money)", "123.4568");
        row("CAST(922337203685477.58075 AS money)", "error");
        row("CAST(1234567890123.45678 AS money)", "refused");  // 17 significant digits
    }
    void expressionsAnswerAsTheServer() {
        QFETCH(QString, expression);
        QFETCH(QString, answer);
        Server server;
        server.connection.Execute(kRow);
        QString value;
        const auto failure = Try([&] {
            value =
                ReadBack(server.connection.Execute("SELECT " + expression + " FROM t").ValueAt(0));
        });
        const bool refused = failure && failure->description.contains("embedded database");
        QCOMPARE(failure ? (refused ? "refused" : "error") : value, answer);
    }

    void refusedStatementsChangeNothing_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("error");
        const QString update = "UPDATE t SET data = %1 WHERE id = 1";
        QTest::newRow("no such day")
            << update.arg("CONVERT(DATETIME,'2023-02-29',102)") << "'2023-02-29' is not a date";
        QTest::newRow("datetime cast of other text")
            << update.arg("CAST('01-03-2024' AS datetime)") << "(CAST('01-03-2024' AS datetime))";
        QTest::newRow("smalldatetime cast")
            << update.arg("CAST(data AS smalldatetime)") << "CAST to smalldatetime";
        QTest::newRow("money cast of a word") << "UPDATE t SET valor = CAST(nome AS money)"
                                              << "Cannot convert a char value to money";
        QTest::newRow("text literal added to a number column")
            << "UPDATE t SET nome = 'Sr. ' + valor"
            << "('Sr. ' + valor)";
        QTest::newRow("untyped columns added") << "UPDATE t SET nome = codigo + codigo"
                                               << "(codigo + codigo)";
        QTest::newRow("TOP in a union")
            << "INSERT INTO t (nome) SELECT nome FROM t UNION SELECT TOP 1 data FROM t"
            << "TOP in a select combined";
        QTest::newRow("date compared with a text the language decides")
            << "UPDATE t SET nome = 'y' WHERE data >= '2024-03-01'"
            << "read as a date, which the server reads differently under some languages or not "
               "at all (data >= '2024-03-01')";
        QTest::newRow("date plus a date") << "UPDATE t SET data = data + data"
                                          << "(data + data)";
        QTest::newRow("ISNULL typed inside its first argument")
            << "UPDATE t SET nome = ISNULL(UPPER(CAST(nome AS varchar(2))), 'xyz')"
            << "ISNULL whose first argument";
        QTest::newRow("CAST to char") << "UPDATE t SET nome = CAST(nome AS char(3))"
                                      << "CAST to char";
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
