// The error-report convention: the three filters and a guarded call that
// fails. The five texts and the numbered message are checked where modules
// report (permissions), the default reporter's log with the shared folder's
// files.
#include "Recorders.h"
#include "context/ErrorReport.h"

#include <QTest>

#include <stdexcept>

using namespace orla;
using namespace orla::test;

class TestErrorReport : public QObject {
    Q_OBJECT

  private slots:
    void filters_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<long>("number");
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("reported");
        const int entry = int(ReportFilter::NotZeroNor3709);
        const int shared = int(ReportFilter::NotZeroNor3709NorBlank);
        const int fill = int(ReportFilter::NotZero);
        QTest::newRow("any filter: 0") << shared << 0L << "Falhou" << false;
        QTest::newRow("entry: 3709") << entry << 3709L << "Fechada" << false;
        QTest::newRow("entry: blank text") << entry << 5L << "   " << true;
        QTest::newRow("shared: ordinary") << shared << -2147217900L << "Sintaxe" << true;
        QTest::newRow("shared: blank text") << shared << 5L << " \t " << false;
        QTest::newRow("fill: 3709") << fill << 3709L << "Fechada" << true;
    }
    void filters() {
        QFETCH(int, filter);
        QFETCH(long, number);
        QFETCH(QString, description);
        QFETCH(bool, reported);
        ScopedServicesRecorder services;
        const ErrorSite site{"frmMain", "Fill", ReportFilter(filter)};
        QVERIFY(!Guard(site, [&] { throw OrlaError(number, description); }));
        QCOMPARE(services.log().reports.size(), reported ? 1 : 0);
    }

    void guardKeepsWhatWasAssignedBeforeTheError() {
        ScopedServicesRecorder services;
        QString result;
        const bool finished = Guard({"modX", "Proc"}, [&] {
            result = "parcial";
            throw std::runtime_error("inesperado");
        });
        QVERIFY(!finished);
        QCOMPARE(result, QStringLiteral("parcial"));
        QCOMPARE(services.log().reports.size(), 1);
        QCOMPARE(services.log().reports.first().texts.last(), QStringLiteral("inesperado"));
        QVERIFY(Guard({"modX", "Proc"}, [] {}));
        QCOMPARE(services.log().reports.size(), 1);
    }
};

QTEST_MAIN(TestErrorReport)
#include "tst_errorreport.moc"
