// The statement window's fill: opening balance, running balance, ordering,
// totals, filters and re-selection, on a database made for each test.
#include "ScopedLocale.h"
#include "StatementFixture.h"
#include "context/Context.h"
#include "statement/StatementReader.h"

#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDateEdit>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QTest>
#include <QTreeView>

using namespace orla;
using namespace orla::test;

class TestStatementFill : public QObject {
    Q_OBJECT

  private slots:
    void openingBalanceRunningBalanceAndTotals() {
        ScopedLocale locale("pt_BR");  // "." groups, "," decimals
        StatementFixture f;
        f.receipt(901, Day(-50), "100");  // before the period
        f.supplierReceipt(902, Day(-10), "30");
        f.receipt(903, Day(-5), "200.505", Day(-5));  // reconciled, rounds to even: 200,50
        f.receipt(904, Day(10), "10");                // future
        f.open();
        StatementModel* model = f.window().ListModel();
        QCOMPARE(model->RowCount(), 4);
        QCOMPARE(f.texts(3),
                 QStringList({"- - -", "S.A.", "Saldo Anterior", "", "", "", "", "", "1.100,00"}));
        QVERIFY(model->Row(3).bold);
        QCOMPARE(model->Row(3).key, QStringLiteral("#0"));
        QCOMPARE(model->Row(3).tag, QStringLiteral("0"));
        QCOMPARE(f.texts(2),
                 QStringList({Shown(-10), "Recibo Fornecedor", model->Row(2).cells[2], "REF 902",
                              "Numerário", "RF 902", "", "€ 30,00", "1.070,00"}));
        QCOMPARE(f.texts(1).mid(6), QStringList({"€ 200,51", "", "1.270,50"}));
        QCOMPARE(f.texts(0).at(8), QStringLiteral("1.280,50"));
        QCOMPARE(model->Row(1).key, QStringLiteral("#11903"));
        QCOMPARE(model->Row(1).tag, QStringLiteral("1"));
        QCOMPARE(model->Row(1).cells.mid(ColArmazemId),
                 QStringList({"1", "903", Shown(-5) + " 10:00"}));
        QVERIFY(model->Row(1).checked);
        QVERIFY(!model->Row(2).checked);
        // The future movement is drawn in the highlight colour, the opening row in bold.
        QCOMPARE(model->data(model->index(0, ColSaldo), Qt::ForegroundRole).value<QColor>(),
                 QApplication::palette().color(QPalette::Highlight));
        QVERIFY(!model->data(model->index(1, ColSaldo), Qt::ForegroundRole).isValid());
        QVERIFY(model->data(model->index(3, ColData), Qt::FontRole).value<QFont>().bold());
        QVERIFY(!model->data(model->index(2, ColData), Qt::FontRole).isValid());
        QCOMPARE(model->Row(1).debitTag, QStringLiteral("200.505"));
        QCOMPARE(model->Row(2).creditTag, QStringLiteral("30"));
        QCOMPARE(f.window().FXDebitos->text(), QStringLiteral("€ 210,51"));
        QCOMPARE(f.window().FXCreditos->text(), QStringLiteral("€ 30,00"));
        // Scrolled to the newest movement up to today.
        QVERIFY(f.window().ListView1->visualRect(model->index(1, 0)).isValid());
    }

    void noMovementBeforeTheStart_data() {
        QTest::addColumn<bool>("unreconciledOnly");
        QTest::addColumn<QString>("balance");
        QTest::newRow("all movements") << false << "1.000,00";
        QTest::newRow("only unreconciled") << true << "0,00";
    }
    void noMovementBeforeTheStart() {
        QFETCH(bool, unreconciledOnly);
        QFETCH(QString, balance);
        ScopedLocale locale("pt_BR");  // "." groups, "," decimals
        StatementFixture f;
        f.receipt(901, Day(-3), "5");
        f.open();
        f.window().FXConcil_Only->setChecked(unreconciledOnly);
        const int opening = f.row("#0");
        QCOMPARE(opening, 1);
        QCOMPARE(f.texts(opening), QStringList({Shown(-100), "S.A.", "Saldo Anterior", " ", " ",
                                                " ", " ", " ", balance}));
    }

    void ignoringEarlierBalances() {
        ScopedLocale locale("pt_BR");  // "." groups, "," decimals
        StatementFixture f;
        f.receipt(901, Day(-50), "100");
        f.supplierReceipt(902, Day(-10), "30");
        f.open();
        f.window().FXIgnorarAnteriores->setChecked(true);
        StatementModel* model = f.window().ListModel();
        QCOMPARE(model->RowCount(), 1);
        QCOMPARE(model->Row(0).key, QStringLiteral("#21902"));
        QCOMPARE(f.texts(0).at(ColSaldo), QStringLiteral("970,00"));  // saldo 1000 - 30
    }

    void onlyUnreconciledMovements() {
        ScopedLocale locale("pt_BR");  // "." groups, "," decimals
        StatementFixture f;
        f.receipt(901, Day(-50), "100");
        f.receipt(905, Day(-60), "40", Day(-60));  // reconciled before the period
        f.receipt(902, Day(-10), "30");
        f.receipt(903, Day(-5), "20", Day(-5));
        f.open();
        f.window().FXConcil_Only->setChecked(true);
        StatementModel* model = f.window().ListModel();
        QCOMPARE(model->RowCount(), 2);
        QCOMPARE(model->Row(0).key, QStringLiteral("#11902"));
        // The opening balance is the pending amount alone.
        QCOMPARE(f.texts(1).at(ColSaldo), QStringLiteral("100,00"));
        QCOMPARE(f.texts(0).at(ColSaldo), QStringLiteral("130,00"));
    }

    void periodNeverStartsBeforeTheBalanceDate() {
        ScopedLocale locale("pt_BR");  // "." groups, "," decimals
        StatementFixture f;
        f.exec({"UPDATE tbContas_Bancarias SET saldo_data = '" + Day(-10, "00:00:00") +
                "' WHERE conta_id = 60"});
        f.receipt(901, Day(-20), "100");  // before the balance date: never counted
        f.receipt(902, Day(-5), "7");
        f.open();
        QCOMPARE(f.window().FXData_Inicio->date(), QDate::currentDate().addDays(-10));
        QCOMPARE(f.window().ListModel()->RowCount(), 2);
        QCOMPARE(f.texts(0).at(ColSaldo), QStringLiteral("1.007,00"));

        f.exec({"UPDATE tbContas_Bancarias SET saldo_data = '" + Day(200, "00:00:00") +
                "' WHERE conta_id = 60"});
        f.window().Fill();
        QCOMPARE(f.window().FXData_Inicio->date(), QDate::currentDate().addDays(200));
        QCOMPARE(f.window().FXData_Fim->date(), QDate::currentDate().addDays(200));
    }

    void sameDayMovementsKeepReconciledFirstThenDocument() {
        StatementFixture f;
        const QString day = Day(-4, "09:00:00");
        f.receipt(912, day, "1");
        f.receipt(911, day, "1", day);
        f.receipt(910, day, "1");
        f.open();
        StatementModel* model = f.window().ListModel();
        // Read as reconciled 911, then 910, 912; newest on top reverses them.
        QCOMPARE(model->Row(0).key, QStringLiteral("#11912"));
        QCOMPARE(model->Row(1).key, QStringLiteral("#11910"));
        QCOMPARE(model->Row(2).key, QStringLiteral("#11911"));
    }

    void nullAndNegativeAmounts() {
        ScopedLocale locale("pt_BR");  // "." groups, "," decimals
        StatementFixture f;
        f.receipt(901, Day(-6), "-35");
        f.exec(
            {"INSERT INTO tbContas_Bancarias_Movimentos (mov_id, origem_id, conta_id, "
             "armazem_id, data, debito, credito, modo_pagamento_id) VALUES (901, 6, 60, 0, '" +
             Day(-5) + "', NULL, 2.5, 1)"});
        f.open();
        StatementModel* model = f.window().ListModel();
        const int refund = f.row("#11901");
        QCOMPARE(f.texts(refund).mid(ColDebito), QStringList({"", "€ 35,00", "965,00"}));
        const int noDebit = f.row("#60901");
        QCOMPARE(f.texts(noDebit).mid(ColDebito), QStringList({"", "", "962,50"}));
        QCOMPARE(model->Row(noDebit).creditTag, QString());
        QCOMPARE(f.window().FXCreditos->text(), QStringLiteral("€ 35,00"));
    }

    void paymentMethodFilterAndDeleteKey() {
        StatementFixture f;
        f.receipt(901, Day(-6), "1", "NULL", 60, 1);
        f.receipt(902, Day(-5), "1", "NULL", 60, 2);
        f.open();
        QCOMPARE(f.window().ListModel()->RowCount(), 3);
        QComboBox* modo = f.window().FXModo_Pagamento_ID;
        QCOMPARE(modo->currentIndex(), -1);
        modo->setCurrentIndex(modo->findData(2));
        QCOMPARE(f.window().ListModel()->RowCount(), 2);
        QVERIFY(f.row("#11902") >= 0);
        modo->setFocus();
        QTest::keyClick(modo, Qt::Key_Delete);
        QCOMPARE(modo->currentIndex(), -1);
        QCOMPARE(f.window().ListModel()->RowCount(), 3);
    }

    void datePickersRefillOnlyWhenChanged() {
        StatementFixture f;
        f.open();
        const int before = f.window().ListModel()->RowCount();
        f.receipt(901, Day(-2), "1");  // written behind the window's back
        QDateEdit* start = f.window().FXData_Inicio;
        start->setFocus();
        QTest::qWait(1);
        f.window().ListView1->setFocus();  // left unchanged: no refill
        QCOMPARE(f.window().ListModel()->RowCount(), before);
        start->setFocus();
        start->setDate(start->date().addDays(-1));
        f.window().ListView1->setFocus();
        QCOMPARE(f.window().ListModel()->RowCount(), before + 1);
    }

    void accountChoiceIsRememberedAndShown() {
        StatementFixture f;
        f.open(60);
        f.window().FXConta_ID->setCurrentIndex(f.window().FXConta_ID->findData(1));
        QCOMPARE(f.window().Label->text(), f.window().FXConta_ID->currentText());
        frmMain second;
        second.Load();
        QCOMPARE(second.FXConta_ID->currentData().toInt(), 1);
    }

    void rememberedAccountNoLongerListedSelectsNone() {
        StatementFixture f;
        f.open(60);
        f.exec({"UPDATE tbContas_Bancarias SET inactivo = 1 WHERE conta_id = 60"});
        frmMain second;
        second.Load();
        QCOMPARE(second.FXConta_ID->currentIndex(), -1);
    }

    void protectedAccountsNeedTheirPolicy_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("listed");
        QTest::newRow("ana") << "ana" << true;
        QTest::newRow("rui") << "rui" << false;
    }
    void protectedAccountsNeedTheirPolicy() {
        QFETCH(QString, user);
        QFETCH(bool, listed);
        StatementFixture f;
        Context().User = user;
        f.window().Load();
        QCOMPARE(f.window().FXConta_ID->findData(5) >= 0, listed);  // 5 is protected
        QVERIFY(f.window().FXConta_ID->findData(7) < 0);            // 7 is inactive
        QVERIFY(f.window().FXConta_ID->findData(1) >= 0);
    }

    void remoteKeySelectsTheExactKey() {
        StatementFixture f;
        f.receipt(5011, Day(-3), "1");   // key #115011
        f.receipt(50111, Day(-2), "1");  // key #1150111 starts the same way
        f.open();
        f.window().RemoteKey("15011", 2004);
        const QModelIndex current = f.window().ListView1->currentIndex();
        QCOMPARE(f.window().ListModel()->Row(current.row()).key, QStringLiteral("#115011"));
        f.window().ListView1->clearSelection();
        f.window().ListView1->setCurrentIndex(QModelIndex());
        f.window().RemoteKey("15011", 9999);  // unknown flag: refill only
        QVERIFY(!f.window().ListView1->currentIndex().isValid());
    }

    void remoteKeyOnAHiddenWindowDoesNothing() {
        StatementFixture f;
        f.open();
        const int before = f.window().ListModel()->RowCount();
        f.window().hide();
        f.receipt(901, Day(-2), "1");
        f.window().RemoteKey("1901", 2004);
        QCOMPARE(f.window().ListModel()->RowCount(), before);
    }

    void columnsAndHeaders() {
        StatementFixture f;
        f.open();
        StatementModel* model = f.window().ListModel();
        QCOMPARE(model->columnCount(), 9);
        QStringList headers;
        for (int c = 0; c < 9; ++c)
            headers << model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(headers,
                 QStringList({"Data", "Origem", "Entidade", "Referência", "Tipo de Documento",
                              "Documento", "Débito", "Crédito", "Saldo"}));
        QCOMPARE(
            model->headerData(6, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
            int(Qt::AlignRight));
        QVERIFY(!(model->flags(model->index(0, 0)) & Qt::ItemIsEditable));
        QVERIFY(f.window().ListView1->header()->sectionSize(2) >
                f.window().ListView1->header()->sectionSize(8));
    }
};

QTEST_MAIN(TestStatementFill)
#include "tst_statementfill.moc"
