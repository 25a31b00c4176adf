// Exact money: reading numbers and texts to the ten-thousandth, and rounding
// to cents with halves to the even cent.
#include "ScopedLocale.h"
#include "common/Money.h"
#include "platform/db/Error.h"

#include <QTest>

#include <limits>

using namespace orla;
using namespace orla::test;

class TestMoney : public QObject {
    Q_OBJECT

  private slots:
    void fromVariant_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint64>("units");
        const QString pt = QStringLiteral("pt_PT");
        const QString en = QStringLiteral("en_US");
        const auto row = [](const char* name, const QString& locale, const QVariant& value,
                            bool valid, qint64 units) {
            QTest::newRow(name) << locale << value << valid << units;
        };
        row("double", pt, 1234.5, true, 12345000);
        row("a tenth, exactly", pt, 0.1, true, 1000);
        row("binary sum", pt, 0.1 + 0.2, true, 3000);
        row("half a unit, away from zero", pt, 0.00005, true, 1);
        row("negative half a unit", pt, -0.00005, true, -1);
        row("under half a unit", pt, 0.00004, true, 0);
        row("integer", pt, qlonglong(7), true, 70000);
        row("negative int", pt, -3, true, -30000);
        row("text with a point", pt, "1234.5", true, 12345000);
        row("text with a comma", pt, "1234,50", true, 12345000);
        row("negative text", pt, "-12,3456", true, -123456);
        row("sign behind", pt, "12,3456-", true, -123456);
        row("fifth decimal rounds", pt, "1.23455", true, 12346);
        row("blanks around", pt, " 7 ", true, 70000);
        row("largest", pt, "922337203685477.5807", true, std::numeric_limits<qint64>::max());
        row("en: text with a comma", en, "1234,50", true, 12345000);
        row("en: text with a point", en, "1234.5", true, 12345000);
        row("beyond the largest", pt, "922337203685477.5808", false, 0);
        row("grouped text is refused", pt, "1.234,50", false, 0);
        row("letters", pt, "abc", false, 0);
        row("empty", pt, "", false, 0);
        row("boolean", pt, true, false, 0);
        row("date", pt, QDate(2026, 12, 5), false, 0);
        row("null", pt, QVariant(), false, 0);
    }
    void fromVariant() {
        QFETCH(QString, locale);
        QFETCH(QVariant, value);
        QFETCH(bool, valid);
        QFETCH(qint64, units);
        const ScopedLocale scope(locale);
        const std::optional<Money> money = Money::FromVariant(value);
        QCOMPARE(money.has_value(), valid);
        if (money)
            QCOMPARE(money->Units(), units);
    }

    void fromDoubleOverflows_data() {
        QTest::addColumn<double>("value");
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("beyond the range") << 1e300;
    }
    void fromDoubleOverflows() {
        QFETCH(double, value);
        const std::optional<OrlaError> failure = Try([&] { Money::FromDouble(value); });
        QVERIFY(failure);
        QCOMPARE(failure->number, 6L);
    }

    void tenthsAddUpExactly() {
        Money total;
        for (int i = 0; i < 10; ++i)
            total += Money::FromDouble(0.1);
        QCOMPARE(total, Money::FromUnits(10000));
    }

    void plainText_data() {
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << qint64(300000) << "30";
        QTest::newRow("four decimals") << qint64(2005050) << "200.505";
        QTest::newRow("negative under one") << qint64(-3500) << "-0.35";
        QTest::newRow("negative") << qint64(-123456789) << "-12345.6789";
        QTest::newRow("zero") << qint64(0) << "0";
    }
    void plainText() {
        QFETCH(qint64, units);
        QFETCH(QString, text);
        QCOMPARE(Money::FromUnits(units).ToPlainText(), text);
        QCOMPARE(Money::FromVariant(text)->Units(), units);  // and it reads back the same
    }

    void roundedToCents_data() {
        QTest::addColumn<qint64>("units");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("under half") << qint64(12345) << qint64(12300);
        QTest::newRow("half, up to the even cent") << qint64(12350) << qint64(12400);
        QTest::newRow("half, down to the even cent") << qint64(12250) << qint64(12200);
        QTest::newRow("over half") << qint64(12251) << qint64(12300);
        QTest::newRow("negative half, to even") << qint64(-12250) << qint64(-12200);
        QTest::newRow("negative half, away") << qint64(-12350) << qint64(-12400);
        QTest::newRow("negative over half") << qint64(-12351) << qint64(-12400);
        QTest::newRow("to a whole unit") << qint64(9999) << qint64(10000);
        QTest::newRow("already cents") << qint64(12300) << qint64(12300);
        QTest::newRow("zero") << qint64(0) << qint64(0);
    }
    void roundedToCents() {
        QFETCH(qint64, units);
        QFETCH(qint64, expected);
        QCOMPARE(Money::FromUnits(units).RoundedToCents().Units(), expected);
    }
};

QTEST_GUILESS_MAIN(TestMoney)
#include "tst_money.moc"
