// The statements that tick and untick each origin, character for character,
// and the re-selection flags.
#include "statement/ReconciliationStatements.h"

#include <QTest>

using namespace orla;

class TestReconciliationStatements : public QObject {
    Q_OBJECT

  private slots:
    void statementsByOrigin_data() {
        QTest::addColumn<int>("origin");
        QTest::addColumn<QString>("byDefault");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("restore");
        QTest::addColumn<QString>("clear");
        const QString L = "CONVERT(DATETIME,'2026-11-30',102)";
        QTest::newRow("1 receipts")
            << 1
            << "UPDATE tbDocumentos_Recibos SET data_debito = (CASE WHEN data_documento is null "
               "THEN data ELSE data_documento END) WHERE armazem_id = 3 AND recibo_id = 45"
            << "UPDATE tbDocumentos_Recibos SET data_debito = " + L +
                   " WHERE armazem_id = 3 AND recibo_id = 45"
            << "SELECT data_debito FROM tbDocumentos_Recibos WHERE armazem_id = 3 AND recibo_id = "
               "45"
            << "UPDATE tbDocumentos_Recibos SET data_documento = data_debito WHERE armazem_id = 3 "
               "AND recibo_id = 45"
            << "UPDATE tbDocumentos_Recibos SET data_debito = null WHERE armazem_id = 3 AND "
               "recibo_id = 45";
        QTest::newRow("2 supplier receipts")
            << 2
            << "UPDATE tbDocumentos_Fornec_Recibos SET data_debito = (CASE WHEN data_documento is "
               "null THEN data ELSE data_documento END) WHERE armazem_id = 3 AND recibo_id = 45"
            << "UPDATE tbDocumentos_Fornec_Recibos SET data_debito = " + L +
                   " WHERE armazem_id = 3 AND recibo_id = 45"
            << "SELECT data_debito FROM tbDocumentos_Fornec_Recibos WHERE armazem_id = 3 AND "
               "recibo_id = 45"
            << "UPDATE tbDocumentos_Fornec_Recibos SET data_documento = data_debito WHERE "
               "armazem_id = 3 AND recibo_id = 45"
            << "UPDATE tbDocumentos_Fornec_Recibos SET data_debito = null WHERE armazem_id = 3 AND "
               "recibo_id = 45";
        QTest::newRow("3 cost receipts")
            << 3
            << "UPDATE tbCustos_Recibos SET data_debito = (CASE WHEN data_documento is null THEN "
               "data ELSE data_documento END) WHERE recibo_id = 45"
            << "UPDATE tbCustos_Recibos SET data_debito = " + L + " WHERE recibo_id = 45"
            << "SELECT data_debito FROM tbCustos_Recibos WHERE recibo_id = 45"
            << "UPDATE tbCustos_Recibos SET data_documento = data_debito WHERE recibo_id = 45"
            << "UPDATE tbCustos_Recibos SET data_debito = null WHERE recibo_id = 45";
        QTest::newRow("4 transfer leaving")
            << 4
            << "UPDATE tbContas_Bancarias_Transferencias SET data_debito = data WHERE trf_id = 45"
            << "UPDATE tbContas_Bancarias_Transferencias SET data_debito = " + L +
                   " WHERE trf_id = 45"
            << "SELECT data_debito FROM tbContas_Bancarias_Transferencias WHERE trf_id = 45"
            << "UPDATE tbContas_Bancarias_Transferencias SET data = data_debito WHERE trf_id = 45"
            << "UPDATE tbContas_Bancarias_Transferencias SET data_debito = null WHERE trf_id = 45";
        QTest::newRow("7 payments")
            << 7
            << "UPDATE tbDocumentos_Pagamentos SET data_debito = data WHERE armazem_id = 3 AND "
               "pag_id = 45"
            << "UPDATE tbDocumentos_Pagamentos SET data_debito = " + L +
                   " WHERE armazem_id = 3 AND pag_id = 45"
            << "SELECT data_debito FROM tbDocumentos_Pagamentos WHERE armazem_id = 3 AND pag_id = "
               "45"
            << "UPDATE tbDocumentos_Pagamentos SET data = data_debito WHERE armazem_id = 3 AND "
               "pag_id = 45"
            << "UPDATE tbDocumentos_Pagamentos SET data_debito = null WHERE armazem_id = 3 AND "
               "pag_id = 45";
        QTest::newRow("40 transfer arriving")
            << 40
            << "UPDATE tbContas_Bancarias_Transferencias SET data_debito_destino = data_destino "
               "WHERE trf_id = 45"
            << "UPDATE tbContas_Bancarias_Transferencias SET data_debito_destino = " + L +
                   " WHERE trf_id = 45"
            << "SELECT data_debito_destino FROM tbContas_Bancarias_Transferencias WHERE trf_id = 45"
            << "UPDATE tbContas_Bancarias_Transferencias SET data_destino = data_debito_destino "
               "WHERE trf_id = 45"
            << "UPDATE tbContas_Bancarias_Transferencias SET data_debito_destino = null WHERE "
               "trf_id = 45";
        for (int other : {0, 5, 6, 10, 11}) {
            QTest::addRow("%d writes nothing", other) << other << ""
                                                      << ""
                                                      << ""
                                                      << ""
                                                      << "";
        }
    }
    void statementsByOrigin() {
        QFETCH(int, origin);
        QFETCH(QString, byDefault);
        QFETCH(QString, chosen);
        QFETCH(QString, read);
        QFETCH(QString, restore);
        QFETCH(QString, clear);
        const SourceRecord record{origin, 3, 45};
        QCOMPARE(DefaultDebitDateStatement(record), byDefault);
        QCOMPARE(ChosenDebitDateStatement(record, "CONVERT(DATETIME,'2026-11-30',102)"), chosen);
        QCOMPARE(ReadDebitDateQuery(record), read);
        QCOMPARE(RestoreOwnDateStatement(record), restore);
        QCOMPARE(ClearDebitDateStatement(record), clear);
    }

    void flagsAndPrefixes_data() {
        QTest::addColumn<int>("origin");
        QTest::addColumn<int>("flag");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("receipts") << 1 << 2004 << "#1";
        QTest::newRow("supplier receipts") << 2 << 2006 << "#2";
        QTest::newRow("cost receipts") << 3 << 2002 << "#3";
        QTest::newRow("transfers") << 4 << 2050 << "#4";
        QTest::newRow("payments") << 7 << 2051 << "#7";
        QTest::newRow("arriving transfers have none") << 40 << 0 << "";
        QTest::newRow("patients have none") << 10 << 0 << "";
    }
    void flagsAndPrefixes() {
        QFETCH(int, origin);
        QFETCH(int, flag);
        QFETCH(QString, prefix);
        QCOMPARE(RemoteKeyFlag(origin).value_or(0), flag);
        QCOMPARE(RemoteKeyPrefix(flag), prefix);
    }

    void notSubject_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<bool>("notSubject");
        for (const char* tag : {"5", "6", "10"})
            QTest::newRow(tag) << tag << true;
        for (const char* tag : {"1", "2", "3", "4", "7", "40", "0", "", "50", "05"})
            QTest::newRow(tag[0] ? tag : "empty") << tag << false;
    }
    void notSubject() {
        QFETCH(QString, tag);
        QFETCH(bool, notSubject);
        QCOMPARE(NotSubjectToReconciliation(tag), notSubject);
    }
};

QTEST_MAIN(TestReconciliationStatements)
#include "tst_reconciliationstatements.moc"
