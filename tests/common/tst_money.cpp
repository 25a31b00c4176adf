// Exact money: numbers and texts read to the ten-thousandth, plain text, and
// rounding to cents with halves to the even cent.
#include "common/Money.h"
#include "platform/db/Error.h"

#include <QTest>

#include <limits>

using namespace orla;

class TestMoney : public QObject {
    Q_OBJECT

  private slots:
    void fromVariant_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("expected");  // ToPlainText, or "none"
        QTest::newRow("binary sum") << QVariant(0.1 + 0.2) << "0.3";
        QTest::newRow("half a unit, away from zero") << QVariant(-0.00005) << "-0.0001";
        QTest::newRow("text with a comma, sign behind") << QVariant("12,3456-") << "-12.3456";
        QTest::newRow("fifth decimal rounds") << QVariant("1.23455") << "1.2346";
        QTest::newRow("largest") << QVariant("922337203685477.5807") << "922337203685477.5807";
        QTest::newRow("beyond the largest") << QVariant("922337203685477.5808") << "none";
        QTest::newRow("grouped text is refused, not misread") << QVariant("1.234,50") << "none";
        QTest::newRow("boolean") << QVariant(true) << "none";
        QTest::newRow("null") << QVariant() << "none";
    }
    void fromVariant() {
        QFETCH(QVariant, value);
        QFETCH(QString, expected);
        const std::optional<Money> money = Money::FromVariant(value);
        QCOMPARE(money ? money->ToPlainText() : QStringLiteral("none"), expected);
    }

    void infinityOverflows() {
        const std::optional<OrlaError> failure =
            Try([] { Money::FromDouble(std::numeric_limits<double>::infinity()); });
        QCOMPARE(failure.value_or(OrlaError()).number, 6L);
    }

    void roundedToCents() {
        const QList<QPair<QString, QString>> halves{{"1.235", "1.24"},
                                                    {"1.225", "1.22"},
                                                    {"1.2251", "1.23"},
                                                    {"-1.225", "-1.22"},
                                                    {"0.9999", "1"}};
        for (const auto& [amount, cents] : halves)
            QCOMPARE(Money::FromVariant(amount)->RoundedToCents().ToPlainText(), cents);
    }
};

QTEST_GUILESS_MAIN(TestMoney)
#include "tst_money.moc"
