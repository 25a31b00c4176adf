// Reconciling against the bank's statement: the pairing rules on plain values, then the window
// on a database: accept, confirm, import again, a closed period, a pair by hand, the balance.
#include "CamtFile.h"
#include "ScopedLocale.h"
#include "StatementFixture.h"
#include "platform/services/Prompts.h"
#include "statement/BankMatching.h"
#include "statement/DifferenceSearch.h"
#include "statement/frmImportarExtrato.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

using namespace orla;
using namespace orla::test;

namespace {

const QDate kDay(2026, 3, 10);

Money Euros(const QString& text) {
    return *Money::FromVariant(text);
}

// "+100@0" is money in (a bank credit) of 100 on kDay; "@-2" two days before; ":text" after.
BankLine Line(const QString& shorthand) {
    const QString amount = shorthand.section('@', 0, 0);
    BankLine line;
    line.credit = amount.startsWith('+');
    line.amount = Euros(amount.mid(1));
    line.booking = kDay.addDays(shorthand.section('@', 1).section(':', 0, 0).toInt());
    line.text = shorthand.section(':', 1);
    return line;
}

// "+100@0" adds 100 on kDay; ":FT 7" its document number; a trailing "*" reconciled.
BookMovement Movement(QString shorthand) {
    BookMovement movement;
    movement.reconciled = shorthand.endsWith('*');
    shorthand.remove('*');
    movement.amount = Euros(shorthand.section('@', 0, 0));
    movement.date = kDay.addDays(shorthand.section('@', 1).section(':', 0, 0).toInt());
    movement.documento = shorthand.section(':', 1);
    return movement;
}

// A pair as text: "2" proposed movement 2, "r2" already reconciled by it, "?" ambiguous, "-".
QString Describe(const BankPair& pair) {
    if (pair.ambiguous)
        return QStringLiteral("?");
    if (!pair.movement)
        return QStringLiteral("-");
    return (pair.state == PairState::Reconciled ? QStringLiteral("r") : QString()) +
           QString::number(*pair.movement);
}

BankStatement BankFile(const QStringList& lines, const QString& closing = {}) {
    BankStatement statement;
    statement.format = QStringLiteral("CAMT.053");
    for (int i = 0; i < lines.size(); ++i) {
        statement.lines << Line(lines[i]);
        statement.lines.last().position = i + 1;
    }
    if (!closing.isEmpty())
        statement.closing = Euros(closing);
    return statement;
}

}  // namespace

class TestBankImport : public QObject {
    Q_OBJECT
    ScopedLocale locale_{QStringLiteral("pt_PT")};

  private slots:
    void pairing_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("movements");
        QTest::addColumn<QString>("pairs");
        QTest::newRow("money in is a bank credit")
            << QStringList{"-100@0", "+100@0"} << QStringList{"100@0", "-100@0"} << "1 0";
        QTest::newRow("within four days, not five")
            << QStringList{"+5@0", "+6@0"} << QStringList{"5@4", "6@-5"} << "0 -";
        QTest::newRow("the document named in the text")
            << QStringList{"-40@0:Pagamento FT 7"} << QStringList{"-40@-2:FT 6", "-40@2:FT 7"}
            << "1";
        QTest::newRow("then the nearest date")
            << QStringList{"-40@0"} << QStringList{"-40@-3", "-40@1"} << "1";
        QTest::newRow("equal fits are left to the user")
            << QStringList{"-40@0"} << QStringList{"-40@-2", "-40@2"} << "?";
        QTest::newRow("never paired twice")
            << QStringList{"+50@0", "+50@0"} << QStringList{"50@0"} << "0 -";
        QTest::newRow("a better line takes it first")
            << QStringList{"+50@2", "+50@0"} << QStringList{"50@0", "50@3"} << "1 0";
        QTest::newRow("reconciled already: recognised, the open one left")
            << QStringList{"+75@0"} << QStringList{"75@0*", "75@1"} << "r0";
    }
    void pairing() {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, movements);
        QFETCH(QString, pairs);
        QList<BankLine> bank;
        for (const QString& line : lines)
            bank << Line(line);
        std::vector<BookMovement> book;
        for (const QString& movement : movements)
            book.push_back(Movement(movement));
        QStringList found;
        for (const BankPair& pair : MatchBankLines(bank, book))
            found << Describe(pair);
        QCOMPARE(found.join(' '), pairs);
    }

    void smallestExactSubset_data() {
        QTest::addColumn<QStringList>("amounts");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("members");
        QTest::newRow("the fewest of several") << QStringList{"5", "7", "12", "3", "9"} << "12"
                                               << "2";
        QTest::newRow("three needed") << QStringList{"1.01", "2.02", "4.04", "8.08"} << "13.13"
                                      << "0 2 3";
        QTest::newRow("signs mixed") << QStringList{"-9.99", "100", "-0.01"} << "-10"
                                     << "0 2";
        QTest::newRow("a cent apart is no match") << QStringList{"2", "4", "6.01"} << "8"
                                                  << "none";
    }
    void smallestExactSubset() {
        QFETCH(QStringList, amounts);
        QFETCH(QString, target);
        QFETCH(QString, members);
        std::vector<Money> values;
        for (const QString& amount : amounts)
            values.push_back(Euros(amount));
        const ExactSubset found =
            SmallestExactSubset(values, Euros(target), std::chrono::milliseconds(2000));
        QStringList indices;
        for (const int i : found.members)
            indices << QString::number(i);
        QCOMPARE(found.found ? indices.join(' ') : QString("none"), members);
        QVERIFY(!found.timedOut);
    }

    // A bank date before the account's closing date is refused as a manual tick refuses it,
    // and then nothing is written, not even the pair that could be.
    void aClosedPeriodRefusesTheWholeImport() {
        StatementFixture f;
        f.add(1, 811, Day(-2), "10");
        f.add(1, 812, Day(-1), "20");
        f.exec({"UPDATE tbContas_Bancarias SET data_closed = '" + Day(-3, "00:00:00") +
                "' WHERE conta_id = 60"});
        BankStatement statement = BankFile({"+10@0", "+20@0"});
        statement.lines[0].booking = QDate::currentDate().addDays(-4);
        statement.lines[1].booking = QDate::currentDate().addDays(-1);
        f.open(60);
        QPointer<frmImportarExtrato> w = new frmImportarExtrato(60, statement, &f.window());
        QTest::mouseClick(w->CmdAceitarTodos, Qt::LeftButton);
        QTest::mouseClick(w->CmdConfirmar, Qt::LeftButton);
        QCOMPARE(f.prompts().calls.last().text,
                 "Nada foi conciliado:\nLinha 1 do extrato: A data de débito tem de ser superior "
                 "a " +
                     Shown(-3) + " (limite inferior da conta monetária).");
        QCOMPARE(f.value("SELECT COUNT(data_debito) FROM tbDocumentos_Recibos WHERE recibo_id "
                         "IN (811, 812)")
                     .toInt(),
                 0);
        QVERIFY(w);  // left open
    }

    // From the statement window's toolbar: a file of this account opens with its pairs; one of
    // another account, or one that cannot be read, says why and opens nothing.
    void theToolbarOpensTheAccountsFileOnly_data() {
        QTest::addColumn<QString>("iban");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("said");
        QTest::newRow("this account") << "PT50 0035 0001 0001 2345 6789 0"
                                      << "12.50"
                                      << "";
        QTest::newRow("another account")
            << "PT50 0033 0000 0001 2345 6789 5"
            << "12.50"
            << "O extrato e.xml é da conta PT50 0033 0000 0001 2345 6789 5, não da conta escolhida "
               "(PT50003500010001234567890).";
        QTest::newRow("unreadable") << "PT50 0035 0001 0001 2345 6789 0"
                                    << "12,50"
                                    << "Não foi possível ler o extrato e.xml: ";
    }
    void theToolbarOpensTheAccountsFileOnly() {
        QFETCH(QString, iban);
        QFETCH(QString, amount);
        QFETCH(QString, said);
        StatementFixture f;
        f.add(1, 821, Day(-2), "12.5");
        f.exec(
            {"UPDATE tbContas_Bancarias SET iban = 'PT50003500010001234567890' WHERE conta_id = "
             "60"});
        QTemporaryDir dir;
        const QString file = dir.filePath("e.xml");
        QVERIFY(WriteCamtFile(
            file, iban,
            {'+' + amount + '@' + QDate::currentDate().addDays(-1).toString(Qt::ISODate)}));
        ScopedFileDialogs dialogs;
        dialogs->answers = {file};
        f.open(60);
        QAction* action = f.window().Toolbar1->findChild<QAction*>("importar");
        QTest::mouseClick(f.window().Toolbar1->widgetForAction(action), Qt::LeftButton);
        auto* w = f.window().findChild<frmImportarExtrato*>();
        if (!said.isEmpty()) {
            QVERIFY(!w);
            QVERIFY2(f.prompts().calls.size() == 1 && f.prompts().calls[0].text.startsWith(said),
                     qPrintable(f.prompts().calls.value(0).text));
            return;
        }
        QVERIFY(w && f.prompts().calls.isEmpty());
        QCOMPARE(w->ListaBanco->topLevelItem(0)->text(4), "Proposto");
        QTest::mouseClick(w->CmdAceitarTodos, Qt::LeftButton);
        QTest::mouseClick(w->CmdConfirmar, Qt::LeftButton);
        QCOMPARE(f.value("SELECT substr(data_debito, 1, 10) FROM tbDocumentos_Recibos WHERE "
                         "recibo_id = 821")
                     .toString(),
                 Day(-1, "").trimmed());
        QVERIFY(f.texts(f.row("#11821")).size() > 0 &&
                f.window().ListModel()->Row(f.row("#11821")).checked);  // read again, ticked
    }
};

QTEST_MAIN(TestBankImport)
#include "tst_bankimport.moc"
