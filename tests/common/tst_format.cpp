// The formatter of the system's format strings and the conversions under it,
// with the separators of the locale each row names.
#include "ScopedLocale.h"
#include "common/Format.h"
#include "common/Separators.h"

#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

const QString kNbsp = QStringLiteral("\u00a0");
const QDateTime kSaturday(QDate(2026, 12, 5), QTime(14, 3, 9));

void Row(const char* name, const char* locale, const QVariant& value, const QString& format,
         const QString& expected) {
    QTest::newRow(name) << QString::fromLatin1(locale) << value << format << expected;
}

}  // namespace

class TestFormat : public QObject {
    Q_OBJECT

  private slots:
    void format_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected");
        Row("pt_PT groups every three digits with its no-break space", "pt_PT", 1234567.891,
            formats::kValor, "1" + kNbsp + "234" + kNbsp + "567,89");
        Row("pt_BR groups with a point", "pt_BR", 1234, formats::kValor, "1.234,00");
        Row("en_US groups with a comma", "en_US", -1234.5, formats::kEuro, "€ -1,234.50");
        Row("negative section without its sign", "pt_BR", -1234.5, formats::kValor, "- 1.234,50");
        Row("half a cent of the exact decimal rounds up", "pt_BR", 2.675, formats::kValor, "2,68");
        Row("negative half away from zero", "pt_BR", -2.665, formats::kValor, "- 2,67");
        Row("carry into a new group", "pt_BR", 999.995, formats::kValor, "1.000,00");
        Row("rounding to zero loses the sign", "pt_BR", -0.004, formats::kValor, "0,00");
        Row("percent rounds after scaling", "pt_BR", 0.00005, formats::kPercentagem, "0,01 %");
        Row("whole: half away from zero", "pt_BR", -2.5, formats::kInteiro, "-3");
        Row("typed text with blanks", "pt_PT", "1 234,5", "#,##0.00", "1" + kNbsp + "234,50");
        Row("text that is no number stays", "pt_BR", "abc", formats::kValor, "abc");
        Row("date and time", "pt_PT", kSaturday, formats::kDataHora, "05-12-2026 14:03:09");
        Row("mm after an hour is minutes", "pt_PT", kSaturday, "hh:mm mm/yyyy", "14:03 12/2026");
        Row("month name, quoted text", "pt_PT", QDate(2026, 3, 1), "dd \"de\" mmmm", "01 de março");
        Row("text of 15 significant digits", "pt_PT", 0.1 + 0.2, "", "0,3");
        Row("text: single precision", "pt_PT", QVariant(1.0f / 3), "", "0,3333333");
        Row("text: date at midnight", "pt_PT", QDate(2026, 12, 5), "", "05-12-2026");
    }
    void format() {
        QFETCH(QString, locale);
        QFETCH(QVariant, value);
        QFETCH(QString, format);
        QFETCH(QString, expected);
        const ScopedLocale scope(locale);
        QCOMPARE(Format(value, format), expected);
    }

    // Typed amounts: what EhNumero accepts and the number read.
    void numeroLido_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("expected");  // the number with ".", or "none"
        const auto row = [](const char* name, const char* locale, const QVariant& value,
                            const char* expected) {
            QTest::newRow(name) << QString::fromLatin1(locale) << value << expected;
        };
        row("pt_PT: its own grouping", "pt_PT", QString("1\u00a0234,5"), "1234.5");
        row("pt_PT: typed blanks", "pt_PT", " 1 234 567,50 ", "1234567.50");
        row("pt_PT: point and comma", "pt_PT", "1.234,5", "1234.5");
        row("pt_PT: a point alone is the decimal mark", "pt_PT", "12.5", "12.5");
        row("pt_PT: two points", "pt_PT", "1.2.3", "none");
        row("pt_BR: its own grouping", "pt_BR", "1.234,5", "1234.5");
        row("en_US: its own grouping", "en_US", "1,234.5", "1234.5");
        row("en_US: a comma alone is the decimal mark", "en_US", "12,5", "12.5");
        row("sign behind", "pt_PT", "12,5-", "-12.5");
        row("blanks around the sign", "pt_PT", " - 3 ", "-3");
        row("true is -1", "pt_PT", true, "-1");
        row("double to 15 digits", "pt_PT", 0.1 + 0.2, "0.3");
    }
    void numeroLido() {
        QFETCH(QString, locale);
        QFETCH(QVariant, value);
        QFETCH(QString, expected);
        const ScopedLocale scope(locale);
        const std::optional<Decimal> number = NumeroLido(value);
        QCOMPARE(number ? number->ToPlainText() : QStringLiteral("none"), expected);
        QCOMPARE(EhNumero(value), number.has_value());
    }

    // Stored dates are wall-clock values: the parts read are the parts written,
    // whatever the process's time zone, also at midnight of a daylight-saving
    // start (São Paulo, 4 November 2018) and in 1900 (Lisbon's offset of -0:36:45).
    void toDate_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QDateTime>("expected");  // invalid: not a date
        const auto row = [](const char* name, const QVariant& value, const QDateTime& expected) {
            QTest::newRow(name) << value << expected;
        };
        row("stored text", "2026-12-05 14:30:15", QDateTime(QDate(2026, 12, 5), QTime(14, 30, 15)));
        row("typed, one-digit day", "5/12/2026 14:30",
            QDateTime(QDate(2026, 12, 5), QTime(14, 30)));
        row("midnight of a daylight-saving start", "2018-11-04",
            QDateTime(QDate(2018, 11, 4), QTime(0, 0), Qt::UTC));
        row("no date", QDate(1900, 1, 1), QDateTime(QDate(1900, 1, 1), QTime(0, 0), Qt::UTC));
        row("a local value keeps its parts", kSaturday, kSaturday);
        row("no 31 February", "31-02-2026", QDateTime());
        row("no hour 25", "05-12-2026 25:00", QDateTime());
    }
    void toDate() {
        QFETCH(QVariant, value);
        QFETCH(QDateTime, expected);
        const std::optional<QDateTime> date = ToDate(value);
        QCOMPARE(date.has_value(), expected.isValid());
        if (date) {
            QCOMPARE(date->date(), expected.date());
            QCOMPARE(date->time(), expected.time());
            QCOMPARE(date->timeSpec(), Qt::UTC);  // no zone can shift it later
        }
    }

    void roundHalfEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<double>("expected");
        QTest::newRow("2.675: the decimal's half, up to even") << 2.675 << 2 << 2.68;
        QTest::newRow("2.665: down to even") << 2.665 << 2 << 2.66;
        QTest::newRow("binary sum") << 0.1 + 0.2 << 2 << 0.3;
    }
    void roundHalfEven() {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(double, expected);
        QCOMPARE(RoundHalfEven(value, decimals), expected);
    }
};

QTEST_GUILESS_MAIN(TestFormat)
#include "tst_format.moc"
