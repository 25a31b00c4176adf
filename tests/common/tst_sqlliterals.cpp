// SQL literals and the display text of fields; hostile texts go through real
// statements on the embedded database and come back unchanged without
// touching any other row.
#include "ScopedLocale.h"
#include "TestDatabase.h"
#include "common/SqlLiterals.h"
#include "platform/db/Connection.h"

#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

const QString kNull = QStringLiteral("null");
const QString kDay = QStringLiteral("CONVERT(DATETIME,'2026-12-05',102)");
const QDateTime kSaturday(QDate(2026, 12, 5), QTime(14, 3, 9));

// The first column of every row, or the failure's description.
QStringList Column(Connection& connection, const QString& sql) {
    QStringList values;
    const std::optional<OrlaError> failure = Try([&] {
        for (Recordset rows = connection.Execute(sql); !rows.Eof(); rows.MoveNext())
            values << rows.Fields(0).Value.toString();
    });
    return failure ? QStringList{sql + QStringLiteral(" -> ") + failure->description} : values;
}

void Row(const char* name, const char* locale, const QVariant& value, int kind,
         const QString& expected) {
    QTest::newRow(name) << QString::fromLatin1(locale) << value << kind << expected;
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
        Row("text: quote spliced", "pt_PT", "O'Neil", SqlText, "'O' + CHAR(39) + 'Neil'");
        Row("text: outer spaces go, a tab stays", "pt_PT", " \tabc  ", SqlText, "'\tabc'");
        Row("text: blank is null", "pt_PT", "   ", SqlText, kNull);
        Row("text kind 4: blank is empty", "pt_PT", " ", SqlTextEmpty, "''");
        Row("like: blanks are wildcards", "pt_PT", "O'Neil x", SqlLike,
            "'%O' + CHAR(39) + 'Neil%x%'");
        Row("number: true", "pt_PT", true, SqlNumber, "1");
        Row("number: letters and quotes are null", "pt_PT", "1' OR '1'='1", SqlNumber, kNull);
        Row("number: sign behind", "pt_PT", "12,5-", SqlNumber, "-12.5");
        Row("number: pt_PT grouping", "pt_PT", QString("1\u00a0234,50"), SqlNumber, "1234.50");
        Row("number: typed blanks group", "pt_PT", "1 234 567,5", SqlNumber, "1234567.5");
        Row("number: pt_BR grouping", "pt_BR", "1.234,50", SqlNumber, "1234.50");
        Row("number: en_US grouping", "en_US", "1,234.50", SqlNumber, "1234.50");
        Row("number: binary sum to 15 digits", "pt_PT", 0.1 + 0.2, SqlNumber7, "0.3");
        Row("date", "pt_PT", kSaturday, SqlDate, kDay);
        Row("date and time", "pt_PT", kSaturday, SqlDateTime,
            "CONVERT(DATETIME,'2026-12-05 14:03:09',102)");
        Row("typed date", "pt_PT", "05-12-2026", SqlDate, kDay);
        Row("ddmmyyyy", "pt_PT", "05122026", SqlDate, kDay);
        Row("ddmmyyyy of 1900 is a date", "pt_PT", "01011900", SqlDate,
            "CONVERT(DATETIME,'1900-01-01',102)");
        Row("1 January 1900 is no date", "pt_PT", "1900-01-01 00:00:00", SqlDateTime, kNull);
        Row("the zero date is no date", "pt_PT", QDate(1899, 12, 30), SqlDate, kNull);
        Row("impossible ddmmyyyy", "pt_PT", "31022026", SqlDate, kNull);
        Row("empty date mask", "pt_PT", " - - - ", SqlDateTime, kNull);
        Row("unknown kind", "pt_PT", "x", 8, "");
    }
    void sqlValue() {
        QFETCH(QString, locale);
        QFETCH(QVariant, value);
        QFETCH(int, kind);
        QFETCH(QString, expected);
        const ScopedLocale scope(locale);
        QCOMPARE(SqlValue(value, kind), expected);
    }

    void listValue_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expected");  // "error N" when it throws
        QTest::newRow("null is one blank") << QVariant() << int(ListAmount) << " ";
        QTest::newRow("amount") << QVariant(-1234.5) << int(ListAmount) << "- 1.234,50";
        QTest::newRow("whole: 2.5 to the even 2") << QVariant(2.5) << int(ListWhole) << "2";
        QTest::newRow("whole: 3.5 to the even 4") << QVariant("3,5") << int(ListWhole) << "4";
        QTest::newRow("whole: letters") << QVariant("abc") << int(ListWhole) << "error 13";
        QTest::newRow("whole: beyond 32 bits") << QVariant(3e9) << int(ListWhole) << "error 6";
    }
    void listValue() {
        QFETCH(QVariant, value);
        QFETCH(int, kind);
        QFETCH(QString, expected);
        const ScopedLocale scope(QStringLiteral("pt_BR"));  // "." groups, "," decimals
        QString shown;
        const std::optional<OrlaError> failure = Try([&] { shown = ListValue(value, kind); });
        QCOMPARE(failure ? QStringLiteral("error %1").arg(failure->number) : shown, expected);
    }

    void hostileTextsRoundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        const auto same = [](const char* name, const QString& text) {
            QTest::newRow(name) << text << text;
        };
        same("one quote", "'");
        same("closing and dropping", "'; DROP TABLE tbNotas; --");
        same("always true", "x' OR '1'='1");
        same("quote before a comment", "fim' -- comentário");
        same("the splice itself", "a' + CHAR(39) + 'b");
        same("many quotes", QString(1000, u'\''));
        QTest::newRow("NUL dropped") << QString("b'") + QChar(0) + "c"
                                     << "b'c";
    }
    void hostileTextsRoundTrip() {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        TestDatabase file;
        file.exec({"CREATE TABLE tbNotas (id INTEGER PRIMARY KEY, texto TEXT)",
                   "INSERT INTO tbNotas VALUES (1, 'primeira'), (2, 'segunda'), (3, 'terceira')"});
        Connection db(QStringLiteral("Data Source=") + file.path());
        db.Open();
        const QString texts = QStringLiteral("SELECT texto FROM tbNotas ORDER BY id");
        const QString ids = QStringLiteral("SELECT id FROM tbNotas WHERE texto %1 ORDER BY id");
        QString escaped = text;
        const QStringList statements{
            "UPDATE tbNotas SET texto = " + SqlValue(text, SqlText) + " WHERE id = 2",
            "INSERT INTO tbNotas (id, texto) VALUES (4, " + SqlValue(text, SqlTextEmpty) + ")",
            "UPDATE tbNotas SET texto = '" + ReplaceQuotes(escaped) + "' WHERE id = 3"};
        for (const QString& sql : statements)
            QCOMPARE(Try([&] { db.Execute(sql); }).value_or(OrlaError()).description, QString());
        QCOMPARE(Column(db, texts), QStringList({"primeira", stored, stored, stored}));
        QCOMPARE(Column(db, ids.arg("= " + SqlValue(text, SqlText))), QStringList({"2", "3", "4"}));
        QCOMPARE(Column(db, ids.arg("LIKE " + SqlValue(text, SqlLike))),
                 QStringList({"2", "3", "4"}));
    }
};

QTEST_GUILESS_MAIN(TestSqlLiterals)
#include "tst_sqlliterals.moc"
