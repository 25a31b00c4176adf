// The transfer report printed from the transfer window and opened through the
// shell, and the statement report: its rows, document numbers and summary by
// document type (the window's own report is kept byte for byte by tst_frmmain).
#include "Recorders.h"
#include "ScopedLocale.h"
#include "StatementFixture.h"
#include "common/Registry.h"
#include "context/Context.h"
#include "printing/StatementReport.h"
#include "statement/StatementReportSource.h"
#include "transfers/frmTransferencia.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

// The report files go to a temporary folder of the test's own.
struct Folders {
    ScopedTempFolder temp;
    QTemporaryDir templates;
    explicit Folders(bool setting = true) {
        DefinirValorString(
            QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\") + Context().ProgramKey,
            QStringLiteral("Templates"), setting ? templates.path() : QString());
    }
};

QString Text(const QString& path) {
    return QString::fromLatin1(ReadAll(path));
}

// The movements' row, then the summary's, or the other way round.
const QString kMovementsFirst =
    "{<<conta_descrit>>|\\row A<data>|<doc_no>|<debito>\\row B<mpag_descrit>=<mpag_valor>\\row}";
const QString kSummaryFirst =
    "{<<conta_descrit>>|\\row B<mpag_descrit>=<mpag_valor>\\row A<data>|<doc_no>|<debito>\\row}";
// The period's totals and closing balance above the movements.
const QString kTotals =
    "{<<total_debito>>|<<total_credito>>|<<saldo_final>>|\\row A<data>|<debito>|<credito>|<saldo>"
    "\\row}";

// Rows of the statement list: type, number, debit, credit and, when given, balance.
using Rows = QList<QStringList>;

StatementReportSource Source(const QString& conta, const Rows& rows) {
    StatementReportSource source{
        conta, QDateTime(QDate(2026, 1, 1), QTime()), QDateTime(QDate(2026, 1, 31), QTime()), {}};
    // The listed amounts as the list holds them beside its texts.
    const auto value = [](QString shown) {
        shown.remove("€").remove(' ').remove('.').replace(',', '.');
        return shown.isEmpty() ? std::nullopt : Money::FromVariant(shown);
    };
    for (const QStringList& r : rows)
        source.rows.push_back({{"d", "o", "e", "r", r[0], r[1], r[2], r[3], r.value(4, "s")},
                               value(r[2]),
                               value(r[3])});
    return source;
}

}  // namespace

class TestReports : public QObject {
    Q_OBJECT
    ScopedLocale locale_{QStringLiteral("pt_BR")};  // "." groups, "," decimals

  private slots:
    void transferReportShowsTheWindowAndOpensIt_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("user");  // as printed
        QTest::addColumn<QString>("obs");
        QTest::addColumn<QString>("printedObs");
        QTest::newRow("named user, braces, backslash, a placeholder's text")
            << "UPDATE tbContactos SET nome_union = 'Ana {A}\\B <valor>' WHERE contacto_id = 25"
            << "Ana \\{A\\}\\\\B <valor>"
            << "Nota {1}\\x"
            << "Nota \\{1\\}\\\\x";
        QTest::newRow("no contact, empty note")
            << "UPDATE tbUsers SET contacto_id = NULL WHERE descrit = 'ana'"
            << "  "
            << ""
            << " ";
    }
    void transferReportShowsTheWindowAndOpensIt() {
        QFETCH(QString, setup);
        QFETCH(QString, user);
        QFETCH(QString, obs);
        QFETCH(QString, printedObs);
        StatementFixture f;
        Folders folders;
        ScopedShell shell;
        f.add(4, 901, Day(-1), "1234.5");  // no bank debit date on either side
        f.exec({setup, QString("UPDATE tbContas_Bancarias_Transferencias SET obs = '%1' WHERE "
                               "trf_id = 901")
                           .arg(obs)});
        WriteAll(folders.templates.filePath("Transferencia.doc"),
                 "{<USER>|<Obs>|<origem_data>|<origem_data_debito>|<ORIGEM>|<origem>|"
                 "<destino_data_debito>|<valor>|<obs>}");
        f.open(60);
        frmTransferencia* w = AbrirTransferencia(&f.window(), 901);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::mouseClick(w->Command4, Qt::LeftButton);

        const QString written = folders.temp.path() + "//Transferencia.doc";
        QCOMPARE(shell->calls.size(), 1);
        QCOMPARE(shell->calls[0].verb, "open");
        QCOMPARE(shell->calls[0].file, written);
        QCOMPARE(shell->calls[0].workingFolder, folders.temp.path() + "//");
        QCOMPARE(shell->calls[0].owner.data(), static_cast<QWidget*>(w));
        QCOMPARE(Text(written), "{" + user + "|<Obs>|" + Shown(-1) + "|01-01-1900|<ORIGEM>|" +
                                    w->FXOrigem_ID->currentText() + "|01-01-1900|1.234,50|" +
                                    printedObs + "}\r\n");
        QVERIFY(f.prompts().calls.isEmpty() && f.reports().reports.isEmpty());
    }

    // Without a templates folder the report is not written: the user is told why, nothing opens.
    void transferReportWithoutTemplatesSaysWhy() {
        StatementFixture f;
        Folders folders(false);
        ScopedShell shell;
        f.add(4, 901, Day(-1), "10");
        f.open(60);
        frmTransferencia* w = AbrirTransferencia(&f.window(), 901);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::mouseClick(w->Command4, Qt::LeftButton);
        QVERIFY(shell->calls.isEmpty());
        QCOMPARE(f.prompts().calls.size(), 1);
        QCOMPARE(f.prompts().calls[0].title + ": " + f.prompts().calls[0].text,
                 "Transferência entre Contas: Erro nas definições do Registry, não está definida "
                 "a string de Templates.");
        QVERIFY(f.prompts().calls[0].style & vb::Information);
        QVERIFY(!QFile::exists(folders.temp.filePath("Transferencia.doc")));
    }

    void statementReportRowsAndSummary_data() {
        QTest::addColumn<QString>("templ");
        QTest::addColumn<QString>("conta");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QString>("expected");  // after the template's "{"
        QTest::newRow("empty list: blank rows, summary row as it is")
            << kMovementsFirst << "Conta {1}" << Rows{}
            << "  |\\row A | | \\row B<mpag_descrit>=<mpag_valor>\\row}";
        QTest::newRow("document numbers; account unescaped")
            << kMovementsFirst << "Conta {1}\\"
            << Rows{{"Fatura", "FT 1", "", ""}, {"  ", "FT 2", "", ""}, {"", " ", "", ""}}
            << "Conta {1}\\|\\row Ad|Fatura [FT 1]|   \\row Ad|FT 2|   \\row Ad|   |   "
               "\\row BFatura=0,00\\row}";
        QTest::newRow("types differing in case under the first; 1.250,00 - 250,00; no € sign")
            << kMovementsFirst << "C"
            << Rows{{"Recibo", "R1", "€ 1.250,00", ""},
                    {"RECIBO", "<mpag_descrit>", "", "250,00 €"}}
            << "C|\\row Ad|Recibo [R1]|1.250,00\\row Ad|RECIBO [<mpag_descrit>]|   "
               "\\row BRecibo=1.000,00\\row}";
        QTest::newRow("totals of the listed amounts; the top row's balance closes")
            << kTotals << "C"
            << Rows{{"T", "1", "€ 1.250,00", "", "1.000,00"},
                    {"T", "2", "", "€ 250,00", "- 250,00"},
                    {"T", "3", "€ 0,01", "", "0,00"},
                    {"", "", "", "", "{0}"}}
            << "1.250,01|250,00|1.000,00|\\row Ad|1.250,00|   |1.000,00\\row Ad|   |250,00|- "
               "250,00\\row Ad|0,01|   |0,00\\row Ad|   |   |\\{0\\}\\row}";
        QTest::newRow("summary in order of type, any case")
            << kMovementsFirst << "C"
            << Rows{{"recibo", "1", "1,00", ""},
                    {"Fatura", "2", "", "2,00"},
                    {"adiantamento", "3", "- 3,50", ""},
                    {"Água", "4", "4,00", ""}}
            << "C|\\row Ad|recibo [1]|1,00\\row Ad|Fatura [2]|   \\row Ad|adiantamento [3]|- "
               "3,50\\row Ad|\\'c1gua [4]|4,00\\row Badiantamento=-3,50\\row B\\'c1gua=4,00"
               "\\row BFatura=-2,00\\row Brecibo=1,00\\row}";
        // In exact cents 100.000,02; a single-precision sum loses the cents.
        QTest::newRow("single precision")
            << kMovementsFirst << "C" << Rows{{"T", "1", "100.000,01", ""}, {"T", "2", "0,01", ""}}
            << "C|\\row Ad|T [1]|100.000,01\\row Ad|T [2]|0,01\\row BT=100.000,00\\row}";
        QTest::newRow("summary before the movements")
            << kSummaryFirst << "C"
            << Rows{{"Recibo", "R1", "1,00", ""}, {"Fatura", "F2", "", "2,00"}}
            << "C|\\row BFatura=-2,00\\row BRecibo=1,00\\row Ad|Recibo [R1]|1,00\\row Ad|Fatura "
               "[F2]|   \\row}";
    }
    void statementReportRowsAndSummary() {
        QFETCH(QString, templ);
        QFETCH(QString, conta);
        QFETCH(Rows, rows);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        WriteStatementReport(dir.filePath("e.doc"), templ, Source(conta, rows), "1 janeiro 2026");
        QCOMPARE(Text(dir.filePath("e.doc")), "{" + expected + "\r\n");
    }
};

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
