// Ticking and unticking movements in the statement window, by clicking their
// check boxes: the date written to each source record (and no other), the
// account's closing date, the dialog and the confirmation, the refusals, and
// the re-selection.
#include "Recorders.h"
#include "ScopedLocale.h"
#include "StatementFixture.h"
#include "context/Context.h"
#include "platform/services/Prompts.h"
#include "statement/BankImport.h"
#include "statement/Reconciliation.h"
#include "statement/frmData.h"

#include <QCalendarWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeView>

using namespace orla;
using namespace orla::test;

namespace {

// Picks `date` in the date dialog, then confirms or cancels.
ModalScript Pick(const QDate& date, bool confirm) {
    return [date, confirm](QDialog& dialog) {
        auto& picker = dynamic_cast<frmData&>(dialog);
        picker.MonthView1->setSelectedDate(date);
        QTest::mouseClick(confirm ? picker.Command1 : picker.Command2, Qt::LeftButton);
    };
}

QString Selected(StatementFixture& f) {
    const QModelIndex current = f.window().ListView1->currentIndex();
    return current.isValid() ? f.window().ListModel()->Row(current.row()).Key() : QString();
}

// The query of a record's "bank date | own date".
QString Record(const QString& table, const QString& id, const QString& bank = "data_debito",
               const QString& own = "data_documento") {
    return "SELECT ifnull(" + bank + ",'-') || ' | ' || " + own + " FROM " + table + " WHERE " +
           id + " = %1";
}

const QString kReceipt = Record("tbDocumentos_Recibos", "recibo_id");

}  // namespace

class TestReconciliation : public QObject {
    Q_OBJECT
    ScopedLocale locale_{QStringLiteral("pt_PT")};

  private slots:
    // Each reconcilable origin: the row key of its record 901 and the query of a
    // record's "bank date | own date".
    void tickAndUntick_data() {
        QTest::addColumn<int>("origin");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("record");
        const QString transfers = "tbContas_Bancarias_Transferencias";
        QTest::newRow("1 receipt") << 1 << "#11901" << kReceipt;
        QTest::newRow("2 supplier receipt")
            << 2 << "#21901" << Record("tbDocumentos_Fornec_Recibos", "recibo_id");
        QTest::newRow("3 cost receipt") << 3 << "#31901" << Record("tbCustos_Recibos", "recibo_id");
        QTest::newRow("4 transfer leaving")
            << 4 << "#40901" << Record(transfers, "trf_id", "data_debito", "data");
        QTest::newRow("7 payment")
            << 7 << "#71901" << Record("tbDocumentos_Pagamentos", "pag_id", "data_debito", "data");
        QTest::newRow("40 transfer arriving")
            << 40 << "#400901"
            << Record(transfers, "trf_id", "data_debito_destino", "data_destino");
    }

    // Ticking writes the chosen date; unticking, once the account was closed
    // after it, gives the record that date as its own and clears it.
    void tickAndUntick() {
        QFETCH(int, origin);
        QFETCH(QString, key);
        QFETCH(QString, record);
        StatementFixture f;
        f.add(origin, 901, Day(-6), "8");
        f.add(origin, 902, Day(-6), "8");
        f.add(origin, 903, Day(-6), "8");
        // Reconciled with no day chosen, a record takes its origin's own date.
        const SourceRecord other{origin, origin == 4 || origin == 40 ? 0 : 1, 902};
        QVERIFY(Reconcile(Data().SqlServer, other, std::nullopt));
        QCOMPARE(f.value(record.arg(902)).toString(), Day(-6) + " | " + Day(-6));
        f.open();
        ScopedModalScript dialog(Pick(QDate::currentDate().addDays(-2), true));
        f.clickCheckBox(f.row(key));
        QCOMPARE(dialog->shown.size(), 1);
        const QString bank = Day(-2, "00:00:00");
        QCOMPARE(f.value(record.arg(901)).toString(), bank + " | " + Day(-6));
        // The refreshed list shows it ticked, on its bank date, and selected.
        QVERIFY(f.window().ListModel()->Row(f.row(key)).checked);
        QCOMPARE(f.texts(f.row(key)).at(ColData), Shown(-2));
        QCOMPARE(Selected(f), key);
        // A twin reconciled from the bank's statement, on the same bank date, is written alike.
        const BookMovements book = ReadBookMovements(Data().SqlServer, 60, QDate::currentDate());
        std::vector<BankPair> pairs(1);
        for (int m = 0; m < int(book.movements.size()); ++m)
            if (book.movements[m].key == QString(key).replace("901", "903"))
                pairs[0] = {PairState::Accepted, m, false};
        BankLine line;
        line.booking = QDate::currentDate().addDays(-2);
        QVERIFY(pairs[0].movement &&
                ApplyBankPairs(Data().SqlServer, 60, {line}, book, pairs).isEmpty());
        QCOMPARE(f.value(record.arg(903)).toString(), bank + " | " + Day(-6));

        f.exec({"UPDATE tbContas_Bancarias SET data_closed = '" + Day(-1, "00:00:00") +
                "' WHERE conta_id = 60"});
        f.prompts().answers = {vb::Yes};
        f.clickCheckBox(f.row(key));
        QCOMPARE(f.value(record.arg(901)).toString(), "- | " + bank);
        QVERIFY(!f.window().ListModel()->Row(f.row(key)).checked);
        QCOMPARE(Selected(f), key);
        QCOMPARE(f.value(record.arg(902)).toString(), Day(-6) + " | " + Day(-6));  // untouched
        QCOMPARE(f.prompts().calls.size(), 1);  // the question alone
    }

    // A tick lists the movement in place, among the others by its bank date, with the balances
    // and totals a refill gives; a change made meanwhile by another program makes it a refill.
    void tickListsInPlaceAsARefillWould_data() {
        QTest::addColumn<bool>("changedMeanwhile");
        QTest::newRow("nobody else wrote") << false;
        QTest::newRow("another program wrote") << true;
    }
    void tickListsInPlaceAsARefillWould() {
        QFETCH(bool, changedMeanwhile);
        StatementFixture f;
        f.add(1, 901, Day(-9), "100.005");
        f.add(2, 902, Day(-6), "30");
        f.add(7, 903, Day(-4), "12.5", Day(-4));
        f.add(1, 904, Day(-1), "7");
        f.open();
        if (changedMeanwhile)
            f.add(3, 905, Day(-3), "1");
        const auto shown = [&f] {
            QStringList rows;
            for (int r = 0; r < f.window().ListModel()->RowCount(); ++r)
                rows << f.window().ListModel()->Row(r).Key() + ' ' + f.texts(r).join('|');
            return rows << f.window().FXDebitos->text() + ' ' + f.window().FXCreditos->text();
        };
        ScopedModalScript dialog(Pick(QDate::currentDate().addDays(-2), true));
        f.clickCheckBox(f.row("#11901"));
        const QStringList ticked = shown();
        QCOMPARE(ticked.indexOf(QRegularExpression("^#11901 .*")), 1);  // below 904 only
        QCOMPARE(ticked.filter("#31905").size(), changedMeanwhile ? 1 : 0);
        QCOMPARE(Selected(f), "#11901");
        f.window().Fill();
        QCOMPARE(ticked, shown());
    }

    void closingDateDialogAndQuestion_data() {
        QTest::addColumn<QString>("closed");      // the account's data_closed
        QTest::addColumn<int>("day");             // the receipt's own date
        QTest::addColumn<QString>("bank");        // its bank date: unticked; NULL: ticked
        QTest::addColumn<int>("pick");            // the day chosen in the dialog; 0: not asked
        QTest::addColumn<int>("answer");          // to the dialog (OK, Cancel) or the question
        QTest::addColumn<QString>("afterwards");  // bank date | own date
        QTest::addColumn<QString>("message");
        const QString midnight = Day(-20, "00:00:00");
        const QString evening = Day(-20, "18:00:00");
        const QString refused = "A data de débito tem de ser superior a " + Shown(-20) +
                                " (limite inferior da conta monetária).";
        const QString question =
            QStringLiteral("Tem a certeza que quer marcar este lançamento como não conciliado?");
        QTest::newRow("dated before the closing date: nothing asked, own date used")
            << midnight << -25 << "NULL" << 0 << 0 << Day(-25) + " | " + Day(-25) << "";
        QTest::newRow("the closing day is accepted")
            << midnight << -10 << "NULL" << -20 << int(vb::OK) << midnight + " | " + Day(-10) << "";
        QTest::newRow("the day before is refused")
            << midnight << -10 << "NULL" << -21 << int(vb::OK) << "- | " + Day(-10) << refused;
        QTest::newRow("the closing day is refused when closed later that day")
            << evening << -10 << "NULL" << -20 << int(vb::OK) << "- | " + Day(-10) << refused;
        QTest::newRow("no closing date: an earlier date")
            << "" << -10 << "NULL" << -28 << int(vb::OK) << Day(-28, "00:00:00") + " | " + Day(-10)
            << "";
        QTest::newRow("dialog cancelled")
            << "" << -10 << "NULL" << -3 << int(vb::Cancel) << "- | " + Day(-10) << "";
        QTest::newRow("question answered No") << midnight << -10 << Day(-4) << 0 << int(vb::No)
                                              << Day(-4) + " | " + Day(-10) << question;
        QTest::newRow("bank date after the closing date: only cleared")
            << midnight << -10 << Day(-4) << 0 << int(vb::Yes) << "- | " + Day(-10) << question;
        QTest::newRow("bank date earlier on the closing day: own date restored")
            << evening << -10 << Day(-20) << 0 << int(vb::Yes) << "- | " + Day(-20) << question;
        QTest::newRow("bank date at the closing time: only cleared")
            << midnight << -10 << midnight << 0 << int(vb::Yes) << "- | " + Day(-10) << question;
    }
    void closingDateDialogAndQuestion() {
        QFETCH(QString, closed);
        QFETCH(int, day);
        QFETCH(QString, bank);
        QFETCH(int, pick);
        QFETCH(int, answer);
        QFETCH(QString, afterwards);
        QFETCH(QString, message);
        StatementFixture f;
        if (!closed.isEmpty())
            f.exec({"UPDATE tbContas_Bancarias SET data_closed = '" + closed +
                    "' WHERE conta_id = 60"});
        f.add(1, 901, Day(day), "5", bank);
        f.open();
        f.prompts().answers = {answer};
        ScopedModalScript dialog(
            Pick(QDate::currentDate().addDays(pick), answer != int(vb::Cancel)));
        QVERIFY(f.row("#11901") >= 0);
        f.clickCheckBox(f.row("#11901"));
        QVERIFY(f.row("#11901") >= 0);
        QCOMPARE(dialog->shown.size(), pick != 0 ? 1 : 0);
        QCOMPARE(f.value(kReceipt.arg(901)).toString(), afterwards);
        QCOMPARE(f.prompts().calls.isEmpty() ? QString() : f.prompts().calls.first().text, message);
        QCOMPARE(f.window().ListModel()->Row(f.row("#11901")).checked, !afterwards.startsWith('-'));
        QCOMPARE(Selected(f), QStringLiteral("#11901"));
    }

    void refusalsKeepTheState_data() {
        QTest::addColumn<bool>("systemAccount");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("message");
        const QString notSubject =
            QStringLiteral("Este registo não está sujeito a reconciliação bancária.");
        QTest::newRow("bank charge") << false << "#50901" << notSubject;
        QTest::newRow("system account")
            << true << "#11901"
            << "Este registo é do sistema, não pode ser alterado pelo utilizador.";
        QTest::newRow("bank charge on a system account") << true << "#50901" << notSubject;
        QTest::newRow("opening row: silently") << false << "#0"
                                               << "";
    }
    void refusalsKeepTheState() {
        QFETCH(bool, systemAccount);
        QFETCH(QString, key);
        QFETCH(QString, message);
        StatementFixture f;
        if (systemAccount)
            f.exec({"UPDATE tbContas_Bancarias SET system = 1 WHERE conta_id = 60"});
        f.add(1, 901, Day(-6), "5", Day(-6));
        f.add(5, 901, Day(-5), "1.5");
        f.open();
        const int row = f.row(key);
        const bool was = f.window().ListModel()->Row(row).checked;
        f.clickCheckBox(row);
        QCOMPARE(f.prompts().calls.isEmpty() ? QString() : f.prompts().calls.first().text, message);
        QCOMPARE(f.window().ListModel()->Row(row).checked, was);
        QCOMPARE(f.value(kReceipt.arg(901)).toString(), Day(-6) + " | " + Day(-6));
    }
};

QTEST_MAIN(TestReconciliation)
#include "tst_reconciliation.moc"
