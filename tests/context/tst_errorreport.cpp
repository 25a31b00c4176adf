// The error-report convention: which failures each filter lets through (the log the default
// reporter writes is checked with the settings' files, the numbered message where modules report).
#include "Recorders.h"
#include "platform/services/ErrorReport.h"

#include <QTest>

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
        QCOMPARE(services->reports.size(), reported ? 1 : 0);
    }
};

QTEST_MAIN(TestErrorReport)
#include "tst_errorreport.moc"
