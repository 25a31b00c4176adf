// The error-report convention: the three filters, a guarded call that fails,
// and the default reporter's log (the numbered message is checked where
// modules report).
#include "Recorders.h"
#include "platform/services/ErrorReport.h"

#include <QFile>
#include <QTemporaryDir>
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
        QTest::newRow("shared: 3709") << shared << 3709L << "Fechada" << false;
        QTest::newRow("shared: blank text") << shared << 5L << " \t " << false;
        QTest::newRow("fill: 3709") << fill << 3709L << "Fechada" << true;
        QTest::newRow("fill: blank text") << fill << 5L << "" << true;
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

    void guardKeepsWhatWasAssignedBeforeTheError() {
        ScopedServicesRecorder services;
        QString result;
        const bool finished = Guard({"modX", "Proc"}, [&] {
            result = "parcial";
            throw std::runtime_error("inesperado");
        });
        QVERIFY(!finished);
        QCOMPARE(result, QStringLiteral("parcial"));
        QCOMPARE(services->reports.size(), 1);
        QCOMPARE(services->reports.first().texts.last(), QStringLiteral("inesperado"));
        QVERIFY(Guard({"modX", "Proc"}, [] {}));
        QCOMPARE(services->reports.size(), 1);
    }

    // The five texts in order, as the default reporter logs them.
    void defaultReporterWritesTheLog() {
        QTemporaryDir dir;
        qputenv("ORLA_COMMON_APPDATA", dir.path().toUtf8());
        ReportError({"General", "SQLConnect"}, OrlaError(5, "Falha de teste"));
        qunsetenv("ORLA_COMMON_APPDATA");
        QFile log(dir.path() + "/Nexo Software/OrlaContas.log");
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(log.readAll());
        QVERIFY2(
            text.contains("Nexo Software | Orla Contas | General | SQLConnect | Falha de teste"),
            qPrintable(text));
    }
};

QTEST_MAIN(TestErrorReport)
#include "tst_errorreport.moc"
