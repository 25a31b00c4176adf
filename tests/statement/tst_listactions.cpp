// Clicks, keys, F3 and the toolbar in the statement list: the selected movements' total and the
// row colours, the value search and F3, the amount a new transfer proposes; and a double click
// on a movement, which opens its source record in the component registered for its kind,
// connected with the context's credentials (nothing when the record is gone).
#include "ScopedLocale.h"
#include "StatementFixture.h"
#include "context/Context.h"
#include "platform/components/ComponentRegistry.h"
#include "transfers/frmTransferencia.h"

#include <orla_contas/ConnectionScrambler.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

using namespace orla;
using namespace orla::test;

namespace {

// Newest first: supplier receipts 905 (50,00) and 904 (20,00, reconciled),
// receipts 903 (50,00), 902 (nothing) and 901 (100,00, reconciled), cost receipt 906
// (2 062,93, the balance after it - 1 062,93) and the opening row (1 000,00).
void Open(StatementFixture& f) {
    const QString bank[] = {Day(-5), "NULL", "NULL", Day(-2), "NULL"};
    const char* valor[] = {"100", "0", "50", "20", "50"};
    for (int i = 0; i < 5; ++i)
        f.add(i < 3 ? 1 : 2, 901 + i, Day(i - 5), valor[i], bank[i]);
    f.add(3, 906, Day(-6), "2062.93");
    f.open();
}

void ClickButton(frmMain& w, const char* key) {
    QTest::mouseClick(w.Toolbar1->widgetForAction(w.Toolbar1->findChild<QAction*>(key)),
                      Qt::LeftButton);
}

// Clicks a row's entity (with Ctrl right after another click), presses F3 for "F3" and
// Shift+Down for "+Down", searches from the toolbar for "?" followed by the answer, reads
// the list again for "refill".
void Act(frmMain& w, ScriptedPrompts& prompts, const QStringList& actions) {
    for (int i = 0; i < actions.size(); ++i) {
        const QString& a = actions.at(i);
        if (a == "F3") {
            QTest::keyClick(w.ListView1, Qt::Key_F3);
        } else if (a == "+Down") {
            QTest::keyClick(w.ListView1, Qt::Key_Down, Qt::ShiftModifier);
        } else if (a == "refill") {
            w.Fill();
        } else if (a.startsWith('?')) {
            prompts.inputs << a.mid(1);
            ClickButton(w, "procurar");
        } else {
            const QModelIndex cell = w.ListModel()->index(w.ListModel()->FindKey(a), ColEntidade);
            const bool more = i > 0 && actions.at(i - 1).startsWith('#');
            w.ListView1->scrollTo(cell);
            QTest::mouseClick(w.ListView1->viewport(), Qt::LeftButton,
                              more ? Qt::ControlModifier : Qt::NoModifier,
                              w.ListView1->visualRect(cell).center());
        }
    }
}

QStringList calls;  // every call the fakes received, in order

int created = 0;

const char* const kClassIds[] = {kClsidRecibos, kClsidFornecRecibos, kClsidCustosRecibos,
                                 kClsidPagamentos};

// Both kinds of component. A call is logged as its member, then its arguments:
// a recordset as its document number and its owner with the owner's pointer,
// a left-out argument as "<missing>".
class Fake : public RecordComponent, public LateBoundObject {
  public:
    explicit Fake(const QString& name) : n_(++created) {
        calls << QStringLiteral("new %1 #%2").arg(name).arg(n_);
    }
    ~Fake() override { calls << QStringLiteral("delete #%1").arg(n_); }
    void Connect(const QString& a, const QString& b, const QString& c, const QString& d,
                 const QString& e, const QString& f, const QString& g, qint32 flags,
                 QVariant&) override {
        Invoke("Connect", {a, b, c, d, e, f, g, flags}, nullptr);
    }
    void Open(RecordsetView& rs, const QString& id, const QString& p1, const QString& p2,
              QWidget* owner) override {
        Invoke("Open", {QVariant::fromValue(&rs), id, p1, p2, QVariant::fromValue(owner)}, nullptr);
    }
    bool Invoke(const QString& member, const QVariantList& args, QVariant*) override {
        QStringList line{member};
        for (const QVariant& arg : args) {
            if (auto* rs = arg.value<RecordsetView*>()) {
                const QWidget* owner = args.last().value<QWidget*>();
                const bool doc = rs->FieldNames().contains("documento_no");
                line << rs->Value(doc ? "documento_no" : "documento_main_id").toString()
                     << (owner ? owner->objectName() : "")
                     << (owner && owner->cursor().shape() == Qt::WaitCursor ? "wait" : "normal");
            } else if (!arg.value<QWidget*>()) {
                line << (arg.isValid() ? arg.toString() : QStringLiteral("<missing>"));
            }
        }
        calls << line.join('|');
        return true;
    }

  private:
    int n_;
};

// A real double click on the row, away from its check box.
void DoubleClick(frmMain& window, int row) {
    QTreeView* list = window.ListView1;
    const QModelIndex cell = window.ListModel()->index(row, ColEntidade);
    list->scrollTo(cell);
    const QPoint at = list->visualRect(cell).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class TestListActions : public QObject {
    Q_OBJECT
    ScopedLocale locale_{QStringLiteral("pt_PT")};

  private slots:
    void init() {
        calls.clear();
        created = 0;
        for (const char* id : kClassIds)
            RegisterComponent(id, [id] { return std::make_unique<Fake>(id); });
        RegisterObject(kProgIdPacientesPagamentos,
                       [] { return std::make_unique<Fake>(kProgIdPacientesPagamentos); });
    }

    void doubleClickOpensTheRecordInItsComponent_data() {
        QTest::addColumn<int>("origin");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("expected");
        const QString connect = "ana|" + ConnectionScrambler::Scramble("ana-2024") + "|orla|" +
                                ConnectionScrambler::Scramble("orla-demo") + "|Orla|{server}||0";
        const auto row =
            [&](const char* name, int origin, const char* key, QString component, QString open) {
                QTest::newRow(name)
                    << origin << key
                    << QStringList{"new " + component + " #1",
                                   (origin == 10 ? "SQLConnect|" : "Connect|") + connect,
                                   open.replace("*", "frmMain|wait")};
            };
        row("receipt", 1, "#11901", kClsidRecibos, "Open|R 901|*|1901||");
        row("supplier receipt", 2, "#21902", kClsidFornecRecibos, "Open|R 902|*|1902||");
        row("payment opens the paid document", 7, "#71907", kClsidPagamentos,
            "Open|5001|*|15001||");
        row("patient receipt by name", 10, "#102910", "Pacientes.Pagamentos",
            "Registo|RP 910|*|910|<missing>|<missing>");
    }
    void doubleClickOpensTheRecordInItsComponent() {
        QFETCH(int, origin);
        QFETCH(QString, key);
        QFETCH(QStringList, expected);
        StatementFixture f;
        const int id = key.right(3).toInt();
        if (origin == 10)
            f.exec({QStringLiteral("INSERT INTO tbPacientes_Tratamentos_Recibos (recibo_id, "
                                   "armazem_id, documento_no, data, conta_id, modo_pagamento_id, "
                                   "valor) VALUES (%1, 2, 'RP %1', '%2', 60, 1, 30)")
                        .arg(id)
                        .arg(Day(-1))});
        else
            f.add(origin, id, Day(-1), QStringLiteral("12.5"));
        f.open();
        DoubleClick(f.window(), f.row(key));
        QCOMPARE(calls, expected.replaceInStrings("{server}", Context().cnDataSource));
        QVERIFY(f.window().cursor().shape() == Qt::ArrowCursor);  // the pointer is back
        QVERIFY(f.prompts().calls.isEmpty() && f.reports().reports.isEmpty());
        // Opening it again makes a new component, which replaces the one kept.
        DoubleClick(f.window(), f.row(key));
        QCOMPARE(calls.mid(3, 2), QStringList({expected.first().replace("#1", "#2"), "delete #1"}));
    }

    // Either side of a transfer opens it in the transfer window, owned by the statement.
    void transferRowsOpenTheTransferWindow_data() {
        QTest::addColumn<int>("origin");
        QTest::newRow("leaving the account") << 4;
        QTest::newRow("reaching the account") << 40;
    }
    void transferRowsOpenTheTransferWindow() {
        QFETCH(int, origin);
        StatementFixture f;
        f.add(origin, 905, Day(-1), QStringLiteral("12.5"));
        f.open();
        DoubleClick(f.window(), f.row("#" + QString::number(origin) + "0905"));
        frmTransferencia* shown = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* t = qobject_cast<frmTransferencia*>(w); t && t->isVisible())
                shown = t;
        QVERIFY(shown);
        QCOMPARE(shown->Trf_ID, 905);
        QCOMPARE(shown->parentWidget(), &f.window());
        QCOMPARE(shown->FXObs->text(), QStringLiteral("Transferência 905"));
        QVERIFY(calls.isEmpty() && f.reports().reports.isEmpty());
        delete shown;
    }

    // A record that is gone, or a receipt of the same number in another store, opens nothing
    // and says nothing; a component nobody registered cannot be created: the failure is
    // reported under Abrir and nothing opens.
    void missingRecordOrComponentOpensNothing() {
        RegisterComponent(kClsidRecibos, {});
        StatementFixture f;
        f.add(1, 901, Day(-1), QStringLiteral("12.5"));  // store 1
        f.add(2, 902, Day(-1), QStringLiteral("12.5"));
        f.open();
        for (const int origin : {2, 3, 7, 10})
            f.window().Abrir(origin, 1, 999);
        f.window().Abrir(1, 2, 901);
        f.window().Abrir(2, 2, 902);
        DoubleClick(f.window(), f.row(QStringLiteral("#0")));
        QVERIFY(f.reports().reports.isEmpty());
        DoubleClick(f.window(), f.row(QStringLiteral("#11901")));
        QCOMPARE(f.reports().reports.size(), 1);
        const QStringList report = f.reports().reports.first().texts;
        QCOMPARE(report.mid(2, 2), QStringList({"frmMain", "Abrir"}));
        QVERIFY(report.at(4).contains(kClsidRecibos));
        QVERIFY(calls.isEmpty() && f.prompts().calls.isEmpty() &&
                f.window().cursor().shape() == Qt::ArrowCursor);
    }

    // Actions (separated by ";") | the total shown ("" hidden) | the rows selected | messages.
    void listActions_data() {
        QTest::addColumn<QString>("row");
        QTest::newRow("100,00 alone") << "#11901|€ 100,00|#11901|";
        QTest::newRow("no amounts") << "#11902||#11902|";
        QTest::newRow("50,00 - 20,00") << "#11903;#21904|€ 30,00|#11903,#21904|";
        QTest::newRow("one taken away") << "#11903;#21904;#11903|€ -20,00|#21904|";
        QTest::newRow("the opening row") << "#0||#0|";
        QTest::newRow("small letters; F3 down") << "?ref 90;#11903;F3||#11902|";
        QTest::newRow("any column; no wrap")
            << "?recibo fornecedor;#21904;F3|€ -20,00|#21904|Não foram encontrados mais registos!";
        QTest::newRow("F3 on the last row") << "?REF;#0;F3||#0|";
        QTest::newRow("no match") << "#11903;?xyz|||Não foram encontrados registos!";
        QTest::newRow("cancelled") << "#11903;?|€ 50,00|#11903|";
        QTest::newRow("Shift+Down") << "#11903;+Down;+Down|€ 150,00|#11901,#11902,#11903|";
        QTest::newRow("found, then the total") << "#11901;?recibo fornecedor|€ -50,00|#21905|";
        QTest::newRow("read again") << "#11903;refill|||";
        // Amounts as typed, against the listed value to the cent; hidden values are not searched.
        const char* found = "|€ -2\u00a0062,93|#31906|";
        QTest::newRow("amount as typed") << QString("?2062,93") + found;
        QTest::newRow("euro and points") << QString("?€ 2.062,93") + found;
        QTest::newRow("balance of either sign") << QString("?1 062,93") + found;
        QTest::newRow("grouped whole amount") << "?1.000||#0|";
        QTest::newRow("a cent short") << "?2062,9|||Não foram encontrados registos!";
        QTest::newRow("the time is hidden") << "?10:00|||Não foram encontrados registos!";
    }
    void listActions() {
        QFETCH(QString, row);
        const QStringList expected = row.split('|');
        const QString &script = expected.at(0), &total = expected.at(1);
        StatementFixture f;
        Open(f);
        frmMain& w = f.window();
        Act(w, f.prompts(), script.split(';'));
        QCOMPARE(w.FXTotalSelecionado->isVisibleTo(&w), !total.isEmpty());
        if (!total.isEmpty())
            QCOMPARE(w.FXTotalSelecionado->text(), total);
        QStringList keys, messages;
        for (const QModelIndex& index : w.ListView1->selectionModel()->selectedRows())
            keys << w.ListModel()->Row(index.row()).Key();
        keys.sort();
        QCOMPARE(keys.join(','), expected.at(2));
        for (const PromptCall& call : f.prompts().calls)
            messages << (call.style == vb::Information ? call.text : QString());
        QCOMPARE(messages.join(QString()), expected.at(3));
        // "Nova Transferência" proposes the total shown.
        const std::optional<Money> proposed =
            total.isEmpty()
                ? std::nullopt
                : Money::FromVariant(QString(total).remove(QRegularExpression("[€ \\x{a0}]")));
        ClickButton(w, "transferencia");
        const auto* transfer = w.findChild<frmTransferencia*>();
        QVERIFY(transfer && transfer->Valor_Proposto == proposed);
        // After a click on a movement since the list was read, reconciled rows are grey and the
        // others plain.
        const bool coloured = script.split(QRegularExpression("refill"))
                                  .last()
                                  .contains(QRegularExpression("(^|;)#[123]"));
        for (int r = 0; r < w.ListModel()->RowCount(); ++r) {
            const QPalette::ColorRole role =
                w.ListModel()->Row(r).checked ? QPalette::Dark : QPalette::WindowText;
            QCOMPARE(w.ListModel()->index(r, ColCredito).data(Qt::ForegroundRole),
                     coloured ? QVariant(w.palette().color(role)) : QVariant());
            QVERIFY(!w.ListModel()->index(r, ColSaldo).data(Qt::ForegroundRole).isValid());
        }
        QVERIFY(f.reports().reports.isEmpty());
    }
};

QTEST_MAIN(TestListActions)
#include "tst_listactions.moc"
