// Fill of the statement window for an account with 100,000 movements, against
// the floor of merely reading the same rows through the same data layer; then
// the statement report of the rows listed, from the window to the file with the
// demo's template, against the floor of writing as many bytes.
#include "BestOf.h"
#include "BigAccount.h"
#include "common/ControlValues.h"
#include "component/General.h"
#include "context/Context.h"
#include "platform/SharedFiles.h"
#include "platform/db/Values.h"
#include "printing/StatementReport.h"
#include "statement/Reconciliation.h"
#include "statement/StatementQueries.h"
#include "statement/StatementReportSource.h"
#include "statement/StatementUpdate.h"
#include "statement/frmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Portugal));
    QTemporaryDir dir;
    orla::General general;
    if (!ConnectToBigAccount(dir, general, "bench_fill"))
        return 1;
    orla::frmMain& window = *general.Window();
    window.Load();
    window.FXData_Inicio->setDate(QDate::currentDate().addDays(-1200));
    window.FXData_Fim->setDate(QDate::currentDate());
    window.FXConta_ID->setCurrentIndex(window.FXConta_ID->findData(70));

    // The floor: the same movements read through the same data layer, every field touched.
    const QString sql =
        orla::MovementsQuery(70, orla::StartBound(window.FXData_Inicio->date()),
                             orla::EndBound(window.FXData_Fim->date()), std::nullopt, false);
    long rows = 0;
    const double floorMs = BestOf([&] {
        rows = 0;
        orla::Recordset rs = orla::Data().SqlServer.Execute(sql);
        const QStringList names = rs.FieldNames();
        while (!rs.Eof()) {
            for (const QString& name : names)
                (void)rs.Value(name);
            ++rows;
            rs.MoveNext();
        }
        rs.Close();
    });
    const double fillMs = BestOf([&] { window.Fill(); });
    const int listed = window.ListModel()->RowCount();
    const double ratio = fillMs / floorMs;
    std::printf("movements read: %ld, rows listed: %d\n", rows, listed);
    std::printf("floor (read the rows): %.1f ms\n", floorMs);
    std::printf("Fill:                  %.1f ms\n", fillMs);
    std::printf("ratio Fill/floor:      %.2f (goal: at most 2.00)\n", ratio);

    // The report as the print dialog builds it: the list's rows read, then filled and written.
    QString report = dir.filePath("Extrato_Conta.doc");
    orla::StatementReportSource source;
    const double readMs = BestOf([&] { source = orla::ReadStatementReportSource(window); });
    const double reportMs = BestOf([&] { orla::DoReport(source, report); });
    const QByteArray same(QFileInfo(report).size(), 'x');
    const double writeMs = BestOf([&] {
        if (orla::WriteWholeFile(dir.filePath("floor.bin"), same, orla::Placement::Private) != 0)
            std::fprintf(stderr, "bench_fill: could not write the floor file\n");
    });
    std::printf("report: %lld bytes\n", static_cast<long long>(same.size()));
    std::printf("floor (write the bytes): %.1f ms\n", writeMs);
    std::printf("read the list's rows:    %.1f ms\n", readMs);
    std::printf("DoReport:                %.1f ms\n", reportMs);
    std::printf("ratio (read + DoReport)/floor: %.2f (goal: at most 5.00)\n",
                (readMs + reportMs) / writeMs);

    // A tick of the newest unreconciled movement, as the window lists it afterwards: the bank
    // date written, the movement moved in the list and the balances after it counted again,
    // against a whole refill.
    orla::Statement statement;
    for (int r = 0; r < listed; ++r)
        statement.rows.push_back(window.ListModel()->Row(r));
    int row = 0;
    while (row < listed &&
           (statement.rows[size_t(row)].checked || statement.rows[size_t(row)].Origin() != 1))
        ++row;
    const orla::StatementRow& ticked = statement.rows[size_t(row)];
    const orla::SourceRecord record{1, ticked.armazem.value_or(0), ticked.doc.value_or(0)};
    const orla::ListedPeriod period{window.FXData_Inicio->date(), window.FXData_Fim->date(), false,
                                    QDate::currentDate()};
    QElapsedTimer clock;
    clock.start();
    orla::Reconcile(orla::Data().SqlServer, record, QDate::currentDate().addDays(-1));
    orla::ListReconciled(statement, row, orla::WallClock(QDate::currentDate().addDays(-1)), period);
    const double tickMs = double(clock.nsecsElapsed()) / 1e6;
    std::printf("tick listed in place:  %.1f ms (goal: under 100 ms; a refill takes %.1f ms)\n",
                tickMs, fillMs);
    return 0;
}
