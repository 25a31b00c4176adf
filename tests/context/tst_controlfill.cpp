// Filling combo boxes from the database: rows in query order, Null
// rows skipped, exact-case field names, lists kept when nothing matches,
// errors reported and the items added so far kept.
#include "DemoFixture.h"
#include "Recorders.h"
#include "context/Context.h"
#include "context/ControlFill.h"

#include <QComboBox>
#include <QFile>
#include <QTest>

#include <memory>

using namespace orla;
using namespace orla::test;

namespace {

const QString kOrdered = QStringLiteral("SELECT conta_id, nome FROM tbLista ORDER BY ordem");
const QStringList kEarlier{QStringLiteral("Anterior=99")};

// The combo box's items as "text=data" ("text" alone for an item without data).
QStringList Items(const QComboBox& combo) {
    QStringList items;
    for (int i = 0; i < combo.count(); ++i) {
        const QVariant data = combo.itemData(i);
        items << (data.isValid() ? QStringLiteral("%1=%2").arg(combo.itemText(i)).arg(data.toInt())
                                 : combo.itemText(i));
    }
    return items;
}

// A combo box holding one earlier item, selected; a selection signal while filling counts in
// `changes`.
std::unique_ptr<QComboBox> ComboWithEarlierItem(int& changes) {
    auto box = std::make_unique<QComboBox>();
    box->addItem(QStringLiteral("Anterior"), 99);
    QObject::connect(box.get(), &QComboBox::currentIndexChanged, [&] { ++changes; });
    return box;
}

}  // namespace

class TestControlFill : public QObject {
    Q_OBJECT

    std::unique_ptr<DemoFixture> demo;

  private slots:
    void initTestCase() {
        demo = std::make_unique<DemoFixture>();
        demo->exec({
            "CREATE TABLE tbLista (ordem INTEGER, conta_id, nome TEXT)",
            "INSERT INTO tbLista VALUES (3, 20, 'Caixa'), (1, 10, 'Banco do Norte'), "
            "(2, NULL, 'Sem identificador'), (4, 30, NULL), (5, 40, 'D''Almeida')",
            "CREATE TABLE tbValores (ordem INTEGER, valor, nome TEXT)",
            "INSERT INTO tbValores VALUES (1, 2.5, 'par'), (2, 3.5, 'impar'), "
            "(3, -2147483648, 'minimo'), (4, 'x', 'letras'), (5, 3000000000, 'grande')",
        });
    }
    void cleanupTestCase() { demo.reset(); }

    void fill_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("textField");
        QTest::addColumn<QString>("dataField");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("reported");  // part of the error report's message
        const auto row = [&](const char* name, const QString& sql, const QString& textField,
                             const QString& dataField, const QStringList& items,
                             const QString& reported = {}) {
            QTest::newRow(name) << sql << textField << dataField << items << reported;
        };
        row("query order, Null text or data skipped", kOrdered, "nome", "conta_id",
            {"Banco do Norte=10", "Caixa=20", "D'Almeida=40"});
        row("without a data field only a Null text is skipped", kOrdered, "nome", "",
            {"Banco do Norte", "Sem identificador", "Caixa", "D'Almeida"});
        row("no rows keeps the earlier items", kOrdered + " LIMIT 0", "nome", "conta_id", kEarlier);
        row("text field in other case", kOrdered, "Nome", "conta_id", kEarlier);
        row("data to 32 bits, halves to even",
            "SELECT valor, nome FROM tbValores WHERE ordem < 4 ORDER BY ordem", "nome", "valor",
            {"par=2", "impar=4", "minimo=-2147483648"});
        row("a rejected query is reported", "SELECT nome FROM tbNada", "nome", "", kEarlier,
            "no such table: tbNada");
        row("data not a number ends the fill, items kept",
            "SELECT valor, nome FROM tbValores WHERE ordem > 2 ORDER BY ordem", "nome", "valor",
            {"minimo=-2147483648"}, "Type mismatch");
    }
    void fill() {
        QFETCH(QString, sql);
        QFETCH(QString, textField);
        QFETCH(QString, dataField);
        QFETCH(QStringList, items);
        QFETCH(QString, reported);
        ScopedServicesRecorder services;
        int changes = 0;  // a fill must not look like a user's choice
        std::unique_ptr<QComboBox> combo = ComboWithEarlierItem(changes);

        ControlFill(combo.get(), sql, textField, dataField);

        QCOMPARE(Items(*combo), items);
        QCOMPARE(changes, 0);
        QCOMPARE(combo->currentIndex(), items == kEarlier ? 0 : -1);  // a filled list: unselected
        const QList<Report>& reports = services->reports;
        QCOMPARE(reports.size(), reported.isEmpty() ? 0 : 1);
        if (!reports.isEmpty()) {
            QCOMPARE(reports[0].texts.mid(2, 2), QStringList({"modControlFill", "ControlFill"}));
            QVERIFY2(reports[0].texts.last().contains(reported),
                     qPrintable(reports[0].texts.last()));
        }
    }

    void lostServerLeavesTheControlUntouched() {
        ScopedServicesRecorder services;
        int changes = 0;
        std::unique_ptr<QComboBox> combo = ComboWithEarlierItem(changes);
        Data().SqlServer.Close();
        QVERIFY(QFile::rename(demo->path(), demo->path() + ".fora"));
        ControlFill(combo.get(), kOrdered, "nome", "conta_id");
        QVERIFY(QFile::rename(demo->path() + ".fora", demo->path()));
        QCOMPARE(Items(*combo), kEarlier);
        QCOMPARE(services->notices.last(), QStringLiteral("ReconnectFailed"));
        QVERIFY(services->reports.isEmpty());

        // Once the server is back the same call reconnects and fills.
        ControlFill(combo.get(), kOrdered, "nome", "conta_id");
        QCOMPARE(Items(*combo).size(), 3);
    }
};

QTEST_MAIN(TestControlFill)
#include "tst_controlfill.moc"
