// Filling combo and list boxes from the database: rows in query order, Null
// rows skipped, exact-case field names, lists kept when nothing matches,
// errors reported and the items added so far kept.
#include "DemoFixture.h"
#include "Recorders.h"
#include "common/ControlFill.h"
#include "context/Context.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QTest>

#include <memory>

using namespace orla;
using namespace orla::test;

namespace {

const QString kOrdered = QStringLiteral("SELECT conta_id, nome FROM tbLista ORDER BY ordem");

// The control's items as "text=data" ("text" alone for an item without data).
QStringList Items(QWidget* control) {
    QStringList items;
    auto add = [&](const QString& text, const QVariant& data) {
        items << (data.isValid() ? QStringLiteral("%1=%2").arg(text).arg(data.toInt()) : text);
    };
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        for (int i = 0; i < combo->count(); ++i)
            add(combo->itemText(i), combo->itemData(i));
    } else if (auto* list = qobject_cast<QListWidget*>(control)) {
        for (int i = 0; i < list->count(); ++i)
            add(list->item(i)->text(), list->item(i)->data(Qt::UserRole));
    }
    return items;
}

int Selected(QWidget* control) {
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return combo->currentIndex();
    return qobject_cast<QListWidget*>(control)->currentRow();
}

// A combo box or list box holding one earlier item, selected.
std::unique_ptr<QWidget> ControlWithEarlierItem(const QString& type) {
    if (type == QLatin1String("combo")) {
        auto combo = std::make_unique<QComboBox>();
        combo->addItem(QStringLiteral("Anterior"), 99);
        combo->setCurrentIndex(0);
        return combo;
    }
    auto list = std::make_unique<QListWidget>();
    auto* item = new QListWidgetItem(QStringLiteral("Anterior"));
    item->setData(Qt::UserRole, 99);
    list->addItem(item);
    list->setCurrentRow(0);
    return list;
}

const QStringList kEarlier{QStringLiteral("Anterior=99")};

}  // namespace

class TestControlFill : public QObject {
    Q_OBJECT

    std::unique_ptr<DemoFixture> demo;

  private slots:
    void initTestCase() {
        demo = std::make_unique<DemoFixture>();
        demo->exec({
            "CREATE TABLE tbLista (ordem INTEGER, conta_id, nome TEXT)",
            "INSERT INTO tbLista VALUES (3, 20, 'Caixa')",
            "INSERT INTO tbLista VALUES (1, 10, 'Banco do Norte')",
            "INSERT INTO tbLista VALUES (2, NULL, 'Sem identificador')",
            "INSERT INTO tbLista VALUES (4, 30, NULL)",
            "INSERT INTO tbLista VALUES (5, 40, 'D''Almeida & Filhos')",
            "CREATE TABLE tbConversoes (ordem INTEGER, valor, nome TEXT)",
            "INSERT INTO tbConversoes VALUES (1, 2.5, 'metade par')",
            "INSERT INTO tbConversoes VALUES (2, 3.5, 'metade impar')",
            "INSERT INTO tbConversoes VALUES (4, -2147483648, 'minimo')",
            "CREATE TABLE tbMisto (ordem INTEGER, valor, nome TEXT)",
            "INSERT INTO tbMisto VALUES (1, 1, 'primeiro')",
            "INSERT INTO tbMisto VALUES (2, 'x', 'segundo')",
            "INSERT INTO tbMisto VALUES (3, 3, 'terceiro')",
            "INSERT INTO tbMisto VALUES (4, 3000000000, 'grande')",
        });
    }
    void cleanupTestCase() { demo.reset(); }

    void fill_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("textField");
        QTest::addColumn<QString>("dataField");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("reported");  // messages of the error reports

        const QStringList none;
        for (const char* type : {"combo", "list"}) {
            auto row = [&](const char* name) -> QTestData& {
                return QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(type, name))) << type;
            };
            row("rows in query order, Null text or data skipped")
                << kOrdered << "nome"
                << "conta_id"
                << QStringList{"Banco do Norte=10", "Caixa=20", "D'Almeida & Filhos=40"} << none;
            row("without a data field only a Null text is skipped")
                << kOrdered << "nome"
                << ""
                << QStringList{"Banco do Norte", "Sem identificador", "Caixa", "D'Almeida & Filhos"}
                << none;
            row("no rows keeps the earlier items")
                << "SELECT conta_id, nome FROM tbLista WHERE 1 = 0"
                << "nome"
                << "conta_id" << kEarlier << none;
            row("text field in other case keeps the earlier items")
                << kOrdered << "Nome"
                << "conta_id" << kEarlier << none;
            row("data field in other case keeps the earlier items")
                << kOrdered << "nome"
                << "Conta_ID" << kEarlier << none;
            row("data as a 32-bit whole number, halves to the even one")
                << "SELECT valor, nome FROM tbConversoes ORDER BY ordem"
                << "nome"
                << "valor" << QStringList{"metade par=2", "metade impar=4", "minimo=-2147483648"}
                << none;
            row("a rejected query is reported and the items kept")
                << "SELECT conta_id, nome FROM tbInexistente"
                << "nome"
                << "conta_id" << kEarlier << QStringList{"no such table: tbInexistente"};
            row("data that is not a number ends the fill, items so far kept")
                << "SELECT valor, nome FROM tbMisto ORDER BY ordem"
                << "nome"
                << "valor" << QStringList{"primeiro=1"} << QStringList{"Type mismatch"};
            row("data too large for 32 bits ends the fill")
                << "SELECT valor, nome FROM tbMisto WHERE ordem <> 2 ORDER BY ordem"
                << "nome"
                << "valor" << QStringList{"primeiro=1", "terceiro=3"} << QStringList{"Overflow"};
        }
    }
    void fill() {
        QFETCH(QString, type);
        QFETCH(QString, sql);
        QFETCH(QString, textField);
        QFETCH(QString, dataField);
        QFETCH(QStringList, items);
        QFETCH(QStringList, reported);
        ScopedServicesRecorder services;
        std::unique_ptr<QWidget> control = ControlWithEarlierItem(type);
        int selectionSignals = 0;  // a fill must not look like a user's choice
        if (auto* combo = qobject_cast<QComboBox*>(control.get()))
            connect(combo, &QComboBox::currentIndexChanged, [&] { ++selectionSignals; });
        else
            connect(qobject_cast<QListWidget*>(control.get()), &QListWidget::currentRowChanged,
                    [&] { ++selectionSignals; });

        ControlFill(control.get(), sql, textField, dataField);
        QCOMPARE(selectionSignals, 0);

        QCOMPARE(Items(control.get()), items);
        if (items != kEarlier)
            QCOMPARE(Selected(control.get()), -1);  // a filled list starts unselected
        QStringList messages;
        for (const Report& report : services.log().reports) {
            QCOMPARE(report.texts.mid(2, 2), QStringList({"modControlFill", "ControlFill"}));
            messages << report.texts.last();
        }
        QCOMPARE(messages.size(), reported.size());
        for (int i = 0; i < reported.size(); ++i)
            QVERIFY2(messages[i].contains(reported[i]), qPrintable(messages[i]));
    }

    void closedConnectionIsNotReportedAndKeepsTheItems() {
        ScopedServicesRecorder services;
        std::unique_ptr<QWidget> control = ControlWithEarlierItem("combo");
        const QString master = Context().MasterConnectionString;
        Context().MasterConnectionString.clear();  // no check, straight to the closed connection
        Data().SqlServer.Close();
        ControlFill(control.get(), kOrdered, "nome", "conta_id");
        Context().MasterConnectionString = master;
        QCOMPARE(Items(control.get()), kEarlier);
        QVERIFY(services.log().reports.isEmpty());
        Data().SqlServer.Open();
    }

    void lostServerLeavesTheControlUntouched() {
        ScopedServicesRecorder services;
        std::unique_ptr<QWidget> control = ControlWithEarlierItem("list");
        Data().SqlServer.Close();
        QVERIFY(QFile::rename(demo->path(), demo->path() + ".fora"));
        ControlFill(control.get(), kOrdered, "nome", "conta_id");
        QVERIFY(QFile::rename(demo->path() + ".fora", demo->path()));
        QCOMPARE(Items(control.get()), kEarlier);
        QCOMPARE(services.log().notices.last(), QStringLiteral("ReconnectFailed"));
        QVERIFY(services.log().reports.isEmpty());

        // Once the server is back the same call reconnects and fills.
        ControlFill(control.get(), kOrdered, "nome", "conta_id");
        QCOMPARE(Items(control.get()).size(), 3);
    }
};

QTEST_MAIN(TestControlFill)
#include "tst_controlfill.moc"
