// The transfer window on a demo database: a new transfer typed from the statement's
// toolbar, an existing one with a closed side, a system one, the save checks, two windows on
// one transfer, dates typed, unsaved work on closing.
#include "ScopedLocale.h"
#include "StatementFixture.h"
#include "component/General.h"
#include "platform/services/Prompts.h"
#include "transfers/frmTransferencia.h"

#include <orla_contas/ConnectionScrambler.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

using namespace orla;
using namespace orla::test;

namespace {

const int kNone = 999;  // a date picker without a date

// Opens the picker's calendar, turns to the day's month and clicks the day. False when that
// did not happen.
bool PickDay(QDateEdit* picker, const QDate& day) {
    QAbstractItemView* days = OpenCalendar(picker);
    if (!days)
        return false;
    picker->calendarWidget()->setCurrentPage(day.year(), day.month());  // as its arrows would
    // Days of the months around it show too: early days come first, late days last.
    QModelIndex cell;
    for (int r = 0; r < days->model()->rowCount(); ++r)
        for (int c = 0; c < days->model()->columnCount(); ++c)
            if (days->model()->index(r, c).data().toString() == QString::number(day.day()) &&
                (!cell.isValid() || day.day() >= 15))
                cell = days->model()->index(r, c);
    QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, days->visualRect(cell).center());
    return cell.isValid() && !picker->calendarWidget()->isVisible();
}

// The transfer's columns as stored (Null as empty); empty when it is gone.
QString Stored(StatementFixture& f, int trfId) {
    const QString sql =
        "SELECT printf('%s|%s|%s|%s|%s|%s|%s|%s|%s', data, data_debito, data_destino, "
        "data_debito_destino, origem_id, destino_id, valor, obs, modo_pagamento_id) "
        "FROM tbContas_Bancarias_Transferencias WHERE trf_id = ";
    return f.value(sql + QString::number(trfId)).toString();
}

QString Said(StatementFixture& f) {
    QStringList said;
    for (const PromptCall& call : f.prompts().calls)
        said << call.text + ' ' + QString::number(call.style) + ' ' + call.title;
    return said.join('\n');
}

frmTransferencia* Open(StatementFixture& f, int trfId, int conta = 0) {
    const bool ready = QTest::qWaitForWindowActive(&f.window());  // before it takes focus back
    frmTransferencia* w = AbrirTransferencia(&f.window(), trfId, conta);
    w->activateWindow();
    return ready && QTest::qWaitFor([w] { return QApplication::activeWindow() == w; }) ? w
                                                                                       : nullptr;
}

void Choose(QComboBox* combo, int key) {
    combo->setCurrentIndex(combo->findData(key));
}

void Type(QLineEdit* edit, const QString& text) {
    QTest::mouseClick(edit, Qt::LeftButton);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// A save: accounts (0: none), amount typed, dates in days from today, the refusal.
struct Case {
    int origem, destino;
    QString valor;
    QList<int> dates;  // data, débito, destino, débito destino
    QString message, focus;
    QString setup = "SELECT 1";  // SQL run first
    QString saved = {};          // with no message: the amount stored
};

}  // namespace

Q_DECLARE_METATYPE(Case)

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
        QVERIFY(w->FXDestino_ID->findData(6) < 0 && w->Command3->isHidden());  // 6: system
        Choose(w->FXDestino_ID, 8);
        Type(w->FXValor, "1234,5");
        const QString obs = "Rui's \"fundo\", 1,5% -- ';DROP TABLE x";
        Type(w->FXObs, obs);
        const QDate day = QDate::currentDate().addDays(-1);
        QVERIFY(PickDay(w->FXData, day));
        QCOMPARE(w->FXData_Destino->date(), day);  // it follows while it held the same
        QTest::mouseDClick(w->FXData_Debito->findChild<QLineEdit*>(), Qt::LeftButton);
        QPointer<frmTransferencia> alive(w);
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        QCOMPARE(Said(f), "");
        QTRY_VERIFY(!alive);
        const int id = f.value("SELECT MAX(trf_id) FROM tbContas_Bancarias_Transferencias").toInt();
        QCOMPARE(Stored(f, id), QString(day.toString("yyyy-MM-dd 00:00:00|")).repeated(3) +
                                    "|60|8|1234.5|" + obs + "|5");
        QCOMPARE(f.window().ListModel()->Row(f.window().ListView1->currentIndex().row()).Key(),
                 "#40" + QString::number(id));
    }

    // A side in its account's closed period (account 2, closed until 45 days ago, its closing
    // day included) keeps its dates and account and the amount; the other side may change. The
    // transfer cannot be deleted.
    void aClosedSideIsKeptAndTheTransferCannotBeDeleted_data() {
        QTest::addColumn<bool>("origin");
        QTest::newRow("origin closed") << true;
        QTest::newRow("destination on its closing day") << false;
    }
    void aClosedSideIsKeptAndTheTransferCannotBeDeleted() {
        QFETCH(bool, origin);
        StatementFixture f;
        const QString columns =
            "INSERT INTO tbContas_Bancarias_Transferencias (trf_id, data, "
            "data_debito, data_destino, origem_id, destino_id, valor, obs, "
            "modo_pagamento_id) VALUES (900, ";
        f.exec({columns + (origin ? "'" + Day(-50, "10:30:00', '") + Day(-50, "10:30:00', '") +
                                        Day(-10, "10:30:00', 2, 60, 321.5, 'Antes', 5)")
                                  : "'" + Day(-50, "10:30:00', NULL, '") +
                                        Day(-45, "10:30:00', 60, 2, 321.5, 'Antes', 5)"))});
        f.open(3);  // where the open side is moved to
        frmTransferencia* w = Open(f, 900);
        QVERIFY(w);
        const QList<QWidget*> closedSide =
            origin ? QList<QWidget*>{w->FXData, w->FXData_Debito, w->FXOrigem_ID}
                   : QList<QWidget*>{w->FXData_Destino, w->FXData_Debito_Destino, w->FXDestino_ID};
        for (QWidget* control : closedSide)
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        QVERIFY(w->FXValor->isReadOnly());
        QVERIFY(PickDay(origin ? w->FXData_Destino : w->FXData,
                        QDate::currentDate().addDays(origin ? -8 : -48)));
        Choose(origin ? w->FXDestino_ID : w->FXOrigem_ID, 3);
        Type(w->FXObs, "Depois");
        Choose(w->FXModo_Pagamento_ID, 2);
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        QCOMPARE(Said(f), "");
        QCOMPARE(Stored(f, 900),
                 origin ? Day(-50, "10:30:00|") + Day(-50, "10:30:00|") +
                              Day(-8, "00:00:00||2|3|321.5|Depois|2")
                        : Day(-48, "00:00:00||") + Day(-45, "10:30:00||3|2") + "|321.5|Depois|2");
        QVERIFY(!origin || f.row("#400900") >= 0);  // read again; -48 days is before its period
        QPointer<frmTransferencia> again = Open(f, 900);
        QVERIFY(again);
        f.prompts().answers = {vb::No, vb::Yes};
        for (int i = 0; i < 2; ++i)
            QTest::mouseClick(again->Command3, Qt::LeftButton);
        const QString asked = "Deseja mesmo apagar esta transferência? 36 " + again->windowTitle();
        QCOMPARE(Said(f), asked + '\n' + asked + '\n' +
                              "Esta transferência não pode ser apagada.\n" +
                              "A data tem de ser superior a " + Shown(-45) +
                              " (limite inferior da conta de " + (origin ? "origem" : "destino") +
                              ").\nA conta \"Caixa Geral de Depósitos - Conta à ordem 45678901\" "
                              "está fechada até " +
                              Shown(-45) + ". 64 " + again->windowTitle());
        QVERIFY(!Stored(f, 900).isEmpty() && again->isVisible());
    }

    // The lists offer what the statement window's account box offers the user: active accounts,
    // no system account, protected ones only with the right to them. An existing transfer keeps
    // its own accounts listed; one touching an account the user may not see does not open.
    void accountListsFollowTheUsersRights_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<int>("trfId");
        QTest::addColumn<QList<int>>("origins");
        QTest::addColumn<QList<int>>("destinations");
        const QList<int> all{1, 2, 3, 4, 5, 8, 60};  // 6 system, 7 inactive
        const QList<int> unprotected{1, 2, 3, 4, 8, 60};
        QTest::newRow("new, every right") << "ana" << 0 << all << all;
        QTest::newRow("new, no protected accounts") << "rui" << 0 << unprotected << unprotected;
        QTest::newRow("to a protected account") << "ana" << 901 << all << all;
        QTest::newRow("to a protected account, no right")
            << "rui" << 901 << QList<int>() << QList<int>();
        QTest::newRow("to the system account")
            << "rui" << 902 << unprotected << QList<int>{1, 2, 3, 4, 6, 8, 60};
    }
    void accountListsFollowTheUsersRights() {
        QFETCH(QString, user);
        QFETCH(int, trfId);
        QFETCH(QList<int>, origins);
        QFETCH(QList<int>, destinations);
        StatementFixture f;
        f.exec(
            {"INSERT INTO tbContas_Bancarias_Transferencias (trf_id, data, data_destino, "
             "origem_id, destino_id, valor, system) VALUES (901, '" +
                 Day(-1, "00:00:00', '") + Day(-1, "00:00:00', 60, 5, 10, 0)"),
             "INSERT INTO tbContas_Bancarias_Transferencias (trf_id, data, data_destino, "
             "origem_id, destino_id, valor, system) VALUES (902, '" +
                 Day(-1, "00:00:00', '") + Day(-1, "00:00:00', 60, 6, 10, 0)")});
        General login;
        QVERIFY(login.Login(user, ConnectionScrambler::Scramble(user + "-2024")));
        f.open(60);
        QPointer<frmTransferencia> w = AbrirTransferencia(&f.window(), trfId, 60);
        const auto keys = [](QComboBox* combo) {
            QList<int> list;
            for (int i = 0; i < combo->count(); ++i)
                list << combo->itemData(i).toInt();
            std::sort(list.begin(), list.end());
            return list;
        };
        if (origins.isEmpty()) {
            QCOMPARE(Said(f),
                     "Não tem permissões para abrir este registo, contacte o "
                     "administrador do sistema para que este lhe estabeleça as "
                     "permissões necessárias. 4112 Sistema de Segurança");
            QTRY_VERIFY(!w);
            return;
        }
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(keys(w->FXOrigem_ID), origins);
        QCOMPARE(keys(w->FXDestino_ID), destinations);
        QCOMPARE(Said(f), "");
    }

    // Account 3's opening balance is 60 days ago; account 2 is closed until 45 days ago, its
    // closing day inside, on either side.
    void saveChecksInOrder_data() {
        QTest::addColumn<Case>("c");
        const QList<int> today{0, kNone, 0, kNone};
        const QString o = " (limite inferior da conta de origem).";
        const QString d = " (limite inferior da conta de destino).";
        const QString above = "A data tem de ser superior a ";
        const QString debit = "A data de débito tem de ser superior a ";
        const QString noAmount = "Tem de indicar o valor para a transferência.";
        const QString before = "A data de %1 não pode ser anterior à data de %2.";
        const QString closed =
            "\nA conta \"Caixa Geral de Depósitos - Conta à ordem 45678901\" "
            "está fechada até " +
            Shown(-45) + ".";
        const auto row = [](const char* name, const Case& c) { QTest::newRow(name) << c; };
        row("no origin",
            {0, 8, "10", today, "Tem de indicar qual a conta de origem para a transferência.",
             "FXOrigem_ID"});
        row("no destination",
            {8, 0, "10", today, "Tem de indicar qual a conta de destino para a transferência.",
             "FXDestino_ID"});
        row("same shown text",
            {60, 61, "10", today, "A conta de destino tem de ser diferente à conta de origem.",
             "FXDestino_ID"});
        row("no amount", {8, 3, "dez'", today, noAmount, "FXValor"});
        row("no date",
            {8, 3, "10", {kNone, kNone, 0, kNone}, "A data não foi definida.", "FXData"});
        row("date before origin limit",
            {3, 8, "10", {-61, kNone, 0, 0}, above + Shown(-60) + o, "FXData"});
        row("debit before origin limit",
            {2, 8, "10", {0, -46, 0, 0}, debit + Shown(-45) + o, "FXData_Debito"});
        row("no destination date", {8,
                                    3,
                                    "10",
                                    {0, 0, kNone, kNone},
                                    "A data de destino não foi definida.",
                                    "FXData_Destino"});
        row("destination date before its limit",
            {8, 3, "10", {0, 0, -61, 0}, above + Shown(-60) + d, "FXData_Destino"});
        row("destination debit before its limit",
            {8, 3, "10", {0, 0, 0, -61}, debit + Shown(-60) + d, "FXData_Debito_Destino"});
        row("dates on the opening balance's date",
            {3, 8, "10,005", {-60, -60, -60, -60}, "", "", "SELECT 1", "10.01"});
        row("negative amount",
            {8, 3, "-50", today, "O valor da transferência tem de ser positivo.", "FXValor"});
        row("amount rounded to nothing", {8, 3, "0,001", today, noAmount, "FXValor"});
        row("destination before origin",
            {8, 3, "10", {0, kNone, -1, kNone}, before.arg("destino", "origem"), "FXData_Destino"});
        row("debit before its date",
            {8, 3, "10", {0, -1, 0, kNone}, before.arg("débito", "origem"), "FXData_Debito"});
        row("destination debit before its date", {8,
                                                  3,
                                                  "10",
                                                  {-2, kNone, 0, -1},
                                                  before.arg("débito", "destino"),
                                                  "FXData_Debito_Destino"});
        row("origin on the closing day",
            {2, 8, "10", {-45, kNone, 0, kNone}, above + Shown(-45) + o + closed, "Command1"});
        row("destination on the closing day",
            {8, 2, "10", {-50, kNone, -45, kNone}, above + Shown(-45) + d + closed, "Command1"});
        row("no number came back",
            {60, 8, "5", today, "Erro no registo da transferência. Contacto o administrador.",
             "Command1",
             "CREATE TRIGGER Recusa BEFORE INSERT ON tbContas_Bancarias_Transferencias BEGIN "
             "SELECT RAISE(IGNORE); END"});
    }
    void saveChecksInOrder() {
        QFETCH(Case, c);
        StatementFixture f;
        f.exec(
            {"INSERT INTO tbContas_Bancarias (conta_id, descrit, banco, saldo, system) "
             "VALUES (61, 'Conta Teste', 'Banco Teste', 0, 0)",
             c.setup});
        f.open(60);
        QPointer<frmTransferencia> w = Open(f, 0, c.origem);
        QVERIFY(w);
        Choose(w->FXDestino_ID, c.destino);
        Type(w->FXValor, c.valor);
        const QList<QDateEdit*> pickers{w->FXData, w->FXData_Debito, w->FXData_Destino,
                                        w->FXData_Debito_Destino};
        for (int i = 0; i < pickers.size(); ++i)
            pickers[i]->setDate(c.dates[i] == kNone ? QDate(1900, 1, 1)
                                                    : QDate::currentDate().addDays(c.dates[i]));
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        if (c.message.isEmpty()) {
            QCOMPARE(Said(f), "");
            QString stored;
            for (const int day : c.dates)
                stored += day == kNone ? "|" : Day(day, "00:00:00|");
            QCOMPARE(Stored(f, 21).section('|', 0, 6),
                     stored + QString("%1|%2|%3").arg(c.origem).arg(c.destino).arg(c.saved));
            QTRY_VERIFY(!w);
            return;
        }
        QCOMPARE(Said(f), c.message + " 64 " + w->windowTitle());
        QCOMPARE(QApplication::focusWidget()->objectName(), c.focus);
        QVERIFY(Stored(f, 21).isEmpty() && w->isVisible());
    }
    // Two windows on one transfer: a save or a delete in one makes the other's stale; it says
    // so, writes nothing, and shows the transfer as it now is (or closes when it is gone).
    void aStaleWindowWritesNothing_data() {
        QTest::addColumn<bool>("deleteFirst");
        QTest::addColumn<bool>("thenDelete");
        QTest::newRow("changed, then saved") << false << false;
        QTest::newRow("changed, then deleted") << false << true;
        QTest::newRow("deleted, then saved") << true << false;
    }
    void aStaleWindowWritesNothing() {
        QFETCH(bool, deleteFirst);
        QFETCH(bool, thenDelete);
        StatementFixture f;
        f.exec(
            {"INSERT INTO tbContas_Bancarias_Transferencias (trf_id, data, data_destino, "
             "origem_id, destino_id, valor, obs, modo_pagamento_id) VALUES (903, '" +
             Day(-3, "00:00:00', '") + Day(-3, "00:00:00', 60, 8, 75, 'Antes', 5)")});
        f.open(60);
        QPointer<frmTransferencia> first = AbrirTransferencia(&f.window(), 903, 0);
        QPointer<frmTransferencia> second = AbrirTransferencia(&f.window(), 903, 0);
        QVERIFY(QTest::qWaitForWindowExposed(first) && QTest::qWaitForWindowExposed(second));
        f.prompts().answers = {vb::Yes};
        if (deleteFirst) {
            QTest::mouseClick(second->Command3, Qt::LeftButton);
        } else {
            Choose(second->FXDestino_ID, 3);
            QTest::mouseClick(second->Command1, Qt::LeftButton);
        }
        QTRY_VERIFY(!second);
        const QString now = Stored(f, 903);
        f.prompts().calls.clear();
        f.prompts().answers = {vb::Yes};
        Type(first->FXObs, "Depois");
        QTest::mouseClick(thenDelete ? first->Command3 : first->Command1, Qt::LeftButton);
        QCOMPARE(Stored(f, 903), now);
        QCOMPARE(f.prompts().calls.last().text,
                 deleteFirst
                     ? "Esta transferência foi apagada por outro utilizador. Nada foi gravado."
                     : "Esta transferência foi alterada por outro utilizador depois de "
                       "aberta. Nada foi gravado: a janela mostra-a agora como está.");
        if (deleteFirst) {
            QTRY_VERIFY(!first);
            return;
        }
        QCOMPARE(first->FXDestino_ID->currentData().toInt(), 3);  // shown again as stored
        QCOMPARE(first->FXObs->text(), "Antes");
        QTest::mouseClick(first->Command1, Qt::LeftButton);  // now it may write
        QTRY_VERIFY(!first);
    }

    // Digits typed into a picker without a date are a date; Delete takes it away again.
    void datesAreTypedAndCleared() {
        StatementFixture f;
        f.open(60);
        frmTransferencia* w = Open(f, 0, 60);
        QVERIFY(w);
        const QDate today = QDate::currentDate();
        const QDate typed(today.year(), today.month(), 1);
        w->FXData_Debito->setFocus();
        QTest::keyClicks(w->FXData_Debito, typed.toString("ddMMyyyy"));
        QCOMPARE(w->FXData_Debito->date(), typed);
        QTest::keyClick(w->FXData_Debito, Qt::Key_Delete);
        QCOMPARE(w->FXData_Debito->date(), QDate(1900, 1, 1));
    }

    // Closing with changes not saved asks first, from the window and from the statement.
    void unsavedWorkIsNotThrownAway() {
        StatementFixture f;
        f.open(60);
        QPointer<frmTransferencia> w = Open(f, 0, 60);
        QVERIFY(w);
        QTest::mouseClick(w->Command2, Qt::LeftButton);  // nothing changed: closes at once
        QTRY_VERIFY(!w);
        QCOMPARE(Said(f), "");
        w = AbrirTransferencia(&f.window(), 0, 60);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        Type(w->FXObs, "Por gravar");
        const QString asked =
            "As alterações a esta transferência não foram gravadas. Deseja "
            "fechar sem gravar? 36 " +
            w->windowTitle();
        f.prompts().answers = {vb::No, vb::No, vb::Yes};
        QTest::mouseClick(w->Command2, Qt::LeftButton);
        QVERIFY(!f.window().close());
        QVERIFY(w->isVisible() && f.window().isVisible());
        QVERIFY(f.window().close());
        QTRY_VERIFY(!w);
        QCOMPARE(Said(f), QStringList(3, asked).join('\n'));
    }
};

QTEST_MAIN(TestFrmTransferencia)
#include "tst_frmtransferencia.moc"
