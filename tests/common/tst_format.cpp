// The formatter of the system's format strings and the conversions under it,
// in the Portuguese (Portugal) locale and in one with "." decimals.
#include "ScopedLocale.h"
#include "common/Format.h"
#include "common/Separators.h"
#include "platform/db/Error.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace orla;
using namespace orla::test;

namespace {

const QString kPt = QStringLiteral("pt_PT");
const QString kEn = QStringLiteral("en_US");

const QDateTime kSaturday(QDate(2026, 12, 5), QTime(14, 3, 9));
const QDateTime kMarchMorning(QDate(2026, 3, 1), QTime(7, 5, 0));

void AddFormatColumns() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
}

void CompareFormat() {
    QFETCH(QString, locale);
    QFETCH(QVariant, value);
    QFETCH(QString, format);
    QFETCH(QString, expected);
    const ScopedLocale scope(locale);
    QCOMPARE(Format(value, format), expected);
}

}  // namespace

class TestFormat : public QObject {
    Q_OBJECT

  private slots:
    void numbers_data() {
        AddFormatColumns();
        const QString euro3 = QStringLiteral("€ #,##0.000;€ -#,##0.000");
        const QString euro4 = QStringLiteral("€ #,##0.0000;€ -#,##0.0000");
        const auto row = [](const char* name, const QString& locale, const QVariant& value,
                            const QString& format, const QString& expected) {
            QTest::newRow(name) << locale << value << format << expected;
        };
        row("grouped every three digits", kPt, 1234567.891, formats::kValor, "1.234.567,89");
        row("four digits grouped too", kPt, 1234, formats::kValor, "1.234,00");
        row("three digits", kPt, 123, formats::kValor, "123,00");
        row("zero", kPt, 0, formats::kValor, "0,00");
        row("negative section without its sign", kPt, -1234.5, formats::kValor, "- 1.234,50");
        row("half a cent rounds up", kPt, 2.675, formats::kValor, "2,68");
        row("half a cent after an even digit", kPt, 2.665, formats::kValor, "2,67");
        row("negative half away from zero", kPt, -2.675, formats::kValor, "- 2,68");
        row("just under half", kPt, 2.674999, formats::kValor, "2,67");
        row("carry into a new group", kPt, 999.995, formats::kValor, "1.000,00");
        row("negative rounding to zero loses its sign", kPt, -0.004, formats::kValor, "0,00");
        row("tiny", kPt, 1e-7, formats::kValor, "0,00");
        row("large", kPt, 1e15, formats::kValor, "1.000.000.000.000.000,00");
        row("single precision", kPt, QVariant(0.1f), formats::kValor, "0,10");
        row("one section: minus in front", kPt, -1234.5, "#,##0.00", "-1.234,50");
        row("blank before the negative section", kPt, -5, "#,##0.00; - #,##0.00", " - 5,00");
        row("euro", kPt, 1234.5, formats::kEuro, "€ 1.234,50");
        row("negative euro", kPt, -1234.5, formats::kEuro, "€ -1.234,50");
        row("euro, 3 decimals, negative half", kPt, -0.0005, euro3, "€ -0,001");
        row("euro, 4 decimals", kPt, 1234.56785, euro4, "€ 1.234,5679");
        row("3 decimals", kPt, 1234.5675, "#,##0.000", "1.234,568");
        row("percent", kPt, 0.125, formats::kPercentagem, "12,50 %");
        row("negative percent", kPt, -0.125, formats::kPercentagem, "-12,50 %");
        row("percent rounds after scaling", kPt, 0.00005, formats::kPercentagem, "0,01 %");
        row("whole", kPt, 1234567, formats::kInteiro, "1.234.567");
        row("whole: half away from zero", kPt, 2.5, formats::kInteiro, "3");
        row("whole: negative half", kPt, -2.5, formats::kInteiro, "-3");
        row("whole: under half", kPt, 0.4, formats::kInteiro, "0");
        row("64-bit whole", kPt, qlonglong(123456789012), formats::kInteiro, "123.456.789.012");
        row("quoted text after the number", kPt, 1234.5, "#,##0.00 \"kg\"", "1.234,50 kg");
        row("text with the locale's separators", kPt, "1.234,5", formats::kValor, "1.234,50");
        row("typed text without grouping", kPt, "1234,5", "#,##0.00", "1.234,50");
        row("text that is no number stays", kPt, "abc", formats::kValor, "abc");
        row("null", kPt, QVariant(), formats::kValor, "");
        row("en: grouped", kEn, 1234567.891, formats::kValor, "1,234,567.89");
        row("en: negative euro", kEn, -1234.5, formats::kEuro, "€ -1,234.50");
        row("en: percent", kEn, 0.125, formats::kPercentagem, "12.50 %");
        row("en: text", kEn, "1,234.5", formats::kValor, "1,234.50");
        row("en: Portuguese text is no number", kEn, "1.234,5", formats::kValor, "1.234,5");
    }
    void numbers() { CompareFormat(); }

    void dates_data() {
        AddFormatColumns();
        const auto row = [](const char* name, const QString& locale, const QVariant& value,
                            const QString& format, const QString& expected) {
            QTest::newRow(name) << locale << value << format << expected;
        };
        row("date", kPt, kSaturday, formats::kData, "05-12-2026");
        row("date and time", kPt, kSaturday, formats::kDataHora, "05-12-2026 14:03:09");
        row("date, hours and minutes", kPt, kSaturday, "dd-mm-yyyy Hh:Nn", "05-12-2026 14:03");
        row("iso date", kPt, kSaturday, formats::kDataIso, "2026-12-05");
        row("iso date and time", kPt, kSaturday, formats::kDataHoraIso, "2026-12-05 14:03:09");
        row("day and month name", kPt, kSaturday, "dd mmmm", "05 dezembro");
        row("year", kPt, kSaturday, "yyyy", "2026");
        row("long date", kPt, kSaturday, "dddddd", "sábado, 5 de dezembro de 2026");
        row("mm after an hour is minutes", kPt, kSaturday, "hh:mm", "14:03");
        row("mm alone is the month", kPt, kSaturday, "mm/yyyy", "12/2026");
        row("single-digit codes", kPt, kMarchMorning, "d-m-yy h:n:s", "1-3-26 7:5:0");
        row("midnight", kPt, QDateTime(QDate(2026, 3, 1), QTime(0, 0)), formats::kDataHora,
            "01-03-2026 00:00:00");
        row("a date without time", kPt, QDate(2026, 3, 1), "dd mmmm", "01 março");
        row("quoted text kept", kPt, kSaturday, "dd \"de\" mmmm", "05 de dezembro");
        row("embedded database text", kPt, "2026-03-01 07:05:00", "dd-mm-yyyy Hh:Nn",
            "01-03-2026 07:05");
        row("typed text", kPt, "05-12-2026", formats::kDataIso, "2026-12-05");
        row("impossible date stays", kPt, "30-02-2026", formats::kDataIso, "30-02-2026");
        row("text that is no date stays", kPt, "amanhã", formats::kData, "amanhã");
        row("en: month name", kEn, kSaturday, "dd mmmm", "05 December");
        row("en: long date", kEn, kSaturday, "dddddd", "Saturday, December 5, 2026");
        row("en: short names", kEn, kSaturday, "ddd, dd mmm", "Sat, 05 Dec");
    }
    void dates() { CompareFormat(); }

    void textOf_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("decimal") << kPt << QVariant(12.5) << "12,5";
        QTest::newRow("shortest decimal") << kPt << QVariant(0.1) << "0,1";
        QTest::newRow("no exponent") << kPt << QVariant(1e-7) << "0,0000001";
        QTest::newRow("whole") << kPt << QVariant(qlonglong(-7)) << "-7";
        QTest::newRow("single precision") << kPt << QVariant(0.125f) << "0,125";
        QTest::newRow("single precision, seven digits") << kPt << QVariant(1.0f / 3) << "0,3333333";
        QTest::newRow("true") << kPt << QVariant(true) << "True";
        QTest::newRow("date") << kPt << QVariant(QDate(2026, 12, 5)) << "05-12-2026";
        QTest::newRow("date and time") << kPt << QVariant(kSaturday) << "05-12-2026 14:03:09";
        QTest::newRow("text") << kPt << QVariant("O'Neil") << "O'Neil";
        QTest::newRow("null") << kPt << QVariant() << "";
        QTest::newRow("en: decimal") << kEn << QVariant(12.5) << "12.5";
    }
    void textOf() {
        QFETCH(QString, locale);
        QFETCH(QVariant, value);
        QFETCH(QString, expected);
        const ScopedLocale scope(locale);
        QCOMPARE(TextOf(value), expected);
    }

    void toNumber_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("expected");  // invalid: not a number
        const QVariant none;
        QTest::newRow("grouped text") << kPt << QVariant("1.234,5") << QVariant(1234.5);
        QTest::newRow("plain text") << kPt << QVariant("1234,5") << QVariant(1234.5);
        QTest::newRow("sign behind") << kPt << QVariant("12,5-") << QVariant(-12.5);
        QTest::newRow("blanks around the sign") << kPt << QVariant(" - 3 ") << QVariant(-3.0);
        QTest::newRow("plus") << kPt << QVariant("+7") << QVariant(7.0);
        QTest::newRow("exponent") << kPt << QVariant("1E3") << QVariant(1000.0);
        QTest::newRow("decimal and exponent") << kPt << QVariant("2,5e-1") << QVariant(0.25);
        QTest::newRow("number") << kPt << QVariant(2.5) << QVariant(2.5);
        QTest::newRow("true is -1") << kPt << QVariant(true) << QVariant(-1.0);
        QTest::newRow("letters") << kPt << QVariant("abc") << none;
        QTest::newRow("empty") << kPt << QVariant("") << none;
        QTest::newRow("sign alone") << kPt << QVariant("-") << none;
        QTest::newRow("two decimal separators") << kPt << QVariant("1,2,3") << none;
        QTest::newRow("trailing letter") << kPt << QVariant("12a") << none;
        QTest::newRow("two signs") << kPt << QVariant("-1-") << none;
        QTest::newRow("exponent without digits") << kPt << QVariant("1E") << none;
        QTest::newRow("exponent beyond doubles") << kPt << QVariant("1E999") << none;
        QTest::newRow("other digits") << kPt << QVariant(QString::fromUtf16(u"١٢")) << none;
        QTest::newRow("date") << kPt << QVariant(QDate(2026, 12, 5)) << none;
        QTest::newRow("null") << kPt << QVariant() << none;
        QTest::newRow("en: grouped text") << kEn << QVariant("1,234.5") << QVariant(1234.5);
        QTest::newRow("en: Portuguese text") << kEn << QVariant("1.234,5") << none;
    }
    void toNumber() {
        QFETCH(QString, locale);
        QFETCH(QVariant, value);
        QFETCH(QVariant, expected);
        const ScopedLocale scope(locale);
        const std::optional<double> number = ToNumber(value);
        QCOMPARE(number.has_value(), expected.isValid());
        if (number)
            QCOMPARE(*number, expected.toDouble());
    }

    void toDate_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QDateTime>("expected");  // invalid: not a date
        const QDate day(2026, 12, 5);
        const QDateTime midnight(day, QTime(0, 0));
        const QDateTime none;
        QTest::newRow("dd-mm-yyyy") << QVariant("05-12-2026") << midnight;
        QTest::newRow("one-digit day, hours and minutes")
            << QVariant("5-12-2026 14:30") << QDateTime(day, QTime(14, 30));
        QTest::newRow("with seconds")
            << QVariant("05-12-2026 14:30:15") << QDateTime(day, QTime(14, 30, 15));
        QTest::newRow("dd/mm/yyyy") << QVariant("05/12/2026") << midnight;
        QTest::newRow("yyyy-mm-dd") << QVariant("2026-12-05") << midnight;
        QTest::newRow("embedded database text")
            << QVariant("2026-12-05 14:30:15") << QDateTime(day, QTime(14, 30, 15));
        QTest::newRow("date") << QVariant(day) << midnight;
        QTest::newRow("date and time") << QVariant(kSaturday) << kSaturday;
        QTest::newRow("no 31 February") << QVariant("31-02-2026") << none;
        QTest::newRow("no hour 25") << QVariant("05-12-2026 25:00") << none;
        QTest::newRow("two-digit year") << QVariant("05-12-26") << none;
        QTest::newRow("mixed separators") << QVariant("05-12/2026") << none;
        QTest::newRow("letters") << QVariant("abc") << none;
        QTest::newRow("number") << QVariant(45000) << none;
        QTest::newRow("invalid date") << QVariant(QDateTime()) << none;
        QTest::newRow("null") << QVariant() << none;
    }
    void toDate() {
        QFETCH(QVariant, value);
        QFETCH(QDateTime, expected);
        const std::optional<QDateTime> date = ToDate(value);
        QCOMPARE(date.has_value(), expected.isValid());
        if (date)
            QCOMPARE(*date, expected);
    }

    void clng_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::addColumn<long>("error");
        QTest::newRow("2.5 to 2") << 2.5 << 2 << 0L;
        QTest::newRow("3.5 to 4") << 3.5 << 4 << 0L;
        QTest::newRow("0.5 to 0") << 0.5 << 0 << 0L;
        QTest::newRow("-2.5 to -2") << -2.5 << -2 << 0L;
        QTest::newRow("-3.5 to -4") << -3.5 << -4 << 0L;
        QTest::newRow("under half") << 2.4999 << 2 << 0L;
        QTest::newRow("over half") << 2.5001 << 3 << 0L;
        QTest::newRow("largest") << 2147483647.4 << 2147483647 << 0L;
        QTest::newRow("smallest, half to even") << -2147483648.5 << int(-2147483648LL) << 0L;
        QTest::newRow("half over the largest") << 2147483647.5 << 0 << 6L;
        QTest::newRow("ten digits") << 1e10 << 0 << 6L;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 0 << 6L;
    }
    void clng() {
        QFETCH(double, value);
        QFETCH(int, expected);
        QFETCH(long, error);
        qint32 result = 0;
        const std::optional<OrlaError> failure = Try([&] { result = CLng(value); });
        QCOMPARE(failure ? failure->number : 0L, error);
        QCOMPARE(result, expected);
    }

    void roundHalfEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<double>("expected");
        QTest::newRow("2.675: half, up to even 8") << 2.675 << 2 << 2.68;
        QTest::newRow("2.665: half, down to even 6") << 2.665 << 2 << 2.66;
        QTest::newRow("0.125 to 0.12") << 0.125 << 2 << 0.12;
        QTest::newRow("0.135 to 0.14") << 0.135 << 2 << 0.14;
        QTest::newRow("-0.125 to -0.12") << -0.125 << 2 << -0.12;
        QTest::newRow("over half") << 0.1251 << 2 << 0.13;
        QTest::newRow("four decimals, even") << 1234.56785 << 4 << 1234.5678;
        QTest::newRow("four decimals, odd") << 1234.56795 << 4 << 1234.568;
        QTest::newRow("three decimals, to a zero") << 1.0005 << 3 << 1.0;
        QTest::newRow("2.5 to 2") << 2.5 << 0 << 2.0;
        QTest::newRow("3.5 to 4") << 3.5 << 0 << 4.0;
        QTest::newRow("binary sum") << 0.1 + 0.2 << 2 << 0.3;
        QTest::newRow("fewer decimals than asked") << 1.5 << 3 << 1.5;
    }
    void roundHalfEven() {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(double, expected);
        QCOMPARE(RoundHalfEven(value, decimals), expected);
    }

    void roundToNegativeDecimalsIsRefused() {
        const std::optional<OrlaError> failure = Try([] { RoundHalfEven(1.5, -1); });
        QVERIFY(failure);
        QCOMPARE(failure->number, 5L);
    }

    void separators_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("decimal");
        QTest::addColumn<QString>("thousands");
        QTest::newRow("Portuguese") << kPt << ","
                                    << ".";
        QTest::newRow("English") << kEn << "."
                                 << ",";
    }
    void separators() {
        QFETCH(QString, locale);
        QFETCH(QString, decimal);
        QFETCH(QString, thousands);
        const ScopedLocale scope(locale);
        QCOMPARE(SeparadorDecimal(), decimal);
        QCOMPARE(SeparadorMilhares(), thousands);
        QCOMPARE(SeparadorDecimalCurto(), decimal);
    }

    void ehNumero_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("expected");
        QTest::newRow("decimal comma") << kPt << QVariant("1234,5") << true;
        QTest::newRow("grouped") << kPt << QVariant("1.234,5") << true;
        QTest::newRow("point taken as the decimal") << kPt << QVariant("12.5") << true;
        QTest::newRow("both: the point goes") << kPt << QVariant("1,234.5") << true;
        QTest::newRow("two points") << kPt << QVariant("1.2.3") << false;
        QTest::newRow("sign behind") << kPt << QVariant("12,5-") << true;
        QTest::newRow("letters") << kPt << QVariant("abc") << false;
        QTest::newRow("empty") << kPt << QVariant("") << false;
        QTest::newRow("blanks") << kPt << QVariant("   ") << false;
        QTest::newRow("currency sign") << kPt << QVariant("€ 5") << false;
        QTest::newRow("double") << kPt << QVariant(2.5) << true;
        QTest::newRow("integer") << kPt << QVariant(7) << true;
        QTest::newRow("boolean") << kPt << QVariant(true) << true;
        QTest::newRow("date") << kPt << QVariant(QDate(2026, 12, 5)) << false;
        QTest::newRow("null") << kPt << QVariant() << false;
        QTest::newRow("en: grouped") << kEn << QVariant("1,234.5") << true;
        QTest::newRow("en: comma taken as the decimal") << kEn << QVariant("12,5") << true;
        QTest::newRow("en: two commas") << kEn << QVariant("1,2,3") << false;
    }
    void ehNumero() {
        QFETCH(QString, locale);
        QFETCH(QVariant, value);
        QFETCH(bool, expected);
        const ScopedLocale scope(locale);
        QCOMPARE(EhNumero(value), expected);
    }

    void ehNumeroKeepsTheSeparatorsItFirstRead() {
        const ScopedLocale portuguese(kPt);
        QVERIFY(EhNumero("1"));
        QLocale::setDefault(QLocale(kEn));
        // Still Portuguese: the point is the thousands separator and goes.
        QCOMPARE(NumeroLido("1.234,5")->ToDouble(), 1234.5);
        EsquecerSeparadoresLidos();
        QCOMPARE(NumeroLido("1.234,5")->ToDouble(), 1.2345);
    }
};

QTEST_GUILESS_MAIN(TestFormat)
#include "tst_format.moc"
