// The SQL Server to SQLite rewrite: the text each construct becomes, and what SQLite then
// computes with it on a real database.
#include "platform/db/SqlServerDialect.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using orla::TranslateToSqlite;

// Runs a statement written for SQL Server on the test database; fails the test when SQLite
// refuses it.
#define RUN_SQL(query, sql) \
    QVERIFY2((query).exec(TranslateToSqlite(sql)), qPrintable((query).lastError().text()))

namespace {

const QString kConnection = QStringLiteral("dialect");

// The literal the system writes for a text: each quote spliced in as ' + CHAR(39) + '.
QString ServerLiteral(QString text) {
    return u'\'' + text.replace(u'\'', QStringLiteral("' + CHAR(39) + '")) + u'\'';
}

void AddColumns() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
}

void AddRow(const char* name, const QString& sql, const QString& expected) {
    QTest::newRow(name) << sql << expected;
}

void AddUnchanged(const char* name, const QString& sql) {
    AddRow(name, sql, sql);
}

void CompareTranslation() {
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QCOMPARE(TranslateToSqlite(sql), expected);
}

}  // namespace

class TestSqlServerDialect : public QObject {
    Q_OBJECT

  private slots:
    void convertDate_data();
    void convertDate() { CompareTranslation(); }
    void concatenation_data();
    void concatenation() { CompareTranslation(); }
    void functions_data();
    void functions() { CompareTranslation(); }
    void selectTop_data();
    void selectTop() { CompareTranslation(); }
    void cast_data();
    void cast() { CompareTranslation(); }
    void transactions_data();
    void transactions() { CompareTranslation(); }
    void passThrough_data();
    void passThrough() { CompareTranslation(); }

    void init();
    void cleanup();
    void datesCompareAsStoredText();
    void topReturnsTheFirstRowsOfItsOwnQuery();
    void splicedQuotesRoundTrip_data();
    void splicedQuotesRoundTrip();
    void moneyAndNullSums();
    void identityOfTheLastInsert();
    void serverDateIsNow();
    void transactionsRollBackAndCommit();
    void refusedStatementsChangeNothing_data();
    void refusedStatementsChangeNothing();

  private:
    QSqlDatabase db() const { return QSqlDatabase::database(kConnection); }
};

void TestSqlServerDialect::convertDate_data() {
    AddColumns();
    AddRow("date only", "SELECT * FROM t WHERE data >= CONVERT(DATETIME,'2024-03-01',102)",
           "SELECT * FROM t WHERE data >= '2024-03-01 00:00:00'");
    AddRow("end of day", "data <=CONVERT(DATETIME,'2024-03-31 23:59:59',102) ORDER BY data",
           "data <='2024-03-31 23:59:59' ORDER BY data");
    AddRow("unpadded midnight", "CONVERT(DATETIME,'2024-03-01 0:00:00',102)",
           "'2024-03-01 00:00:00'");
    AddRow("unpadded hour", "CONVERT(DATETIME,'2024-03-01 7:05:09',102)", "'2024-03-01 07:05:09'");
    AddRow("hours and minutes", "CONVERT(DATETIME,'2024-03-01 14:30',102)",
           "'2024-03-01 14:30:00'");
    AddRow("style 102 dots", "CONVERT(DATETIME,'2024.03.01',102)", "'2024-03-01 00:00:00'");
    AddRow("dots and time", "CONVERT(DATETIME,'2024.12.31 23:59:59',102)", "'2024-12-31 23:59:59'");
    AddRow("leap day", "CONVERT(DATETIME,'2024-02-29',102)", "'2024-02-29 00:00:00'");
    AddRow("any case and spacing", "convert ( DateTime ,\n '2024-03-01' , 102 )",
           "'2024-03-01 00:00:00'");
    AddRow("in a value list",
           "VALUES (CONVERT(DATETIME,'2024-03-01',102),null,CONVERT(DATETIME,'2024-03-02',102))",
           "VALUES ('2024-03-01 00:00:00',null,'2024-03-02 00:00:00')");
    AddRow("no such day", "SET data_debito = CONVERT(DATETIME,'2023-02-29',102) WHERE",
           "SET data_debito = orla_invalid_date('2023-02-29') WHERE");
    AddRow("day first", "CONVERT(DATETIME,'01-03-2024',102)", "orla_invalid_date('01-03-2024')");
    AddRow("hour 24", "CONVERT(DATETIME,'2024-03-01 24:00:00',102)",
           "orla_invalid_date('2024-03-01 24:00:00')");
    AddRow("mixed separators", "CONVERT(DATETIME,'2024-03.01',102)",
           "orla_invalid_date('2024-03.01')");
    AddRow("before datetime's range", "CONVERT(DATETIME,'1752-12-31',102)",
           "orla_invalid_date('1752-12-31')");
    AddRow("not a date, with a quote", "CONVERT(DATETIME,'it''s',102)",
           "orla_invalid_date('it''s')");
    AddRow("empty", "CONVERT(DATETIME,'',102)", "orla_invalid_date('')");
    AddUnchanged("other style", "CONVERT(DATETIME,'01/03/2024',103)");
    AddUnchanged("not a literal", "CONVERT(DATETIME,data,102)");
    AddUnchanged("inside a literal", "SELECT 'CONVERT(DATETIME,''2024-03-01'',102)'");
}

void TestSqlServerDialect::concatenation_data() {
    AddColumns();
    AddRow("spliced quote", "VALUES ('O' + CHAR(39) + 'Neil')", "VALUES ('O''Neil')");
    AddRow("like pattern", "WHERE nome LIKE '%O' + CHAR(39) + 'Neil%' AND x = 1",
           "WHERE nome LIKE '%O''Neil%' AND x = 1");
    AddRow("quote first", "= '' + CHAR(39) + 'abc'", "= '''abc'");
    AddRow("quote last", "= 'abc' + CHAR(39) + ''", "= 'abc'''");
    AddRow("two quotes in a row", "= 'a' + CHAR(39) + '' + CHAR(39) + 'b'", "= 'a''''b'");
    AddRow("escaped quote kept", "= 'it''s' + CHAR(39)", "= 'it''s'''");
    AddRow("lower case, no spaces", "='a'+char( 39 )+'b'", "='a''b'");
    AddRow("across lines", "= 'a'\n + CHAR(39)\n + 'b'", "= 'a''b'");
    AddRow("literals only", "= 'ab' + 'cd'", "= 'abcd'");
    AddRow("operator text inside", "= 'x + CHAR(39) + y' + CHAR(39)", "= 'x + CHAR(39) + y'''");
    AddRow("statement text inside", "= '; -- GETDATE() TOP 1' + CHAR(39)",
           "= '; -- GETDATE() TOP 1'''");
    AddRow("windows-1252 euro", "= 'a' + CHAR(128)", "= 'a\u20AC'");
    AddRow("latin-1 e acute", "= 'caf' + CHAR(233)", "= 'caf\u00E9'");
    AddRow("CHAR only", "= CHAR(39) + CHAR(39)", "= ''''''");
    AddUnchanged("CHAR alone", "SELECT CHAR(39)");
    AddUnchanged("literal alone", "SELECT 'a + b', 'it''s'");
    AddUnchanged("numbers", "SELECT valor + 1, a+b FROM t");
    AddUnchanged("literal and column", "SELECT 'a' + nome FROM t");
    AddUnchanged("CHAR out of range", "SELECT 'a' + CHAR(300)");
    AddUnchanged("product binds first on the left", "SELECT 2 * 'a' + 'b'");
    AddUnchanged("product binds first on the right", "SELECT 'a' + 'b' * 2");
    AddUnchanged("subtraction before", "SELECT x - 'a' + 'b'");
}

void TestSqlServerDialect::functions_data() {
    AddColumns();
    AddRow("server date", "SELECT GETDATE() AS DATE", "SELECT datetime('now','localtime') AS DATE");
    AddRow("server date, spaced", "SELECT getdate ( )", "SELECT datetime('now','localtime')");
    AddRow("transaction count", "SELECT @@TRANCOUNT as valor", "SELECT orla_trancount() as valor");
    AddRow("identity", "SELECT @@Identity as last", "SELECT last_insert_rowid() as last");
    AddRow("identity upper", "SELECT @@IDENTITY", "SELECT last_insert_rowid()");
    AddRow("isnull", "SELECT ISNULL(saldo, 0) FROM t", "SELECT IFNULL(saldo, 0) FROM t");
    AddRow("isnull spaced", "SELECT isnull (a,b)", "SELECT IFNULL (a,b)");
    AddRow("isnull nested", "SUM(ISNULL(debito,0) - ISNULL(credito,0))",
           "SUM(IFNULL(debito,0) - IFNULL(credito,0))");
    AddUnchanged("postfix isnull", "SELECT * FROM t WHERE a ISNULL");
    AddUnchanged("in literals", "SELECT 'GETDATE()', '@@Identity', 'ISNULL(a,b)'");
    AddUnchanged("in quoted names", "SELECT \"GETDATE()\", [@@TRANCOUNT] FROM t");
    AddUnchanged("in comments", "SELECT 1 -- GETDATE()\n/* @@Identity */");
}

void TestSqlServerDialect::selectTop_data() {
    AddColumns();
    AddRow("first template",
           "SELECT TOP 1 code FROM tbTemplates WHERE template_id = 3 ORDER BY predef DESC",
           "SELECT code FROM tbTemplates WHERE template_id = 3 ORDER BY predef DESC LIMIT 1");
    AddRow("lower case", "select top 10 a from t", "select a from t LIMIT 10");
    AddRow("parenthesised count", "SELECT TOP (3) a FROM t", "SELECT a FROM t LIMIT 3");
    AddRow("distinct", "SELECT DISTINCT TOP 2 a FROM t", "SELECT DISTINCT a FROM t LIMIT 2");
    AddRow("before the semicolon", "SELECT TOP 5 a FROM t;", "SELECT a FROM t LIMIT 5;");
    AddRow("before spaces and semicolon", "SELECT TOP 5 a FROM t ;\n",
           "SELECT a FROM t LIMIT 5 ;\n");
    AddRow("before a trailing comment", "SELECT TOP 1 a FROM t -- first\n",
           "SELECT a FROM t LIMIT 1 -- first\n");
    AddRow("after a literal with ; and --", "SELECT TOP 1 a FROM t WHERE b = 'x; -- TOP 2'",
           "SELECT a FROM t WHERE b = 'x; -- TOP 2' LIMIT 1");
    AddRow("two statements", "SELECT TOP 1 a FROM t; SELECT TOP 2 b FROM u",
           "SELECT a FROM t LIMIT 1; SELECT b FROM u LIMIT 2");
    AddRow("subquery", "SELECT * FROM t WHERE id = (SELECT TOP 1 id FROM u ORDER BY d DESC) AND x",
           "SELECT * FROM t WHERE id = (SELECT id FROM u ORDER BY d DESC LIMIT 1) AND x");
    AddRow("outer and subquery",
           "SELECT TOP 2 a FROM t WHERE b IN (SELECT TOP 5 b FROM u) ORDER BY a",
           "SELECT a FROM t WHERE b IN (SELECT b FROM u LIMIT 5) ORDER BY a LIMIT 2");
    AddRow("union inside a subquery",
           "SELECT TOP 1 a FROM t WHERE b IN (SELECT c FROM u UNION SELECT d FROM v)",
           "SELECT a FROM t WHERE b IN (SELECT c FROM u UNION SELECT d FROM v) LIMIT 1");
    AddRow("union in the next statement", "SELECT TOP 1 a FROM t; SELECT b FROM u UNION SELECT c",
           "SELECT a FROM t LIMIT 1; SELECT b FROM u UNION SELECT c");
    AddRow("union in the statement before", "SELECT a FROM t UNION SELECT b; SELECT TOP 1 c FROM v",
           "SELECT a FROM t UNION SELECT b; SELECT c FROM v LIMIT 1");
    AddUnchanged("TOP in a union's first select", "SELECT TOP 1 a FROM t UNION SELECT b FROM u");
    AddUnchanged("TOP in a union's second select", "SELECT a FROM t UNION SELECT TOP 1 b FROM u");
    AddUnchanged("variable count", "SELECT TOP (@n) a FROM t");
    AddUnchanged("in a literal", "SELECT a FROM t WHERE b = 'SELECT TOP 1'");
    AddUnchanged("column named top", "SELECT top FROM t");
}

void TestSqlServerDialect::cast_data() {
    AddColumns();
    AddRow("money",
           "SELECT SUM(ROUND(CAST(debito as money),2)) - SUM(ROUND(CAST(credito as money),2)) "
           "as saldo",
           "SELECT SUM(ROUND(CAST(debito as REAL),2)) - SUM(ROUND(CAST(credito as REAL),2)) "
           "as saldo");
    AddRow("money, spaced", "CAST( valor  AS  MONEY )", "CAST( valor  AS  REAL )");
    AddRow("money of an expression", "CAST(ISNULL(v, 0) AS money)", "CAST(IFNULL(v, 0) AS REAL)");
    AddRow("datetime", "WHERE CAST(data AS datetime) >= x", "WHERE (data) >= x");
    AddRow("datetime of an expression", "CAST( a + b AS DateTime )", "(a + b)");
    AddRow("datetime of a date literal", "CAST(CONVERT(DATETIME,'2024-03-01',102) AS datetime)",
           "('2024-03-01 00:00:00')");
    AddUnchanged("int", "SELECT CAST(x as int) FROM t");
    AddUnchanged("decimal", "SELECT CAST(x AS decimal(10,2)) FROM t");
    AddUnchanged("money in a literal", "SELECT 'CAST(x AS money)'");
}

void TestSqlServerDialect::transactions_data() {
    AddColumns();
    AddRow("begin transaction", "BEGIN TRANSACTION", "BEGIN");
    AddRow("begin tran", "BEGIN TRAN", "BEGIN");
    AddRow("commit tran", "commit tran", "commit");
    AddRow("commit transaction", "COMMIT TRANSACTION;", "COMMIT;");
    AddRow("rollback tran", "ROLLBACK  TRAN", "ROLLBACK");
    AddRow("rollback transaction", "Rollback Transaction", "Rollback");
    AddUnchanged("plain commit", "COMMIT");
    AddUnchanged("in a literal", "SELECT 'BEGIN TRAN'");
}

void TestSqlServerDialect::passThrough_data() {
    AddColumns();
    AddUnchanged("empty", "");
    AddUnchanged("reconciliation update",
                 "UPDATE tbDocumentos_Recibos SET data_debito = (CASE WHEN data_documento is "
                 "null THEN data ELSE data_documento END) WHERE armazem_id = 3 AND recibo_id = 45");
    AddUnchanged("policies",
                 "SELECT tbSecurityPolicies.code FROM tbSecurityPolicies WHERE 0 = 0  AND ( "
                 "(users_groups Like '%U%'  OR users_groups LIKE '%G1%' ) )");
    AddUnchanged("whitespace kept", "SELECT  *\n\tFROM t\r\n WHERE a <> 1.5 ");
    AddUnchanged("unterminated literal", "SELECT 'abc + CHAR(39) + GETDATE()");
    AddUnchanged("unclosed parenthesis", "SELECT (a + (b FROM t");
    AddUnchanged("unmatched closing", "SELECT a) FROM t");
    AddUnchanged("block comment", "SELECT /* TOP 1 'x' + CHAR(39) */ a FROM t");
    AddUnchanged("accents", "SELECT 'Conciliação Bancária' AS título");
}

void TestSqlServerDialect::init() {
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
    database.setDatabaseName(QStringLiteral(":memory:"));
    QVERIFY2(database.open(), qPrintable(database.lastError().text()));
    QSqlQuery query(database);
    QVERIFY(query.exec(QStringLiteral(
        "CREATE TABLE mov (id INTEGER PRIMARY KEY, data TEXT, debito REAL, credito REAL, "
        "obs TEXT, code TEXT, predef INTEGER)")));
}

void TestSqlServerDialect::cleanup() {
    QSqlDatabase::database(kConnection).close();
    QSqlDatabase::removeDatabase(kConnection);
}

void TestSqlServerDialect::datesCompareAsStoredText() {
    QSqlQuery query(db());
    const QStringList written = {"2024-02-29 23:59:59", "2024-03-01 0:00:00",  "2024.03.15 9:30:00",
                                 "2024-03-31 12:00",    "2024-03-31 23:59:59", "2024-04-01"};
    for (const QString& date : written) {
        RUN_SQL(query, "INSERT INTO mov (data) VALUES (CONVERT(DATETIME,'" + date + "',102))");
    }
    RUN_SQL(query, "SELECT data FROM mov ORDER BY id");
    QStringList stored;
    while (query.next())
        stored << query.value(0).toString();
    QCOMPARE(stored,
             QStringList({"2024-02-29 23:59:59", "2024-03-01 00:00:00", "2024-03-15 09:30:00",
                          "2024-03-31 12:00:00", "2024-03-31 23:59:59", "2024-04-01 00:00:00"}));

    RUN_SQL(query,
            "SELECT id FROM mov WHERE data >= CONVERT(DATETIME,'2024-03-01',102) AND data <="
            "CONVERT(DATETIME,'2024-03-31 23:59:59',102) ORDER BY data");
    QList<int> inPeriod;
    while (query.next())
        inPeriod << query.value(0).toInt();
    QCOMPARE(inPeriod, QList<int>({2, 3, 4, 5}));

    RUN_SQL(query,
            "SELECT COUNT(*) FROM mov WHERE data < CONVERT(DATETIME,'2024-03-01',102) AND data "
            ">= CONVERT(DATETIME,'2024-02-29',102)");
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 1);
}

void TestSqlServerDialect::topReturnsTheFirstRowsOfItsOwnQuery() {
    QSqlQuery query(db());
    RUN_SQL(query,
            "INSERT INTO mov (code, obs, predef) VALUES ('a', 'x.doc', 0), ('b', 'x.doc', 2), "
            "('c', 'x.doc', 1), ('d', 'y.doc', 5)");
    RUN_SQL(query, "SELECT TOP 1 code FROM mov WHERE obs = 'x.doc' ORDER BY predef DESC");
    QStringList codes;
    while (query.next())
        codes << query.value(0).toString();
    QCOMPARE(codes, QStringList({"b"}));

    RUN_SQL(query,
            "SELECT code FROM mov WHERE predef < (SELECT TOP 1 predef FROM mov WHERE obs = "
            "'x.doc' ORDER BY predef DESC) ORDER BY code");
    codes.clear();
    while (query.next())
        codes << query.value(0).toString();
    QCOMPARE(codes, QStringList({"a", "c"}));

    RUN_SQL(query,
            "SELECT TOP 2 code FROM mov WHERE obs <> 'TOP 1; --' ORDER BY predef DESC -- two\n");
    codes.clear();
    while (query.next())
        codes << query.value(0).toString();
    QCOMPARE(codes, QStringList({"d", "b"}));
}

void TestSqlServerDialect::splicedQuotesRoundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("name") << QStringLiteral("O'Neil");
    QTest::newRow("one quote") << QStringLiteral("'");
    QTest::newRow("two quotes") << QStringLiteral("''");
    QTest::newRow("quoted") << QStringLiteral("'entre aspas'");
    QTest::newRow("several") << QStringLiteral("a'b'c");
    QTest::newRow("splice text") << QStringLiteral("x' + CHAR(39) + 'y");
    QTest::newRow("statement text") << QStringLiteral("GETDATE() -- ; TOP 1 @@Identity");
    QTest::newRow("date text") << QStringLiteral("CONVERT(DATETIME,'2024-13-45',102)");
    QTest::newRow("accents") << QStringLiteral("Conceição d'Ávila, 5 €");
}

void TestSqlServerDialect::splicedQuotesRoundTrip() {
    QFETCH(QString, text);
    QSqlQuery query(db());
    RUN_SQL(query, "INSERT INTO mov (obs) VALUES (" + ServerLiteral(text) + ")");
    RUN_SQL(query, "SELECT obs FROM mov WHERE obs = " + ServerLiteral(text));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), text);
    RUN_SQL(query, "SELECT COUNT(*) FROM mov WHERE obs LIKE " + ServerLiteral('%' + text + '%'));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 1);
}

void TestSqlServerDialect::moneyAndNullSums() {
    QSqlQuery query(db());
    RUN_SQL(query,
            "INSERT INTO mov (debito, credito) VALUES (100.5, null), (null, 20.25), "
            "(33.333, null), (null, 0.004)");
    RUN_SQL(query,
            "SELECT SUM(ROUND(CAST(debito as money),2)) - SUM(ROUND(CAST(credito as money),2)) "
            "as saldo FROM mov");
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toDouble(), 113.58);

    RUN_SQL(query, "SELECT SUM(ISNULL(debito,0) - ISNULL(credito,0)) AS saldo FROM mov");
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toDouble(), 113.579);
}

void TestSqlServerDialect::identityOfTheLastInsert() {
    QSqlQuery query(db());
    RUN_SQL(query, "INSERT INTO mov (obs) VALUES ('a')");
    RUN_SQL(query, "INSERT INTO mov (obs) VALUES ('b')");
    RUN_SQL(query, "SELECT @@Identity as last");
    QVERIFY(query.next());
    QCOMPARE(query.value(QStringLiteral("last")).toInt(), 2);
}

void TestSqlServerDialect::serverDateIsNow() {
    QSqlQuery query(db());
    RUN_SQL(query, "SELECT GETDATE() AS DATE");
    QVERIFY(query.next());
    const QString text = query.value(0).toString();
    const QDateTime date = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QVERIFY2(date.isValid(), qPrintable(text));
    QVERIFY2(qAbs(date.secsTo(QDateTime::currentDateTime())) < 300, qPrintable(text));
}

void TestSqlServerDialect::transactionsRollBackAndCommit() {
    QSqlQuery query(db());
    RUN_SQL(query, "BEGIN TRAN");
    RUN_SQL(query, "INSERT INTO mov (obs) VALUES ('undone')");
    RUN_SQL(query, "ROLLBACK TRANSACTION");
    RUN_SQL(query, "BEGIN TRANSACTION");
    RUN_SQL(query, "INSERT INTO mov (obs) VALUES ('kept')");
    RUN_SQL(query, "COMMIT TRAN");
    RUN_SQL(query, "SELECT obs FROM mov");
    QStringList rows;
    while (query.next())
        rows << query.value(0).toString();
    QCOMPARE(rows, QStringList({"kept"}));
}

void TestSqlServerDialect::refusedStatementsChangeNothing_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("error");
    QTest::newRow("no such day")
        << QStringLiteral("UPDATE mov SET data = CONVERT(DATETIME,'2023-02-29',102) WHERE id = 1")
        << QStringLiteral("orla_invalid_date");
    QTest::newRow("day first")
        << QStringLiteral("UPDATE mov SET data = CONVERT(DATETIME,'31-03-2024',102) WHERE id = 1")
        << QStringLiteral("orla_invalid_date");
    QTest::newRow("bad date in a condition")
        << QStringLiteral("DELETE FROM mov WHERE data < CONVERT(DATETIME,'2024-3-1 25:00',102)")
        << QStringLiteral("orla_invalid_date");
    QTest::newRow("TOP in a union")
        << QStringLiteral(
               "INSERT INTO mov (obs) SELECT obs FROM mov UNION SELECT TOP 1 data FROM mov")
        << QStringLiteral("syntax error");
}

void TestSqlServerDialect::refusedStatementsChangeNothing() {
    QFETCH(QString, sql);
    QFETCH(QString, error);
    QSqlQuery query(db());
    RUN_SQL(query, "INSERT INTO mov (data, obs) VALUES ('2024-03-01 00:00:00', 'x')");
    QVERIFY(!query.exec(TranslateToSqlite(sql)));
    QVERIFY2(query.lastError().text().contains(error), qPrintable(query.lastError().text()));
    RUN_SQL(query, "SELECT COUNT(*), MIN(data) FROM mov");
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 1);
    QCOMPARE(query.value(1).toString(), QStringLiteral("2024-03-01 00:00:00"));
}

QTEST_GUILESS_MAIN(TestSqlServerDialect)
#include "tst_sqlserverdialect.moc"
