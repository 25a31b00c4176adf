// Ticking and unticking movements in the statement window: the refusals, the
// date dialog and the closing date, the statement written to each source
// table (and nothing else), the confirmation, and the re-selection.
#include "ScopedLocale.h"
#include "ScopedModalScript.h"
#include "StatementFixture.h"
#include "platform/services/Prompts.h"
#include "statement/frmData.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTreeView>

using namespace orla;
using namespace orla::test;

namespace {

// Picks `date` in the date dialog and confirms, or cancels when `confirm` is false.
ScopedModalScript::Script Pick(const QDate& date, bool confirm = true) {
    return [date, confirm](QDialog& dialog) {
        auto& picker = dynamic_cast<frmData&>(dialog);
        picker.MonthView1->setSelectedDate(date);
        (confirm ? picker.Command1 : picker.Command2)->click();
    };
}

// Every bank date of the source tables, to prove that one change touched one record.
QString BankDates(const StatementFixture& f) {
    QStringList parts;
    for (const char* sql :
         {"SELECT group_concat(recibo_id || ':' || ifnull(data_debito,'-') || ':' || "
          "ifnull(data_documento,'-'), ',') FROM tbDocumentos_Recibos",
          "SELECT group_concat(recibo_id || ':' || ifnull(data_debito,'-'), ',') FROM "
          "tbDocumentos_Fornec_Recibos",
          "SELECT group_concat(recibo_id || ':' || ifnull(data_debito,'-'), ',') FROM "
          "tbCustos_Recibos",
          "SELECT group_concat(pag_id || ':' || ifnull(data_debito,'-') || ':' || data, ',') FROM "
          "tbDocumentos_Pagamentos",
          "SELECT group_concat(trf_id || ':' || ifnull(data_debito,'-') || ':' || "
          "ifnull(data_debito_destino,'-') || ':' || data || ':' || data_destino, ',') FROM "
          "tbContas_Bancarias_Transferencias"})
        parts << f.value(QString::fromLatin1(sql)).toString();
    return parts.join('|');
}

// One row per reconcilable origin: its code, the row key of record 901 on the
// test account, and the query of the bank date it owns.
void OriginRows() {
    QTest::addColumn<int>("origin");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("check");
    QTest::newRow("1 receipt")
        << 1 << "#11901"
        << "SELECT data_debito FROM tbDocumentos_Recibos WHERE recibo_id = 901";
    QTest::newRow("2 supplier receipt")
        << 2 << "#21901"
        << "SELECT data_debito FROM tbDocumentos_Fornec_Recibos WHERE recibo_id = 901";
    QTest::newRow("3 cost receipt")
        << 3 << "#31901"
        << "SELECT data_debito FROM tbCustos_Recibos WHERE recibo_id = 901";
    QTest::newRow("4 transfer leaving")
        << 4 << "#40901"
        << "SELECT data_debito FROM tbContas_Bancarias_Transferencias WHERE trf_id = 901";
    QTest::newRow("7 payment")
        << 7 << "#71901"
        << "SELECT data_debito FROM tbDocumentos_Pagamentos WHERE pag_id = 901";
    QTest::newRow("40 transfer arriving")
        << 40 << "#400901"
        << "SELECT data_debito_destino FROM tbContas_Bancarias_Transferencias WHERE trf_id = 901";
}

// Record 901 of the origin on the test account, with this bank date ("NULL" for none);
// a transfer gets it on both sides.
void AddRecord(StatementFixture& f, int origin, const QString& day, const QString& bank) {
    switch (origin) {
        case 1:
            f.receipt(901, day, "8", bank);
            break;
        case 2:
            f.supplierReceipt(901, day, "8", bank);
            break;
        case 3:
            f.costReceipt(901, day, "8", bank);
            break;
        case 4:
            f.transfer(901, 60, 1, day, "8", bank, bank);
            break;
        case 7:
            f.payment(901, day, "8", bank);
            break;
        case 40:
            f.transfer(901, 1, 60, day, "8", bank, bank);
            break;
    }
}

QString Selected(StatementFixture& f) {
    const QModelIndex current = f.window().ListView1->currentIndex();
    return current.isValid() ? f.window().ListModel()->Row(current.row()).key : QString();
}

}  // namespace

class TestReconciliation : public QObject {
    Q_OBJECT

  private slots:
    void tickingWritesTheChosenDateToTheSourceTable_data() { OriginRows(); }
    void tickingWritesTheChosenDateToTheSourceTable() {
        QFETCH(int, origin);
        QFETCH(QString, key);
        QFETCH(QString, check);
        StatementFixture f;
        const QString day = Day(-6);
        AddRecord(f, origin, day, "NULL");
        f.open();
        const QString before = BankDates(f);
        const QDate chosen = QDate::currentDate().addDays(-2);
        ScopedModalScript dialog(Pick(chosen));
        f.setChecked(f.row(key), true);
        QCOMPARE(dialog.shown().size(), 1);
        QCOMPARE(f.value(check).toString(), chosen.toString("yyyy-MM-dd") + " 00:00:00");
        // Only that record changed.
        const QString after = BankDates(f);
        QVERIFY(before != after);
        QCOMPARE(after.count(chosen.toString("yyyy-MM-dd") + " 00:00:00"),
                 before.count(chosen.toString("yyyy-MM-dd") + " 00:00:00") + 1);
        // The refreshed list shows it ticked (moved to its bank date) and selected.
        const int row = f.row(key);
        QVERIFY(row >= 0);
        QVERIFY(f.window().ListModel()->Row(row).checked);
        QCOMPARE(Selected(f), key);
        QVERIFY(f.prompts().calls.isEmpty());
    }

    void untickingClearsTheDateInTheSourceTable_data() { OriginRows(); }
    void untickingClearsTheDateInTheSourceTable() {
        QFETCH(int, origin);
        QFETCH(QString, key);
        QFETCH(QString, check);
        StatementFixture f;
        const QString day = Day(-6);
        const QString bank = Day(-4, "00:00:00");
        AddRecord(f, origin, day, bank);
        f.open();
        const QString before = BankDates(f);
        f.prompts().answers = {vb::Yes};
        f.setChecked(f.row(key), false);
        QVERIFY(f.value(check).isNull());
        // Exactly one bank date went away; own dates stay (the date is after any limit).
        QCOMPARE(BankDates(f).count(bank), before.count(bank) - 1);
        QVERIFY(!f.window().ListModel()->Row(f.row(key)).checked);
        QCOMPARE(Selected(f), key);
    }

    void untickingAsksAndClearsTheDate_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("yes") << int(vb::Yes) << true;
        QTest::newRow("no") << int(vb::No) << false;
    }
    void untickingAsksAndClearsTheDate() {
        QFETCH(int, answer);
        QFETCH(bool, cleared);
        StatementFixture f;
        f.payment(901, Day(-6), "12.5", Day(-4));
        f.open();
        const QString before = BankDates(f);
        f.prompts().answers = {answer};
        f.setChecked(f.row("#71901"), false);
        QCOMPARE(f.prompts().calls.size(), 1);
        const PromptCall ask = f.prompts().calls.first();
        QCOMPARE(
            ask.text,
            QStringLiteral("Tem a certeza que quer marcar este lançamento como não conciliado?"));
        QCOMPARE(ask.title, QStringLiteral("Conciliação Bancária"));
        QCOMPARE(ask.style, vb::Question | vb::YesNo);
        const QVariant debit =
            f.value("SELECT data_debito FROM tbDocumentos_Pagamentos WHERE pag_id = 901");
        QCOMPARE(debit.isNull(), cleared);
        if (!cleared)
            QCOMPARE(BankDates(f), before);
        const int row = f.row("#71901");
        QCOMPARE(f.window().ListModel()->Row(row).checked, !cleared);
        QCOMPARE(Selected(f), QStringLiteral("#71901"));
        QCOMPARE(f.value("SELECT data FROM tbDocumentos_Pagamentos WHERE pag_id = 901").toString(),
                 Day(-6));  // own date untouched: the debit date is after the limit
    }

    void untickingBeforeTheLimitRestoresTheOwnDateFirst() {
        StatementFixture f;
        f.exec({"UPDATE tbContas_Bancarias SET data_closed = '" + Day(-20, "00:00:00") +
                "' WHERE conta_id = 60"});
        f.receipt(901, Day(-10), "5", Day(-25, "00:00:00"));  // reconciled before the limit
        f.open();
        f.window().FXData_Inicio->setDate(QDate::currentDate().addDays(-40));
        f.window().Fill();
        f.prompts().answers = {vb::Yes};
        f.setChecked(f.row("#11901"), false);
        QVERIFY(
            f.value("SELECT data_debito FROM tbDocumentos_Recibos WHERE recibo_id = 901").isNull());
        QCOMPARE(f.value("SELECT data_documento FROM tbDocumentos_Recibos WHERE recibo_id = 901")
                     .toString(),
                 Day(-25, "00:00:00"));
    }

    void closingDateDecidesWhetherToAsk() {
        StatementFixture f;
        f.exec({"UPDATE tbContas_Bancarias SET data_closed = '" + Day(-20, "00:00:00") +
                "' WHERE conta_id = 60"});
        f.receipt(901, Day(-25), "5");  // on or before the limit
        f.receipt(902, Day(-10), "5");
        f.open();
        f.window().FXData_Inicio->setDate(QDate::currentDate().addDays(-40));
        f.window().Fill();
        ScopedModalScript dialog(Pick(QDate::currentDate().addDays(-20)));
        f.setChecked(f.row("#11901"), true);
        QVERIFY(dialog.shown().isEmpty());  // nothing asked: the document's own date is used
        QCOMPARE(f.value("SELECT data_debito FROM tbDocumentos_Recibos WHERE recibo_id = 901")
                     .toString(),
                 Day(-25));
        // A date equal to the limit is accepted.
        f.setChecked(f.row("#11902"), true);
        QCOMPARE(dialog.shown().size(), 1);
        QCOMPARE(f.value("SELECT data_debito FROM tbDocumentos_Recibos WHERE recibo_id = 902")
                     .toString(),
                 Day(-20, "00:00:00"));
    }

    void dateBeforeTheLimitIsRefused() {
        ScopedLocale locale("pt_PT");
        StatementFixture f;
        f.exec({"UPDATE tbContas_Bancarias SET data_closed = '" + Day(-20, "00:00:00") +
                "' WHERE conta_id = 60"});
        f.receipt(902, Day(-10), "5");
        f.open();
        const QString before = BankDates(f);
        ScopedModalScript dialog(Pick(QDate::currentDate().addDays(-21)));
        f.setChecked(f.row("#11902"), true);
        QCOMPARE(f.prompts().calls.size(), 1);
        QCOMPARE(f.prompts().calls.first().text, "A data de débito tem de ser superior a " +
                                                     Shown(-20) +
                                                     " (limite inferior da conta monetária).");
        QCOMPARE(f.prompts().calls.first().title, f.window().windowTitle());
        QCOMPARE(f.prompts().calls.first().style, vb::Information);
        QVERIFY(!f.window().ListModel()->Row(f.row("#11902")).checked);
        QCOMPARE(BankDates(f), before);
    }

    void cancellingTheDialogChangesNothing() {
        StatementFixture f;
        f.receipt(901, Day(-6), "5");
        f.open();
        const QString before = BankDates(f);
        ScopedModalScript dialog(Pick(QDate::currentDate().addDays(-1), false));
        f.setChecked(f.row("#11901"), true);
        QCOMPARE(dialog.shown().size(), 1);
        QVERIFY(!f.window().ListModel()->Row(f.row("#11901")).checked);
        QCOMPARE(BankDates(f), before);
    }

    void refusalsKeepTheState_data() {
        QTest::addColumn<bool>("systemAccount");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("message");
        QTest::newRow("bank charge") << false << "#50901"
                                     << "Este registo não está sujeito a reconciliação bancária.";
        QTest::newRow("system account") << true << "#11901"
                                        << "Este registo é do sistema, não pode ser alterado pelo "
                                           "utilizador.";
        QTest::newRow("bank charge on a system account")
            << true << "#50901"
            << "Este registo não está sujeito a reconciliação bancária.";
    }
    void refusalsKeepTheState() {
        QFETCH(bool, systemAccount);
        QFETCH(QString, key);
        QFETCH(QString, message);
        StatementFixture f;
        if (systemAccount)
            f.exec({"UPDATE tbContas_Bancarias SET system = 1 WHERE conta_id = 60"});
        f.receipt(901, Day(-6), "5", Day(-6));
        f.bankCharge(901, Day(-5), "1.5");
        f.open();
        const QString before = BankDates(f);
        const int row = f.row(key);
        const bool was = f.window().ListModel()->Row(row).checked;
        f.setChecked(row, !was);
        QCOMPARE(f.prompts().calls.size(), 1);
        QCOMPARE(f.prompts().calls.first().text, message);
        QCOMPARE(f.prompts().calls.first().title, f.window().windowTitle());
        QCOMPARE(f.window().ListModel()->Row(row).checked, was);
        QCOMPARE(BankDates(f), before);
    }

    void clickingTheCheckBoxInTheListReconciles() {
        StatementFixture f;
        f.receipt(901, Day(-6), "5");
        f.open();
        const QDate chosen = QDate::currentDate().addDays(-3);
        ScopedModalScript dialog(Pick(chosen));
        QTreeView* list = f.window().ListView1;
        const QModelIndex cell = f.window().ListModel()->index(f.row("#11901"), 0);
        list->scrollTo(cell);
        QStyleOptionViewItem option;
        option.initFrom(list);
        option.rect = list->visualRect(cell);
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        const QRect box =
            list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
        QCOMPARE(dialog.shown().size(), 1);
        QCOMPARE(f.value("SELECT data_debito FROM tbDocumentos_Recibos WHERE recibo_id = 901")
                     .toString(),
                 chosen.toString("yyyy-MM-dd") + " 00:00:00");
        QVERIFY(f.window().ListModel()->Row(f.row("#11901")).checked);
        QCOMPARE(Selected(f), QStringLiteral("#11901"));
    }

    void openingRowStaysUnticked() {
        StatementFixture f;
        f.open();
        const int opening = f.row("#0");
        f.setChecked(opening, true);
        QVERIFY(!f.window().ListModel()->Row(opening).checked);
        QVERIFY(f.prompts().calls.isEmpty());
    }
};

QTEST_MAIN(TestReconciliation)
#include "tst_reconciliation.moc"
