// The transfer window on a demo database: a new transfer typed and saved from
// the statement's toolbar, an existing one with a closed side, a system one,
// the save checks, and deleting.
#include "CalendarPick.h"
#include "ScopedLocale.h"
#include "StatementFixture.h"
#include "platform/services/Prompts.h"
#include "transfers/frmTransferencia.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

using namespace orla;
using namespace orla::test;

namespace {

const int kNone = 999;  // a date picker without a date

QDate Today(int days = 0) {
    return QDate::currentDate().addDays(days);
}

// Transfer `id` of `valor` from `origem` (dated `d`, its bank date `dd`) to
// `destino` (dated `dest`, bank date `ddd`); kNone leaves a date Null.
void AddTransfer(StatementFixture& f, int id, int origem, int destino, int d, int dd, int dest,
                 int ddd, int system = 0) {
    const auto day = [](int offset) {
        return offset == kNone ? QStringLiteral("NULL") : '\'' + Day(offset, "10:30:00") + '\'';
    };
    f.exec({QStringLiteral("INSERT INTO tbContas_Bancarias_Transferencias (trf_id, data, "
                           "data_debito, data_destino, data_debito_destino, origem_id, destino_id, "
                           "valor, obs, modo_pagamento_id, system) VALUES (%1, %2, %3, %4, %5, "
                           "%6, %7, 321.5, 'Antes', 5, %8)")
                .arg(id)
                .arg(day(d), day(dd), day(dest), day(ddd))
                .arg(origem)
                .arg(destino)
                .arg(system)});
}

frmTransferencia* Open(StatementFixture& f, int trfId, int conta = 0) {
    if (!QTest::qWaitForWindowActive(&f.window()))  // before it takes the focus back
        return nullptr;
    frmTransferencia* w = AbrirTransferencia(&f.window(), trfId, conta);
    w->activateWindow();
    if (!QTest::qWaitFor([w] { return QApplication::activeWindow() == w; }))
        return nullptr;
    return w;
}

void Choose(QComboBox* combo, int key) {
    combo->setCurrentIndex(combo->findData(key));
}

void Type(QLineEdit* edit, const QString& text) {
    QTest::mouseClick(edit, Qt::LeftButton);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void SetDate(QDateEdit* picker, int offset) {
    picker->setDate(offset == kNone ? QDate(1900, 1, 1) : Today(offset));
}

QString Selected(StatementFixture& f) {
    const QModelIndex current = f.window().ListView1->currentIndex();
    return current.isValid() ? f.window().ListModel()->Row(current.row()).key : QString();
}

}  // namespace

class TestFrmTransferencia : public QObject {
    Q_OBJECT
    ScopedLocale locale_{QStringLiteral("pt_BR")};  // "," decimals

  private slots:
    void newTransferTypedFromTheToolbarIsStoredAsTyped() {
        StatementFixture f;
        f.open(60);
        QAction* action = f.window().Toolbar1->findChild<QAction*>("transferencia");
        QTest::mouseClick(f.window().Toolbar1->widgetForAction(action), Qt::LeftButton);
        auto* w = f.window().findChild<frmTransferencia*>();
        QVERIFY(w && QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->FXOrigem_ID->currentData().toInt(), 60);
        QVERIFY(w->FXDestino_ID->findData(6) < 0);  // system accounts are not offered
        QVERIFY(w->Command3->isHidden());
        QVERIFY(!w->Command4->isEnabled());
        Choose(w->FXDestino_ID, 8);
        Type(w->FXValor, "1234,5");
        const QString obs = "Rui's \"fundo\", 1,5% -- ';DROP TABLE x";
        Type(w->FXObs, obs);
        QCOMPARE(w->FXValor->text(), "€ 1.234,50");
        const QDate debit(Today().year(), Today().month(),
                          Today().day() == 1 ? 2 : Today().day() - 1);
        QVERIFY(PickDay(w->FXData_Debito, debit));
        QPointer<frmTransferencia> alive(w);
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        QVERIFY(f.prompts().calls.isEmpty());
        QTRY_VERIFY(!alive);
        const int id = f.value("SELECT MAX(trf_id) FROM tbContas_Bancarias_Transferencias").toInt();
        const auto column = [&](const char* name) {
            return f.value(QStringLiteral("SELECT %1 FROM tbContas_Bancarias_Transferencias "
                                          "WHERE trf_id = %2")
                               .arg(name)
                               .arg(id));
        };
        QCOMPARE(column("data").toString(), Day(0, "00:00:00"));
        QCOMPARE(column("data_debito").toString(), debit.toString("yyyy-MM-dd 00:00:00"));
        QCOMPARE(column("data_destino").toString(), Day(0, "00:00:00"));
        QVERIFY(column("data_debito_destino").isNull());
        QCOMPARE(column("origem_id").toInt(), 60);
        QCOMPARE(column("destino_id").toInt(), 8);
        QCOMPARE(column("valor").toDouble(), 1234.5);
        QCOMPARE(column("obs").toString(), obs);
        QCOMPARE(column("modo_pagamento_id").toInt(), 5);
        QCOMPARE(Selected(f), "#40" + QString::number(id));
    }

    void aClosedSideKeepsItsDatesAccountAndAmount() {
        StatementFixture f;
        AddTransfer(f, 900, 2, 60, -50, -50, -10, kNone);  // account 2 is closed until -45
        f.open(60);
        frmTransferencia* w = Open(f, 900);
        QVERIFY(w);
        QVERIFY(!w->FXData->isEnabled() && !w->FXData_Debito->isEnabled());
        QVERIFY(!w->FXOrigem_ID->isEnabled() && w->FXValor->isReadOnly());
        QVERIFY(w->FXData_Destino->isEnabled() && w->FXDestino_ID->isEnabled());
        QVERIFY(PickDay(w->FXData_Destino, Today(-8)));
        Choose(w->FXDestino_ID, 3);
        Type(w->FXObs, "Depois");
        Choose(w->FXModo_Pagamento_ID, 2);
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        QVERIFY(f.prompts().calls.isEmpty());
        QCOMPARE(f.value("SELECT data || '|' || data_debito || '|' || origem_id || '|' || valor || "
                         "'|' || data_destino || '|' || destino_id || '|' || obs || '|' || "
                         "modo_pagamento_id FROM tbContas_Bancarias_Transferencias "
                         "WHERE trf_id = 900")
                     .toString(),
                 QStringList({Day(-50, "10:30:00"), Day(-50, "10:30:00"), "2", "321.5",
                              Day(-8, "00:00:00"), "3", "Depois", "2"})
                     .join('|'));
        QVERIFY(f.reports().reports.isEmpty());
    }

    void aSystemTransferIsShownReadOnly() {
        StatementFixture f;
        f.open(1);
        frmTransferencia* w = Open(f, 6);  // from the system account 6
        QVERIFY(w);
        QCOMPARE(w->FXOrigem_ID->currentData().toInt(), 6);
        QVERIFY(w->Sistema);
        for (QWidget* control :
             w->findChildren<QWidget*>(QRegularExpression("^(FX(?!.*_Label$).*|Command3)$")))
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
    }

    void saveChecksInOrder_data() {
        QTest::addColumn<int>("origem");  // 0: none chosen
        QTest::addColumn<int>("destino");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QList<int>>("dates");  // data, débito, destino, débito destino
        QTest::addColumn<QString>("message");   // empty: saved
        QTest::addColumn<QString>("focus");
        const QList<int> today{0, kNone, 0, kNone};
        const QString o = " (limite inferior da conta de origem).";
        const QString d = " (limite inferior da conta de destino).";
        // Account 3's opening balance is 60 days ago; account 2 is closed until 45 days ago.
        QTest::newRow("no origin") << 0 << 8 << "10" << today
                                   << "Tem de indicar qual a conta de origem para a transferência."
                                   << "FXOrigem_ID";
        QTest::newRow("no destination")
            << 8 << 0 << "10" << today
            << "Tem de indicar qual a conta de destino para a transferência."
            << "FXDestino_ID";
        QTest::newRow("same shown text") << 60 << 61 << "10" << today
                                         << "A conta de destino tem de ser diferente à conta de "
                                            "origem."
                                         << "FXDestino_ID";
        QTest::newRow("no amount")
            << 8 << 3 << "0,00" << today << "Tem de indicar o valor para a transferência."
            << "FXValor";
        QTest::newRow("amount not a number")
            << 8 << 3 << "dez'" << today << "Tem de indicar o valor para a transferência."
            << "FXValor";
        QTest::newRow("no date") << 8 << 3 << "10" << QList<int>{kNone, kNone, 0, kNone}
                                 << "A data não foi definida."
                                 << "FXData";
        QTest::newRow("date before origin limit")
            << 3 << 8 << "10" << QList<int>{-61, kNone, 0, kNone}
            << "A data tem de ser superior a " + Shown(-60) + o << "FXData";
        QTest::newRow("debit before origin limit")
            << 2 << 8 << "10" << QList<int>{0, -46, 0, kNone}
            << "A data de débito tem de ser superior a " + Shown(-45) + o << "FXData_Debito";
        QTest::newRow("no destination date") << 8 << 3 << "10" << QList<int>{0, kNone, kNone, kNone}
                                             << "A data de destino não foi definida."
                                             << "FXData_Destino";
        QTest::newRow("destination date before its limit")
            << 8 << 3 << "10" << QList<int>{0, kNone, -61, kNone}
            << "A data tem de ser superior a " + Shown(-60) + d << "FXData_Destino";
        QTest::newRow("destination debit before its limit")
            << 8 << 3 << "10" << QList<int>{0, kNone, 0, -61}
            << "A data de débito tem de ser superior a " + Shown(-60) + d
            << "FXData_Debito_Destino";
        QTest::newRow("dates on the limits")
            << 2 << 3 << "10" << QList<int>{-45, -45, -60, -60} << ""
            << "";
    }
    void saveChecksInOrder() {
        QFETCH(int, origem);
        QFETCH(int, destino);
        QFETCH(QString, valor);
        QFETCH(QList<int>, dates);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        StatementFixture f;
        f.exec(
            {"INSERT INTO tbContas_Bancarias (conta_id, descrit, banco, saldo, system) "
             "VALUES (61, 'Conta Teste', 'Banco Teste', 0, 0)"});
        f.open(60);
        QPointer<frmTransferencia> w = Open(f, 0, origem);
        QVERIFY(w);
        Choose(w->FXDestino_ID, destino);
        Type(w->FXValor, valor);
        const QList<QDateEdit*> pickers{w->FXData, w->FXData_Debito, w->FXData_Destino,
                                        w->FXData_Debito_Destino};
        for (int i = 0; i < pickers.size(); ++i)
            SetDate(pickers.at(i), dates.at(i));
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        const QVariant saved = f.value(
            "SELECT data_debito_destino || '|' || valor FROM "
            "tbContas_Bancarias_Transferencias WHERE trf_id > 20");
        if (message.isEmpty()) {
            QVERIFY(f.prompts().calls.isEmpty());
            QCOMPARE(saved.toString(), Day(-60, "00:00:00") + "|10");
            QTRY_VERIFY(!w);
            return;
        }
        QCOMPARE(f.prompts().calls.size(), 1);
        QCOMPARE(f.prompts().calls.first().text, message);
        QCOMPARE(f.prompts().calls.first().style, int(vb::Information));
        QCOMPARE(f.prompts().calls.first().title, w->windowTitle());
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QVERIFY(saved.isNull() && w->isVisible());
    }

    void nothingInsertedSaysSoAndKeepsTheWindow() {
        StatementFixture f;
        f.exec(
            {"CREATE TRIGGER Recusa BEFORE INSERT ON tbContas_Bancarias_Transferencias "
             "BEGIN SELECT RAISE(IGNORE); END"});
        f.open(60);
        frmTransferencia* w = Open(f, 0, 60);
        QVERIFY(w);
        Choose(w->FXDestino_ID, 8);
        Type(w->FXValor, "5");
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        QCOMPARE(f.prompts().calls.size(), 1);
        QCOMPARE(f.prompts().calls.first().text,
                 "Erro no registo da transferência. Contacto o administrador.");
        QVERIFY(w->isVisible());
        QCOMPARE(w->Trf_ID, 0);
    }

    void deleteAsksFirst_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(vb::Yes);
        QTest::newRow("no") << int(vb::No);
    }
    void deleteAsksFirst() {
        QFETCH(int, answer);
        StatementFixture f;
        AddTransfer(f, 900, 60, 8, -3, kNone, -3, kNone);
        f.open(60);
        QPointer<frmTransferencia> w = Open(f, 900);
        QVERIFY(w);
        f.prompts().answers = {answer};
        QTest::mouseClick(w->Command3, Qt::LeftButton);
        QCOMPARE(f.prompts().calls.size(), 1);
        QCOMPARE(f.prompts().calls.first().text, "Deseja mesmo apagar esta transferência?");
        QCOMPARE(f.prompts().calls.first().style, vb::YesNo | vb::Question);
        const bool yes = answer == vb::Yes;
        QCOMPARE(f.value("SELECT COUNT(*) FROM tbContas_Bancarias_Transferencias WHERE trf_id = "
                         "900")
                     .toInt(),
                 yes ? 0 : 1);
        QTRY_COMPARE(w.isNull(), yes);
        QCOMPARE(f.row("#40900") >= 0, !yes);
    }
};

QTEST_MAIN(TestFrmTransferencia)
#include "tst_frmtransferencia.moc"
