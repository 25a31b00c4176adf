// The statement window's opening through General::Show, its controls and
// defaults, the account list's drop-down, and the headless statement job.
#include "DemoFixture.h"
#include "Recorders.h"
#include "SettingsSandbox.h"
#include "StatementFixture.h"
#include "context/Context.h"
#include "context/General.h"
#include "platform/services/Prompts.h"

#include <orla_contas/StatementJob.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

using namespace orla;
using namespace orla::test;

class TestFrmMain : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { ResetComponentState(); }

    void showNeedsTheWindowPolicy_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("shown");
        QTest::newRow("ana") << "ana" << true;
        QTest::newRow("joao lacks #2301") << "joao" << false;
    }
    void showNeedsTheWindowPolicy() {
        QFETCH(QString, user);
        QFETCH(bool, shown);
        SettingsSandbox folders;
        DemoFixture demo;
        Context().User = user;
        ScopedPrompts prompts;
        General general;
        general.Show();
        QCOMPARE(general.Window()->isVisible(), shown);
        if (shown) {
            QVERIFY(prompts.prompts().calls.isEmpty());
            return;
        }
        QCOMPARE(prompts.prompts().calls.size(), 1);
        const PromptCall refusal = prompts.prompts().calls.first();
        QCOMPARE(refusal.text,
                 QStringLiteral("Não tem permissões para abrir este registo, contacte o "
                                "administrador do sistema para que este lhe estabeleça as "
                                "permissões necessárias."));
        QCOMPARE(refusal.title, QStringLiteral("Sistema de Segurança"));
        QCOMPARE(refusal.style, 4112);
    }

    void showWithoutConnectionOrSettingsDoesNothing() {
        SettingsSandbox folders;
        ScopedPrompts prompts;
        ScopedServicesRecorder services;
        General general;
        general.Show();
        QVERIFY(!general.Window()->isVisible());
        QVERIFY(prompts.prompts().calls.isEmpty());
        QVERIFY(services.log().reports.isEmpty());
    }

    void loadSetsTheWindowUp() {
        StatementFixture f;
        f.window().Load();
        frmMain& w = f.window();
        QCOMPARE(w.FXData_Inicio->date(), QDate::currentDate().addDays(-30));
        QCOMPARE(w.FXData_Fim->date(), QDate::currentDate().addDays(90));
        QCOMPARE(w.FXModo_Pagamento_ID->currentIndex(), -1);
        QCOMPARE(w.FXModo_Pagamento_ID->count(), 7);
        QCOMPARE(w.FXIgnorarAnteriores->text(), QStringLiteral("Ignorar saldos anteriores"));
        QCOMPARE(w.FXConcil_Only->text(), QStringLiteral("Apenas registos não conciliados"));
        const std::pair<QLabel*, const char*> labels[] = {
            {w.Label1, "Conta:"},
            {w.FXData_Inicio_Label, "Data Inicio:"},
            {w.FXData_Fim_Label, "Data Fim:"},
            {w.FXModo_Pagamento_ID_Label, "Modo Pagamento:"},
            {w.FXDebitos_Label, "Débito Acumulado:"},
            {w.FXCreditos_Label, "Crédito Acumulado:"},
            {w.FXTotalSelecionado_Label, "Total Selecionado:"}};
        for (const auto& [label, text] : labels)
            QCOMPARE(label->text(), QString::fromUtf8(text));
        QStringList keys;
        for (QAction* action : w.Toolbar1->actions())
            keys << action->objectName();
        QCOMPARE(keys, QStringList({"transferencia", "procurar", "imprimir", "custo"}));
        // The accounts are listed by their shown text, with their ids as item data.
        QVERIFY(w.FXConta_ID->count() >= 6);
        for (int i = 1; i < w.FXConta_ID->count(); ++i)
            QVERIFY(w.FXConta_ID->itemText(i - 1).localeAwareCompare(w.FXConta_ID->itemText(i)) <=
                    0);
        QVERIFY(w.FXConta_ID->findData(60) >= 0);
    }

    void accountDropDownShowsTwentyFourRowsOneAndAHalfTimesAsWide() {
        StatementFixture f;
        f.open();
        QComboBox* combo = f.window().FXConta_ID;
        QCOMPARE(combo->maxVisibleItems(), 24);
        QCOMPARE(combo->view()->minimumWidth(), int(combo->width() * 1.5));
        f.window().resize(f.window().width() + 200, f.window().height());
        QApplication::processEvents();
        QCOMPARE(combo->view()->minimumWidth(), int(combo->width() * 1.5));
    }

    void statementJobWritesTheListAsShown() {
        StatementFixture f;
        f.receipt(901, Day(-6), "1234.5");
        f.supplierReceipt(902, Day(-5), "20", Day(-5));
        f.exec(
            {"UPDATE tbContactos SET nome_union = 'Silva; Filhos \"& C.ª\"' WHERE contacto_id = "
             "1"});
        QTemporaryDir out;
        StatementJob job;
        job.conta = 60;
        job.inicio = Shown(-10);
        job.fim = Shown(0);
        job.csvPath = out.filePath("e.csv");
        General general;
        QString message;
        QCOMPARE(OrlaContas_RunStatementJob(&general, &job, &message), 0);
        QFile file(job.csvPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1 + 3 + 2);
        QCOMPARE(lines[0], QStringLiteral("Chave;Data;Origem;Entidade;Referência;Tipo de Documento;"
                                          "Documento;Débito;Crédito;Saldo;Conciliado"));
        const frmMain& w = *general.Window();
        for (int r = 0; r < 3; ++r) {
            const StatementRow& row = w.ListModel()->Row(r);
            QVERIFY2(lines[1 + r].startsWith(row.key + ";" + row.cells[0] + ";"),
                     qPrintable(lines[1 + r]));
            QVERIFY(lines[1 + r].endsWith(row.checked ? ";Sim" : ";Não"));
        }
        QVERIFY(lines[1].contains(";\"Silva; Filhos \"\"& C.ª\"\"\";"));
        QCOMPARE(lines[4], "Débito Acumulado;" + w.FXDebitos->text());
        QCOMPARE(lines[5], "Crédito Acumulado;" + w.FXCreditos->text());
    }

    void statementJobRefusesBadValuesAndWritesNothing_data() {
        QTest::addColumn<int>("conta");
        QTest::addColumn<QString>("inicio");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown account") << 999 << ""
                                         << "A conta 999";
        QTest::newRow("protected account for rui") << 5 << ""
                                                   << "A conta 5";
        QTest::newRow("malformed date") << 60 << "2026/01/01"
                                        << "Data de início inválida";
    }
    void statementJobRefusesBadValuesAndWritesNothing() {
        QFETCH(int, conta);
        QFETCH(QString, inicio);
        QFETCH(QString, message);
        StatementFixture f;
        Context().User = QStringLiteral("rui");
        QTemporaryDir out;
        StatementJob job;
        job.conta = conta;
        job.inicio = inicio;
        job.csvPath = out.filePath("e.csv");
        General general;
        QString said;
        QVERIFY(OrlaContas_RunStatementJob(&general, &job, &said) != 0);
        QVERIFY2(said.contains(message), qPrintable(said));
        QVERIFY(!QFile::exists(job.csvPath));
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
