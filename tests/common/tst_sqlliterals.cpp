// SQL literals of every kind, quote splicing, and the display text of fields;
// hostile texts go through real statements on the embedded database and come
// back unchanged without touching any other row.
#include "Recorders.h"
#include "ScopedLocale.h"
#include "TestDatabase.h"
#include "common/SqlLiterals.h"
#include "context/ErrorReport.h"
#include "platform/db/Connection.h"

#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

const QString kPt = QStringLiteral("pt_PT");
const QString kEn = QStringLiteral("en_US");

// A database file of its own, opened through the data layer as the component opens it.
class Database {
  public:
    explicit Database(const QStringList& setup = {}) {
        if (!setup.isEmpty())
            file_.exec(setup);
        connection_.Open();
    }

    // Runs a statement; the error's description when it fails.
    QString Run(const QString& sql) {
        const std::optional<OrlaError> failure = Try([&] { connection_.Execute(sql); });
        return failure ? sql + QStringLiteral(" -> ") + failure->description : QString();
    }

    // The first column of every row; the error's description when the query fails.
    QStringList Column(const QString& sql) {
        QStringList values;
        const std::optional<OrlaError> failure = Try([&] {
            Recordset rows = connection_.Execute(sql);
            for (; !rows.Eof(); rows.MoveNext())
                values << rows.Fields(0).Value.toString();
        });
        return failure ? QStringList{sql + QStringLiteral(" -> ") + failure->description} : values;
    }

    Recordset Query(const QString& sql) { return connection_.Execute(sql); }

  private:
    TestDatabase file_;
    Connection connection_{QStringLiteral("Data Source=") + file_.path()};
};

const QString kFirst = QStringLiteral("primeira nota");
const QString kThird = QStringLiteral("terceira nota");

Database Notes() {
    return Database({QStringLiteral("CREATE TABLE tbNotas (id INTEGER PRIMARY KEY, texto TEXT)"),
                     QStringLiteral("INSERT INTO tbNotas VALUES (1, '%1'), (2, 'segunda nota'), "
                                    "(3, '%2')")
                         .arg(kFirst, kThird)});
}

// One row of every kind of value ListField shows.
const QString kFieldsQuery = QStringLiteral(
    "SELECT 1234.5 AS valor, -1234.5 AS negativo, NULL AS nada, 0.125 AS taxa, 2.5 AS meio, "
    "3.5 AS tres_e_meio, 1234567.5 AS grande, 3000000000 AS enorme, '2,5' AS texto_numero, "
    "'2026-12-05 14:03:09' AS data, 'O''Neil' AS nome, 'abc' AS texto, 1 AS dup, 2 AS DUP");

QString Numbered(long number, const QString& description) {
    return QStringLiteral("Error Number = %1 | Description = %2").arg(number).arg(description);
}

QStringList ReportTexts(const QString& procedure, const QString& message) {
    return {kProductLabel, kApplicationLabel, QStringLiteral("modSQL"), procedure, message};
}

QString WithNul(const QString& before, const QString& after) {
    return before + QChar(0) + after;
}

}  // namespace

class TestSqlLiterals : public QObject {
    Q_OBJECT

  private slots:
    void sqlValue_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QString& locale, const QVariant& value,
                            int kind, const QString& expected) {
            QTest::newRow(name) << locale << value << kind << expected;
        };
        const QString null = QStringLiteral("null");
        const QDateTime saturday(QDate(2026, 12, 5), QTime(14, 3, 9));
        const QString dayLiteral = QStringLiteral("CONVERT(DATETIME,'2026-12-05',102)");

        row("text with a quote", kPt, "O'Neil", SqlText, "'O' + CHAR(39) + 'Neil'");
        row("text loses outer spaces", kPt, "  abc  ", SqlText, "'abc'");
        row("a tab is not a blank", kPt, "\tabc", SqlText, "'\tabc'");
        row("empty text", kPt, "", SqlText, null);
        row("blank text", kPt, "   ", SqlText, null);
        row("null text", kPt, QVariant(), SqlText, null);
        row("NUL dropped", kPt, WithNul("a", "b"), SqlText, "'ab'");
        row("NUL alone is blank", kPt, WithNul(" ", " "), SqlText, null);
        row("number as text", kPt, 12.5, SqlText, "'12,5'");
        row("empty text literal", kPt, "", SqlTextEmpty, "''");
        row("null to empty literal", kPt, QVariant(), SqlTextEmpty, "''");
        row("blank to empty literal", kPt, " ", SqlTextEmpty, "''");
        row("text, kind 4", kPt, "O'Neil", SqlTextEmpty, "'O' + CHAR(39) + 'Neil'");
        row("like: blanks are wildcards", kPt, "ab cd", SqlLike, "'%ab%cd%'");
        row("like: empty", kPt, "", SqlLike, "'%%'");
        row("like: null", kPt, QVariant(), SqlLike, "'%%'");
        row("like: quote and blank", kPt, "O'Neil x", SqlLike, "'%O' + CHAR(39) + 'Neil%x%'");

        row("true", kPt, true, SqlNumber, "1");
        row("false", kPt, false, SqlNumber, "0");
        row("letters", kPt, "abc", SqlNumber, null);
        row("quote in a number", kPt, "1' OR '1'='1", SqlNumber, null);
        row("decimal comma", kPt, "1234,50", SqlNumber, "1234.50");
        row("sign behind", kPt, "12,5-", SqlNumber, "-12.5");
        row("grouped", kPt, "1.234,50", SqlNumber, "1234.50");
        row("point", kPt, "12.5", SqlNumber, "12.5");
        row("blanks around", kPt, " 7 ", SqlNumber, "7");
        row("exponent", kPt, "2,5E-1", SqlNumber, "0.25");
        row("double", kPt, 12.5, SqlNumber, "12.5");
        row("tiny double", kPt, 1e-7, SqlNumber, "0.0000001");
        row("integer, kind 7", kPt, qlonglong(42), SqlNumber7, "42");
        row("empty number", kPt, "", SqlNumber, null);
        row("null number", kPt, QVariant(), SqlNumber7, null);
        row("date as number", kPt, QDate(2026, 12, 5), SqlNumber, null);
        row("en: decimal comma", kEn, "1234,50", SqlNumber, "1234.50");
        row("en: grouped", kEn, "1,234.50", SqlNumber, "1234.50");
        row("en: number as text", kEn, 12.5, SqlText, "'12.5'");

        row("date", kPt, saturday, SqlDate, dayLiteral);
        row("date and time", kPt, saturday, SqlDateTime,
            "CONVERT(DATETIME,'2026-12-05 14:03:09',102)");
        row("typed date", kPt, "05-12-2026", SqlDate, dayLiteral);
        row("embedded database text", kPt, "2026-12-05 14:03:09", SqlDateTime,
            "CONVERT(DATETIME,'2026-12-05 14:03:09',102)");
        row("ddmmyyyy", kPt, "05122026", SqlDate, dayLiteral);
        row("ddmmyyyy with time", kPt, "05122026", SqlDateTime,
            "CONVERT(DATETIME,'2026-12-05 00:00:00',102)");
        row("1 January 1900 is no date", kPt, QDate(1900, 1, 1), SqlDate, null);
        row("1 January 1900 with time kind", kPt, QDateTime(QDate(1900, 1, 1), QTime(0, 0)),
            SqlDateTime, null);
        row("1 January 1900 as text", kPt, "1900-01-01 00:00:00", SqlDateTime, null);
        row("the zero date", kPt, QDate(1899, 12, 30), SqlDate, null);
        row("ddmmyyyy of 1900 is a date", kPt, "01011900", SqlDate,
            "CONVERT(DATETIME,'1900-01-01',102)");
        row("impossible ddmmyyyy", kPt, "31022026", SqlDate, null);
        row("eight letters", kPt, "abcdefgh", SqlDate, null);
        row("empty date mask", kPt, "- - -", SqlDate, null);
        row("empty date mask with blanks", kPt, " - - - ", SqlDateTime, null);
        row("empty date", kPt, "", SqlDateTime, null);
        row("null date", kPt, QVariant(), SqlDate, null);
        row("quote in a date", kPt, "05-12-2026' --", SqlDate, null);

        row("kind 0", kPt, "x", 0, "");
        row("kind 8", kPt, "x", 8, "");
    }
    void sqlValue() {
        QFETCH(QString, locale);
        QFETCH(QVariant, value);
        QFETCH(int, kind);
        QFETCH(QString, expected);
        const ScopedLocale scope(locale);
        QCOMPARE(SqlValue(value, kind), expected);
    }

    void quoteSplicing_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("no quote") << "abc"
                                  << "abc";
        QTest::newRow("one quote") << "'"
                                   << "' + CHAR(39) + '";
        QTest::newRow("two quotes") << "a''b"
                                    << "a' + CHAR(39) + '' + CHAR(39) + 'b";
        QTest::newRow("quotes at both ends") << "'x'"
                                             << "' + CHAR(39) + 'x' + CHAR(39) + '";
        QTest::newRow("NUL dropped") << WithNul("a'", "b") << "a' + CHAR(39) + 'b";
    }
    void quoteSplicing() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const ScopedServicesRecorder services;
        QString escaped = text;
        QCOMPARE(EscapeQuotes(escaped), expected);
        QCOMPARE(escaped, expected);
        QString replaced = text;
        QCOMPARE(ReplaceQuotes(replaced), expected);
        QCOMPARE(replaced, expected);
        QVERIFY(services.log().reports.isEmpty());
    }

    void checkField_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("expected");
        QTest::newRow("as named") << "valor" << true;
        QTest::newRow("capitals") << "VALOR" << true;
        QTest::newRow("mixed case") << "Valor" << true;
        QTest::newRow("last field") << "DUP" << true;
        QTest::newRow("prefix only") << "valo" << false;
        QTest::newRow("trailing blank") << "valor " << false;
        QTest::newRow("empty") << "" << false;
    }
    void checkField() {
        QFETCH(QString, name);
        QFETCH(bool, expected);
        const ScopedServicesRecorder services;
        Database db;
        const Recordset rows = db.Query(kFieldsQuery);
        QCOMPARE(CheckField(rows, name), expected);
        QVERIFY(services.log().reports.isEmpty());
    }

    void listField_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* rowName, const QString& locale, const QString& name,
                            int kind, const QString& expected) {
            QTest::newRow(rowName) << locale << name << kind << expected;
        };
        row("missing field is one blank", kPt, "inexistente", ListAmount, " ");
        row("null field is one blank", kPt, "nada", ListAmount, " ");
        row("null text is one blank", kPt, "nada", ListText, " ");
        row("amount", kPt, "valor", ListAmount, "1.234,50");
        row("negative amount", kPt, "negativo", ListAmount, "- 1.234,50");
        row("euro", kPt, "valor", ListEuro, "€ 1.234,50");
        row("negative euro", kPt, "negativo", ListEuro, "€ -1.234,50");
        row("percent", kPt, "taxa", ListPercent, "12,50 %");
        row("whole: 2.5 to the even 2", kPt, "meio", ListWhole, "2");
        row("whole: 3.5 to the even 4", kPt, "tres_e_meio", ListWhole, "4");
        row("whole, grouped", kPt, "grande", ListWhole, "1.234.568");
        row("whole from text", kPt, "texto_numero", ListWhole, "2");
        row("date", kPt, "data", ListDate, "05-12-2026");
        row("date and time", kPt, "data", ListDateTime, "05-12-2026 14:03:09");
        row("iso date", kPt, "data", ListIsoDate, "2026-12-05");
        row("text as it is", kPt, "nome", ListText, "O'Neil");
        row("number as text", kPt, "valor", ListText, "1234,5");
        row("name without case", kPt, "VALOR", ListAmount, "1.234,50");
        row("two fields of one name: the last", kPt, "dup", ListText, "2");
        row("text in an amount kind stays", kPt, "texto", ListAmount, "abc");
        row("unknown kind", kPt, "valor", 9, "");
        row("kind 0", kPt, "valor", 0, "");
        row("en: amount", kEn, "valor", ListAmount, "1,234.50");
        row("en: percent", kEn, "taxa", ListPercent, "12.50 %");
    }
    void listField() {
        QFETCH(QString, locale);
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(QString, expected);
        const ScopedLocale scope(locale);
        const ScopedServicesRecorder services;
        Database db;
        const Recordset rows = db.Query(kFieldsQuery);
        QCOMPARE(ListField(rows, name, kind), expected);
        QVERIFY(services.log().reports.isEmpty());
    }

    void listFieldErrorsAreReported_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("text to a whole number") << "texto" << Numbered(13, "Type mismatch");
        QTest::newRow("whole number beyond 32 bits") << "enorme" << Numbered(6, "Overflow");
    }
    void listFieldErrorsAreReported() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        const ScopedLocale scope(kPt);
        const ScopedServicesRecorder services;
        Database db;
        const Recordset rows = db.Query(kFieldsQuery);
        QCOMPARE(ListField(rows, name, ListWhole), QString());
        QCOMPARE(services.log().reports.size(), 1);
        QCOMPARE(services.log().reports.first().texts, ReportTexts("ListField", message));
    }

    void fieldsOfAClosedRecordsetAreReported() {
        const ScopedServicesRecorder services;
        Database db;
        Recordset rows = db.Query(kFieldsQuery);
        rows.Close();
        QVERIFY(!CheckField(rows, "valor"));
        QCOMPARE(ListField(rows, "valor", ListAmount), QString());
        const QString closed =
            Numbered(err::kObjectClosed, "Operation is not allowed when the object is closed.");
        QCOMPARE(services.log().reports.size(), 2);
        QCOMPARE(services.log().reports.at(0).texts, ReportTexts("CheckField", closed));
        QCOMPARE(services.log().reports.at(1).texts, ReportTexts("ListField", closed));
    }

    void listFieldPastTheLastRowIsReported() {
        const ScopedServicesRecorder services;
        Database db;
        Recordset rows = db.Query(kFieldsQuery);
        rows.MoveNext();
        QVERIFY(CheckField(rows, "valor"));  // the names are there without a row
        QCOMPARE(ListField(rows, "valor", ListAmount), QString());
        QCOMPARE(services.log().reports.size(), 1);
        QCOMPARE(services.log().reports.first().texts.at(4),
                 Numbered(err::kNoCurrentRecord,
                          "Either BOF or EOF is True, or the current record has been deleted. "
                          "Requested operation requires a current record."));
    }

    void hostileTextsRoundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        const auto same = [](const char* name, const QString& text) {
            QTest::newRow(name) << text << text;
        };
        same("one quote", "'");
        same("name with a quote", "O'Neil");
        same("two quotes", "''");
        same("closing and dropping", "'; DROP TABLE tbNotas; --");
        same("always true", "x' OR '1'='1");
        same("the splice itself", "a' + CHAR(39) + 'b");
        same("char calls", "' + CHAR(0) + CHAR(39");
        same("line comment", "fim -- comentário");
        same("block comment", "/* a */ b */ '/*");
        same("line breaks", "linha1\nlinha2\r\n'--\n");
        same("unicode quotes", QString::fromUtf16(u"‘curva’ “dupla” ʼ ＇ ‛ ′ \u0092 \u00b4 `"));
        same("backslashes before quotes", "\\' \\\\'");
        same("statement separators", "; SELECT 1; ' ; '");
        same("wildcards, brackets, double quotes", "%_^ \"aspas\" [nome]");
        same("accents and euro", "ação € ç ñ ü");
        same("many quotes", QString(1000, u'\''));
        same("tabs kept", "\tx'\t");
        QTest::newRow("NUL characters dropped") << WithNul("a", WithNul("b'", "c")) << "ab'c";
        QTest::newRow("outer spaces trimmed") << "  espaços ' "
                                              << "espaços '";
    }
    void hostileTextsRoundTrip() {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        Database db = Notes();
        const QString texts = QStringLiteral("SELECT texto FROM tbNotas ORDER BY id");
        const QString ids = QStringLiteral("SELECT id FROM tbNotas WHERE texto %1 ORDER BY id");

        // A text literal in an update, then a kind 4 literal in an insert.
        QCOMPARE(db.Run("UPDATE tbNotas SET texto = " + SqlValue(text, SqlText) + " WHERE id = 2"),
                 QString());
        QCOMPARE(db.Run("INSERT INTO tbNotas (id, texto) VALUES (4, " +
                        SqlValue(text, SqlTextEmpty) + ")"),
                 QString());
        QCOMPARE(db.Column(texts), QStringList({kFirst, stored, kThird, stored}));

        // The same literal in a comparison, and the LIKE pattern, find those rows alone.
        QCOMPARE(db.Column(ids.arg("= " + SqlValue(text, SqlText))), QStringList({"2", "4"}));
        QCOMPARE(db.Column(ids.arg("LIKE " + SqlValue(text, SqlLike))), QStringList({"2", "4"}));

        // A literal built by hand around EscapeQuotes.
        QString escaped = stored;
        QCOMPARE(db.Run("UPDATE tbNotas SET texto = '" + EscapeQuotes(escaped) + "' WHERE id = 3"),
                 QString());
        QCOMPARE(db.Column(texts), QStringList({kFirst, stored, stored, stored}));
    }
};

QTEST_GUILESS_MAIN(TestSqlLiterals)
#include "tst_sqlliterals.moc"
