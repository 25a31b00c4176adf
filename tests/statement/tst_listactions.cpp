// Clicks, F3 and the toolbar in the statement list: the total of the selected
// movements and the row colours, the value search and its repetition, and a
// new cost in the suite's cost component.
#include "ScopedLocale.h"
#include "StatementFixture.h"
#include "context/Context.h"
#include "platform/components/ComponentRegistry.h"
#include "printing/frmImpressoes.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

using namespace orla;
using namespace orla::test;

namespace {

// Top to bottom (newest first): supplier receipts 905 (50,00) and 904 (20,00,
// reconciled), receipts 903 (50,00), 902 (nothing) and 901 (100,00, reconciled),
// then the opening balance.
void AddMovements(StatementFixture& f) {
    f.add(1, 901, Day(-5), "100", Day(-5));
    f.add(1, 902, Day(-4), "0");
    f.add(1, 903, Day(-3), "50");
    f.add(2, 904, Day(-2), "20", Day(-2));
    f.add(2, 905, Day(-1), "50");
}

// A click on the row's entity, with Ctrl to add it to the selection.
void Click(frmMain& w, const QString& key, Qt::KeyboardModifiers modifiers = {}) {
    const int row = w.ListModel()->FindKey(key);
    QVERIFY2(row >= 0, qPrintable(key));
    const QModelIndex cell = w.ListModel()->index(row, ColEntidade);
    w.ListView1->scrollTo(cell);
    QTest::mouseClick(w.ListView1->viewport(), Qt::LeftButton, modifiers,
                      w.ListView1->visualRect(cell).center());
}

void ClickButton(frmMain& w, const char* key) {
    QAction* action = w.Toolbar1->findChild<QAction*>(QLatin1String(key));
    QVERIFY(action && action->isEnabled());
    QTest::mouseClick(w.Toolbar1->widgetForAction(action), Qt::LeftButton);
}

QStringList SelectedKeys(const frmMain& w) {
    QStringList keys;
    for (const QModelIndex& index : w.ListView1->selectionModel()->selectedRows())
        keys << w.ListModel()->Row(index.row()).key;
    return keys;
}

QStringList calls;  // what the fake cost component was asked, in order

class FakeCosts : public CostComponent {
  public:
    void Connect(const QString& a, const QString& b, const QString& c, const QString& d,
                 const QString& e, const QString& f, const QString& g, qint32 flags,
                 QVariant&) override {
        calls << QStringList{"Connect", a, b, c, d, e, f, g, QString::number(flags)}.join('|');
    }
    void Open(const QString& which, const QVariant& optional, qint32 value,
              QWidget* owner) override {
        calls << QStringList{"Open", which, optional.isValid() ? "given" : "<missing>",
                             QString::number(value), owner ? owner->objectName() : "none"}
                     .join('|');
    }
};

}  // namespace

class TestListActions : public QObject {
    Q_OBJECT
    ScopedLocale locale_{QStringLiteral("pt_PT")};

  private slots:
    void selectionTotalAndColours_data() {
        QTest::addColumn<QStringList>("clicked");  // the first plainly, the others with Ctrl
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("total");
        QTest::newRow("100,00 alone") << QStringList{"#11901"} << true << "€ 100,00";
        QTest::newRow("no amounts") << QStringList{"#11902"} << false << "€ 0,00";
        QTest::newRow("50,00 debit, 20,00 credit")
            << QStringList{"#11903", "#21904"} << true << "€ 30,00";
        QTest::newRow("two rows that cancel out")
            << QStringList{"#11903", "#21905"} << true << "€ 0,00";
        QTest::newRow("a row taken away again")
            << QStringList{"#11903", "#21904", "#11903"} << true << "€ -20,00";
        QTest::newRow("the opening row") << QStringList{"#0"} << false << "";
    }
    void selectionTotalAndColours() {
        QFETCH(QStringList, clicked);
        QFETCH(bool, shown);
        QFETCH(QString, total);
        StatementFixture f;
        AddMovements(f);
        f.open();
        frmMain& w = f.window();
        for (int i = 0; i < clicked.size(); ++i)
            Click(w, clicked.at(i), i == 0 ? Qt::NoModifier : Qt::ControlModifier);
        QCOMPARE(w.FXTotalSelecionado->isVisibleTo(&w), shown);
        QCOMPARE(w.FXTotalSelecionado_Label->isVisibleTo(&w), shown);
        QCOMPARE(w.FXTotalSelecionado->text(), total);
        const bool opening = clicked.first() == "#0";
        for (int r = 0; r < w.ListModel()->RowCount(); ++r) {
            const bool ticked = w.ListModel()->Row(r).checked;
            const QVariant colour = w.ListModel()->index(r, ColCredito).data(Qt::ForegroundRole);
            if (opening)
                QVERIFY(!colour.isValid());
            else
                QCOMPARE(colour.value<QColor>(),
                         w.palette().color(ticked ? QPalette::Dark : QPalette::WindowText));
            QVERIFY(!w.ListModel()->index(r, ColSaldo).data(Qt::ForegroundRole).isValid());
        }
        QVERIFY(f.reports().reports.isEmpty());
    }

    // A search from the toolbar, then F3 from a clicked row ("" clicks nothing).
    void searchAndF3_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("before");  // the row clicked before the search
        QTest::addColumn<QString>("found");   // selected after the search
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QString>("next");  // selected after F3
        QTest::addColumn<QString>("said");
        QTest::newRow("capitals found in small letters, F3 goes down") << "ref 90"
                                                                       << ""
                                                                       << "#21905"
                                                                       << "#11903"
                                                                       << "#11902"
                                                                       << "";
        QTest::newRow("another column, F3 never wraps to the top")
            << "recibo fornecedor"
            << ""
            << "#21905"
            << "#21904"
            << "#21904"
            << "Não foram encontrados mais registos!";
        QTest::newRow("F3 from the last row does nothing") << "REF"
                                                           << ""
                                                           << "#21905"
                                                           << "#0"
                                                           << "#0"
                                                           << "";
        QTest::newRow("nothing matches") << "xyz"
                                         << "#11903"
                                         << ""
                                         << ""
                                         << ""
                                         << "Não foram encontrados registos!";
        QTest::newRow("cancelled: the selection stays") << ""
                                                        << "#11903"
                                                        << "#11903"
                                                        << ""
                                                        << ""
                                                        << "";
    }
    void searchAndF3() {
        QFETCH(QString, answer);
        QFETCH(QString, before);
        QFETCH(QString, found);
        QFETCH(QString, clicked);
        QFETCH(QString, next);
        QFETCH(QString, said);
        StatementFixture f;
        AddMovements(f);
        f.open();
        frmMain& w = f.window();
        if (!before.isEmpty())
            Click(w, before);
        f.prompts().inputs << answer;
        ClickButton(w, "procurar");
        QCOMPARE(f.prompts().calls.first().text, QString("Digite o valor que pretende pesquisar:"));
        QCOMPARE(f.prompts().calls.first().title, QString("Procurar valor"));
        QCOMPARE(SelectedKeys(w), found.isEmpty() ? QStringList() : QStringList{found});
        if (!clicked.isEmpty()) {
            Click(w, clicked);
            QTest::keyClick(w.ListView1, Qt::Key_F3);
            QCOMPARE(SelectedKeys(w), QStringList{next});
        }
        QCOMPARE(f.prompts().calls.size(), said.isEmpty() ? 1 : 2);
        if (!said.isEmpty()) {
            QCOMPARE(f.prompts().calls.last().text, said);
            QCOMPARE(f.prompts().calls.last().style, int(vb::Information));
        }
        QVERIFY(f.reports().reports.isEmpty());
    }

    void printOpensTheDialogOverTheWindow() {
        StatementFixture f;
        f.open();
        ClickButton(f.window(), "imprimir");
        auto* dialog = f.window().findChild<frmImpressoes*>();
        QVERIFY(dialog && dialog->isVisible() && dialog->isWindow());
        QVERIFY(f.window().isVisible() && !dialog->isModal());
    }

    void newCost_data() {
        QTest::addColumn<bool>("registered");
        QTest::newRow("the component") << true;
        QTest::newRow("no component: reported") << false;
    }
    void newCost() {
        QFETCH(bool, registered);
        StatementFixture f;
        f.open();
        calls.clear();
        if (registered)
            RegisterCostComponent(kClsidCustos, [] { return std::make_unique<FakeCosts>(); });
        ClickButton(f.window(), "custo");
        RegisterCostComponent(kClsidCustos, {});
        const ContextValues& c = Context();
        const QStringList expected{
            QStringList{"Connect", c.User, c.Password, c.cnUser, c.cnPassword, c.cnInitialCatalog,
                        c.cnDataSource, c.cnDataSourceSecondary, "0"}
                .join('|'),
            "Open|Activos|<missing>|0|frmMain"};
        QCOMPARE(calls, registered ? expected : QStringList());
        QCOMPARE(f.reports().reports.size(), registered ? 0 : 1);
        if (!registered)
            QCOMPARE(f.reports().reports.first().texts.at(3), QString("Toolbar1_ButtonClick"));
    }
};

QTEST_MAIN(TestListActions)
#include "tst_listactions.moc"
