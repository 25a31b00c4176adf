// Opening a movement's source record by a double click on its row: the
// component registered for its kind is created, connected with the context's
// credentials and asked to open the record just read; nothing when it is gone.
#include "StatementFixture.h"
#include "context/Context.h"
#include "platform/components/ComponentRegistry.h"
#include "transfers/frmTransferencia.h"

#include <orla_contas/ConnectionScrambler.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

using namespace orla;
using namespace orla::test;

namespace {

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

class TestAbrir : public QObject {
    Q_OBJECT

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
        row("cost receipt", 3, "#31903", kClsidCustosRecibos, "Open|R 903|*|1903||");
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

    // A record that is gone, or a receipt of the same number in another store, opens nothing.
    void missingRecordOpensNothingAndSaysNothing() {
        StatementFixture f;
        f.add(1, 901, Day(-1), QStringLiteral("12.5"));  // store 1
        f.add(2, 902, Day(-1), QStringLiteral("12.5"));
        f.open();
        for (const int origin : {1, 2, 3, 7, 10})
            f.window().Abrir(origin, 1, 999);
        f.window().Abrir(1, 2, 901);
        f.window().Abrir(2, 2, 902);
        QVERIFY(calls.isEmpty() && f.prompts().calls.isEmpty() && f.reports().reports.isEmpty() &&
                f.window().cursor().shape() == Qt::ArrowCursor);
    }

    // A component nobody registered cannot be created: the failure is reported
    // under Abrir, as any failure to open a record is, and nothing opens.
    void unregisteredComponentIsReportedAndTheOpeningRowOpensNothing() {
        RegisterComponent(kClsidRecibos, {});
        StatementFixture f;
        f.add(1, 901, Day(-1), QStringLiteral("12.5"));
        f.open();
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
};

QTEST_MAIN(TestAbrir)
#include "tst_abrir.moc"
