// The statement window opened through General::Show: the window policy and the
// accounts a user may see; and the headless statement job's export and report.
#include "ScopedLocale.h"
#include "StatementFixture.h"
#include "common/Format.h"
#include "component/General.h"
#include "context/Context.h"
#include "context/SharedConnection.h"
#include "platform/services/Prompts.h"
#include "printing/RtfFill.h"

#include <orla_contas/StatementJob.h>

#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orla;
using namespace orla::test;

class TestFrmMain : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { ResetComponentState(); }

    void showNeedsAConnectionAndTheWindowPolicy_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("protectedListed");  // account 5 needs #2302
        QTest::addColumn<QString>("message");
        QTest::newRow("ana") << "ana" << true << true << "";
        QTest::newRow("rui lacks #2302") << "rui" << true << false << "";
        QTest::newRow("joao lacks #2301")
            << "joao" << false << false
            << "Não tem permissões para abrir este registo, contacte o administrador do sistema "
               "para que este lhe estabeleça as permissões necessárias.";
        QTest::newRow("no connection nor settings") << "" << false << false << "";
    }
    void showNeedsAConnectionAndTheWindowPolicy() {
        QFETCH(QString, user);
        QFETCH(bool, shown);
        QFETCH(bool, protectedListed);
        QFETCH(QString, message);
        StatementFixture f;
        if (user.isEmpty())
            ResetComponentState();
        Context().User = user;
        General general;
        general.Show();
        const frmMain& w = *general.Window();
        QCOMPARE(w.isVisible(), shown);
        QCOMPARE(w.FXConta_ID->findData(5) >= 0, protectedListed);
        if (shown)  // inactive accounts are never listed
            QVERIFY(w.FXConta_ID->findData(60) >= 0 && w.FXConta_ID->findData(7) < 0);
        QCOMPARE(f.prompts().calls.isEmpty() ? QString() : f.prompts().calls.first().text, message);
        if (!message.isEmpty())
            QCOMPARE(f.prompts().calls.first().style, 4112);
        QVERIFY(f.reports().reports.isEmpty());
    }

    // The export and the report of a month with every kind of movement, amounts of each sign,
    // half cents and texts with RTF's and CSV's special characters, byte for byte as they were
    // written before the statement's rows became typed values (tests/data/golden). The report's
    // date of printing, today's, is put back to a fixed text before comparing.
    void exportAndReportAreKeptByteForByte() {
        ScopedLocale locale(QStringLiteral("pt_PT"));
        StatementFixture f;
        f.exec(
            {"UPDATE tbContas_Bancarias SET saldo_data = '2025-01-01 00:00:00', banco = "
             "'Banco {Teste} \\ Ç' WHERE conta_id = 60",
             "UPDATE tbContactos SET nome_union = 'Silva; Filhos \"& C.ª\" {x}\\y' WHERE "
             "contacto_id = 1"});
        const struct {
            int origin, id;
            const char *day, *valor, *bank;
        } movements[] = {
            {1, 901, "2025-02-20 09:00:00", "250.125", "NULL"},  // before the month
            {1, 902, "2025-03-03 10:15:00", "1234567.895", "2025-03-04 00:00:00"},
            {2, 903, "2025-03-05 11:00:00", "20.005", "NULL"},
            {3, 904, "2025-03-07 12:30:00", "-35", "NULL"},
            {4, 905, "2025-03-10 08:00:00", "400", "2025-03-10 00:00:00"},
            {40, 906, "2025-03-12 08:00:00", "0", "NULL"},
            {5, 907, "2025-03-15 16:45:00", "3.5", "NULL"},
            {7, 908, "2025-03-20 13:00:00", "99.99", "NULL"},
            {1, 909, "2025-03-31 23:59:00", "0.004", "NULL"},
        };
        for (const auto& m : movements)
            f.add(m.origin, m.id, m.day, m.valor, m.bank);
        f.exec(
            {"UPDATE tbDocumentos_Fornec_Recibos SET referencia = '=1+1 \\par {}' WHERE "
             "recibo_id = 903"});
        QTemporaryDir out;
        StatementJob job;
        job.conta = 60;
        job.inicio = "01-03-2025";
        job.fim = "31-03-2025";
        job.csvPath = out.filePath("e.csv");
        job.reportPath = out.filePath("e.doc");
        General general;
        QString message;
        QCOMPARE(OrlaContas_RunStatementJob(&general, &job, &message), 0);
        const QByteArray printed =
            StringRTF(Format(GetServerDate(), "dd mmmm") + ' ' + Format(GetServerDate(), "yyyy"))
                .toLatin1();
        for (const QString& name : {QStringLiteral("e.csv"), QStringLiteral("e.doc")}) {
            QFile written(out.filePath(name));
            QVERIFY(written.open(QIODevice::ReadOnly));
            const QByteArray bytes = written.readAll().replace(printed, "<<hoje>>");
            QFile golden(QStringLiteral(ORLA_GOLDEN_DIR "/extrato") + name.mid(1));
            QVERIFY2(golden.open(QIODevice::ReadOnly), qPrintable(golden.fileName()));
            QCOMPARE(bytes, golden.readAll());
        }
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
