// The statement window's fill: opening balance, running balance, ordering, totals, filters
// and a movement moved while it fills, on a database made for each test.
#include "ScopedLocale.h"
#include "StatementFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTreeView>

#include <atomic>
#include <thread>

using namespace orla;
using namespace orla::test;

namespace {

// "key saldo" of every row, top to bottom.
QStringList Balances(StatementFixture& f) {
    QStringList rows;
    for (int r = 0; r < f.window().ListModel()->RowCount(); ++r)
        rows << f.window().ListModel()->Row(r).Key() + ' ' + f.texts(r).at(ColSaldo);
    return rows;
}

}  // namespace

class TestStatementFill : public QObject {
    Q_OBJECT
    ScopedLocale locale_{QStringLiteral("pt_BR")};  // "." groups, "," decimals

  private slots:
    void openingBalanceRunningBalanceAndTotals() {
        StatementFixture f;
        f.add(1, 901, Day(-50), "100");  // before the period
        f.add(2, 902, Day(-10), "30");
        f.add(1, 903, Day(-5), "200.505", Day(-5));  // reconciled, rounds to even: 200,50
        f.add(1, 904, Day(-4), "-35");               // a negative debit is a credit
        f.exec(
            {"INSERT INTO tbContas_Bancarias_Movimentos (mov_id, origem_id, conta_id, "
             "armazem_id, data, debito, credito, modo_pagamento_id) VALUES (901, 6, 60, 0, '" +
             Day(-3) + "', NULL, 2.5, 1)"});  // no debit: no amount cells, nor totals
        for (int day = 1; day <= 40; ++day)   // future movements above the rest
            f.add(7, 1000 + day, Day(day), "1");
        f.open();
        StatementModel* model = f.window().ListModel();
        QCOMPARE(model->RowCount(), 45);
        QCOMPARE(f.texts(44),
                 QStringList({"- - -", "S.A.", "Saldo Anterior", "", "", "", "", "", "1.100,00"}));
        QVERIFY(model->Row(44).IsOpening());
        QCOMPARE(f.texts(43),
                 QStringList({Shown(-10), "Recibo Fornecedor", f.texts(43)[ColEntidade], "REF 902",
                              "Numerário", "R 902", "", "€ 30,00", "1.070,00"}));
        QCOMPARE(f.texts(42).mid(ColDebito), QStringList({"€ 200,51", "", "1.270,50"}));
        QCOMPARE(model->Row(42).Key(), "#11903");
        QCOMPARE(model->Row(42).date,
                 QDateTime(QDate::currentDate().addDays(-5), QTime(10, 0), Qt::UTC));
        QVERIFY(model->Row(42).checked && !model->Row(43).checked);
        QCOMPARE(f.texts(41).mid(ColDebito), QStringList({"", "€ 35,00", "1.235,50"}));
        QCOMPARE(f.texts(40).mid(ColDebito), QStringList({"", "", "1.233,00"}));
        QCOMPARE(f.texts(0).at(ColSaldo), QStringLiteral("1.273,00"));
        QVERIFY(model->Row(0).future && !model->Row(40).future);
        QCOMPARE(f.window().FXDebitos->text(), QStringLiteral("€ 240,51"));
        QCOMPARE(f.window().FXCreditos->text(), QStringLiteral("€ 65,00"));
        // The list ends scrolled to the newest movement up to today.
        QTreeView* list = f.window().ListView1;
        QVERIFY(list->viewport()->rect().contains(list->visualRect(model->index(40, 0))));
    }

    // Same-day movements come reconciled first, then by document, before the
    // list puts the newest on top: 900 above 903.
    void openingBalanceFollowsTheFilters_data() {
        QTest::addColumn<bool>("earlier");
        QTest::addColumn<bool>("ignorar");
        QTest::addColumn<bool>("concilOnly");
        QTest::addColumn<QString>("openingDate");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("all") << true << false << false << "- - -"
                             << QStringList{"#11900 1.131,00", "#11903 1.130,00", "#21902 1.110,00",
                                            "#0 1.140,00"};
        QTest::newRow("unreconciled only: the pending amount")
            << true << false << true << "- - -"
            << QStringList{"#11900 71,00", "#21902 70,00", "#0 100,00"};
        QTest::newRow("ignoring earlier: from the stored saldo")
            << true << true << false << ""
            << QStringList{"#11900 991,00", "#11903 990,00", "#21902 970,00"};
        QTest::newRow("both") << true << true << true << ""
                              << QStringList{"#11900 971,00", "#21902 970,00"};
        QTest::newRow("nothing earlier")
            << false << false << false << Shown(-100)
            << QStringList{"#11900 991,00", "#11903 990,00", "#21902 970,00", "#0 1.000,00"};
        QTest::newRow("nothing earlier, unreconciled only")
            << false << false << true << Shown(-100)
            << QStringList{"#11900 - 29,00", "#21902 - 30,00", "#0 0,00"};
    }
    void openingBalanceFollowsTheFilters() {
        QFETCH(bool, earlier);
        QFETCH(bool, ignorar);
        QFETCH(bool, concilOnly);
        QFETCH(QString, openingDate);
        QFETCH(QStringList, rows);
        StatementFixture f;
        if (earlier) {
            f.add(1, 901, Day(-50), "100");
            // On the balance date itself: counted.
            f.add(1, 905, Day(-100, "00:00:00"), "40", Day(-100, "00:00:00"));
        }
        f.add(2, 902, Day(-10), "30");
        f.add(1, 903, Day(-5), "20", Day(-5));
        f.add(1, 900, Day(-5), "1");
        f.open();
        if (ignorar)
            QTest::mouseClick(f.window().FXIgnorarAnteriores, Qt::LeftButton);
        if (concilOnly)
            QTest::mouseClick(f.window().FXConcil_Only, Qt::LeftButton);
        QCOMPARE(Balances(f), rows);
        const int opening = f.row("#0");
        QCOMPARE(opening < 0 ? QString() : f.texts(opening).at(ColData), openingDate);
        if (openingDate == Shown(-100))  // no movement before the start: blank movement cells
            QCOMPARE(f.texts(opening).mid(ColReferencia, 5), QStringList(5, " "));
    }

    void periodNeverStartsBeforeTheBalanceDate() {
        StatementFixture f;
        f.exec({"UPDATE tbContas_Bancarias SET saldo_data = '" + Day(-10, "00:00:00") +
                "' WHERE conta_id = 60"});
        f.add(1, 901, Day(-20), "100");  // before the balance date: never counted
        f.add(1, 902, Day(-5), "7");
        f.open();
        QCOMPARE(f.window().FXData_Inicio->date(), QDate::currentDate().addDays(-10));
        QCOMPARE(Balances(f), QStringList({"#11902 1.007,00", "#0 1.000,00"}));
        f.exec({"UPDATE tbContas_Bancarias SET saldo_data = '" + Day(200, "00:00:00") +
                "' WHERE conta_id = 60"});
        f.add(1, 903, Day(200, "23:59:59"), "1");  // the period's last second
        f.window().Fill();
        QCOMPARE(f.window().FXData_Inicio->date(), QDate::currentDate().addDays(200));
        QCOMPARE(f.window().FXData_Fim->date(), QDate::currentDate().addDays(200));
        QVERIFY(f.row("#11903") >= 0);
    }

    void paymentMethodFilterAndDeleteKey() {
        StatementFixture f;
        f.add(1, 901, Day(-6), "1");
        f.add(1, 902, Day(-5), "1");
        f.exec({"UPDATE tbDocumentos_Recibos SET modo_pagamento_id = 2 WHERE recibo_id = 902"});
        f.open();
        QComboBox* modo = f.window().FXModo_Pagamento_ID;
        QCOMPARE(modo->currentIndex(), -1);
        QCOMPARE(f.window().ListModel()->RowCount(), 3);
        modo->setCurrentIndex(modo->findData(2));
        QCOMPARE(Balances(f).size(), 2);
        QVERIFY(f.row("#11902") >= 0);
        modo->setFocus();
        QTest::keyClick(modo, Qt::Key_Delete);
        QCOMPARE(modo->currentIndex(), -1);
        QCOMPARE(f.window().ListModel()->RowCount(), 3);
    }

    // Another program moves a bank date back and forth across the period's start while the
    // statement is filled: every fill counts the movement once, before the period or in it.
    void aMovementMovedAcrossTheStartIsCountedOnce() {
        StatementFixture f;
        f.add(1, 901, Day(-40), "100", Day(-40));
        f.open(60);
        std::atomic<bool> stop{false};
        std::thread mover([&] {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "mover");
            db.setDatabaseName(f.path());
            db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=5000");
            db.open();
            QSqlQuery move(db);
            for (int i = 0; !stop; ++i)
                move.exec("UPDATE tbDocumentos_Recibos SET data_debito = '" +
                          Day(i % 2 ? -40 : -20) + "' WHERE recibo_id = 901");
        });
        QStringList wrong;
        for (int i = 0; i < 200; ++i) {
            f.window().Fill();
            if (f.texts(0).at(ColSaldo) != "1.100,00")
                wrong << f.texts(0).join('|');
        }
        stop = true;
        mover.join();
        QSqlDatabase::removeDatabase("mover");
        QCOMPARE(wrong, QStringList());
        QVERIFY(f.reports().reports.isEmpty());
    }
};

QTEST_MAIN(TestStatementFill)
#include "tst_statementfill.moc"
