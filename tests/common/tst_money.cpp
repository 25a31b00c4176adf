// Exact money: numbers and texts read to the ten-thousandth, and rounding to
// cents with halves to the even cent.
#include "common/Money.h"

#include <QTest>

#include <limits>

using namespace orla;

class TestMoney : public QObject {
    Q_OBJECT

  private slots:
    void fromVariant_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("units");  // none: invalid
        QTest::newRow("binary sum") << QVariant(0.1 + 0.2) << QVariant(3000LL);
        QTest::newRow("half a unit, away from zero") << QVariant(-0.00005) << QVariant(-1LL);
        QTest::newRow("text with a comma, sign behind")
            << QVariant("12,3456-") << QVariant(-123456LL);
        QTest::newRow("fifth decimal rounds") << QVariant("1.23455") << QVariant(12346LL);
        QTest::newRow("largest") << QVariant("922337203685477.5807")
                                 << QVariant(std::numeric_limits<qint64>::max());
        QTest::newRow("beyond the largest") << QVariant("922337203685477.5808") << QVariant();
        QTest::newRow("grouped text is refused, not misread") << QVariant("1.234,50") << QVariant();
        QTest::newRow("null") << QVariant() << QVariant();
    }
    void fromVariant() {
        QFETCH(QVariant, value);
        QFETCH(QVariant, units);
        const std::optional<Money> money = Money::FromVariant(value);
        QCOMPARE(money ? QVariant(money->Units()) : QVariant(), units);
    }

    void roundedToCents() {
        const QList<QPair<QString, qint64>> halves{{"1.235", 12400},
                                                   {"1.225", 12200},
                                                   {"1.2251", 12300},
                                                   {"-1.225", -12200},
                                                   {"0.9999", 10000}};
        for (const auto& [amount, units] : halves)
            QCOMPARE(Money::FromVariant(amount)->RoundedToCents().Units(), units);
    }
};

QTEST_GUILESS_MAIN(TestMoney)
#include "tst_money.moc"
