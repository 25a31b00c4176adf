// Reading banks' statement files: each format's sample read whole, and every kind of bad file
// refused with a message that names where.

#include "SettingsSandbox.h"
#include "bankfiles/BankFileText.h"
#include "bankfiles/CsvLayoutSettings.h"
#include "bankfiles/ReadBankStatement.h"
#include "common/Registry.h"
#include "context/Context.h"

#include <QTest>

using namespace orla;

namespace {

QByteArray Sample(const QString& name) {
    return test::ReadAll(QStringLiteral(ORLA_GOLDEN_DIR "/../bank/") + name);
}

QString Units(std::optional<Money> m) {
    return m ? QString::number(m->Units()) : QStringLiteral("-");
}

// "booking value C|D amount(units) reference | text | counterparty @position"
QString Describe(const BankLine& l) {
    return QStringLiteral("%1 %2 %3%4 %5|%6|%7@%8")
        .arg(l.booking.toString(Qt::ISODate),
             l.value ? l.value->toString(Qt::ISODate) : QStringLiteral("-"),
             QString(l.credit ? u'C' : u'D'), QString::number(l.amount.Units()), l.reference,
             l.text, l.counterparty)
        .arg(l.position);
}

}  // namespace

class TestBankFiles : public QObject {
    Q_OBJECT
  private slots:
    void readsEachFormat_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("head");  // format, account, opening, closing and their dates
        QTest::addColumn<QStringList>("lines");
        const QStringList march{
            "2026-03-02 2026-03-03 C12504300 FT-2026-118|Pagamento fatura 118 março|Clínica São "
            "João, Lda@1",
            "2026-03-10 - D6875000 1234567||Fornecedor & Filhos@2",
            "2026-03-31 - D0 |Comissão isenta|@3"};
        QTest::newRow("camt.053.001.02")
            << "camt053_02.xml"
            << "CAMT.053 PT50 0035 0001 0001 2345 6789 0 15000000 2026-02-28 20629300 2026-03-31"
            << march;
        QTest::newRow("camt.053.001.08: PRCD, DtTm, parties in Pty, status as Cd")
            << "camt053_08.xml"
            << "CAMT.053 PT50003500010001234567890 -1205000 2026-03-31 2000000 2026-04-30"
            << QStringList{
                   "2026-04-06 2026-04-06 C5000000 2026040600017|Consulta 2026/0412|"
                   "Maria Antónia Silva@1",
                   "2026-04-20 2026-04-21 D1795000 DD-EDP-0420|Débito direto "
                   "eletricidade|EDP Comercial@2"};
        QTest::newRow("MT940") << "mt940.sta"
                               << "MT940 PT50003500010001234567890 15000000 2026-02-28 20629300 "
                                  "2026-03-31"
                               << QStringList{
                                      "2026-03-02 2026-03-03 C12504300 FT-2026-118|Clínica São "
                                      "João, Lda - Pagamento fatura 118|@5",
                                      "2026-03-10 2026-03-10 D6875000 1234567|Cheque 1234567|@7",
                                      "2026-03-31 2026-03-31 D0 |Comissão isenta|@9"};
        QTest::newRow("OFX 1 (SGML)")
            << "ofx1.ofx"
            << "OFX 0001234567890 - - 20629300 2026-03-31"
            << QStringList{
                   "2026-03-02 - C12504300 BNK-0001|Pagamento fatura 118|Clinica Sao "
                   "Joao, Lda@1",
                   "2026-03-10 - D6875000 1234567||Fornecedor & Filhos@2"};
        QTest::newRow("CSV, UTF-8, signed amount, grouping")
            << "csv_montante.csv"
            << "CSV  - - - -"
            << QStringList{"2026-03-02 2026-03-03 C12504300 FT-2026-118|TRF Clínica São João|@2",
                           "2026-03-10 2026-03-10 D6875000 1234567|CHEQUE 1234567|@3",
                           "2026-03-31 2026-03-31 D0 |COMISSAO ISENTA|@4"};
        QTest::newRow("CSV, Windows-1252, header lines, debit and credit, totals after")
            << "csv_debito_credito.csv"
            << "CSV  - - - -"
            << QStringList{"2026-04-06 2026-04-06 C5000000 |TRF Maria Antónia Silva|@5",
                           "2026-04-20 2026-04-21 D1795000 |DD EDP; eletricidade|@6"};
    }
    void readsEachFormat() {
        QFETCH(QString, file);
        QFETCH(QString, head);
        QFETCH(QStringList, lines);
        const BankStatement s = ReadBankStatement(Sample(file), std::nullopt);
        const auto date = [](std::optional<QDate> d) {
            return d ? d->toString(Qt::ISODate) : QStringLiteral("-");
        };
        QCOMPARE(QStringList({s.format, s.iban, Units(s.opening), date(s.openingDate),
                              Units(s.closing), date(s.closingDate)})
                     .join(u' '),
                 head);
        QStringList read;
        for (const BankLine& l : s.lines)
            read.append(Describe(l));
        QCOMPARE(read, lines);
    }

    void refusesBadFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray camt = Sample("camt053_02.xml");
        const QByteArray mt = Sample("mt940.sta");
        const QByteArray ofx = Sample("ofx1.ofx");
        const QByteArray csv = Sample("csv_montante.csv");
        QTest::newRow("camt: entry without amount")
            << QByteArray(camt).replace("<Amt Ccy=\"EUR\">687.50</Amt>", "")
            << "Elemento Ntry/Amt em falta na entrada 2.";
        QTest::newRow("camt: no such day")
            << QByteArray(camt).replace("2026-03-10", "2026-02-30")
            << "Elemento Ntry/BookgDt inválido «2026-02-30» na entrada 2.";
        QTest::newRow("camt: truncated") << camt.left(camt.size() / 2) << "não é XML válido";
        QTest::newRow("mt940: letter in amount")
            << QByteArray(mt).replace("D687,50", "D68X,50") << "Linha 7: movimento :61: inválido";
        QTest::newRow("mt940: ends before the closing balance")
            << mt.left(mt.indexOf(":62F:")) << "Linha 10: o ficheiro termina antes do saldo final";
        QTest::newRow("ofx: truncated") << ofx.left(ofx.indexOf("</BANKTRANLIST>")) << "</OFX>";
        QTest::newRow("csv: bad amount") << QByteArray(csv).replace("-687,50", "-687,5O")
                                         << "Linha 3: montante inválido «-687,5O».";
        QTest::newRow("csv: open quote") << csv + "01-04-2026;\"x"
                                         << "aspas por fechar";
        QTest::newRow("text without columns")
            << QByteArray("Caro cliente,\nobrigado.\n") << "Não foi possível reconhecer as colunas";
        QTest::newRow("empty") << QByteArray(" \r\n") << "O ficheiro está vazio.";
    }
    void refusesBadFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const std::optional<OrlaError> error = Try([&] { ReadBankStatement(bytes, std::nullopt); });
        QVERIFY(error);
        QCOMPARE(error->number, kBankFileInvalid);
        QVERIFY2(error->description.contains(message), qPrintable(error->description));
    }

    void missingFileIsNamed() {
        const std::optional<OrlaError> error =
            Try([] { ReadBankStatement(QStringLiteral("/nao/existe.xml"), std::nullopt); });
        QVERIFY(error);
        QCOMPARE(error->number, 53L);
        QVERIFY(error->description.contains(QStringLiteral("/nao/existe.xml")));
    }

    void layoutIsRememberedPerAccount() {
        test::SettingsSandbox sandbox;
        Context().ProgramKey = QStringLiteral("Contabilidade");
        const CsvLayout detected = *DetectCsvLayout(Sample("csv_debito_credito.csv"));
        QCOMPARE(detected.skipLines, 4);
        QCOMPARE(detected.dateFormat, QStringLiteral("dd/MM/yyyy"));
        QVERIFY(!LoadCsvLayout(7));
        QVERIFY(SaveCsvLayout(7, detected));
        QVERIFY(LoadCsvLayout(7) == detected);
        QVERIFY(!LoadCsvLayout(8));
        QVERIFY(DefinirValorString(
            QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Contabilidade"),
            QStringLiteral("FormatoCsv_8"), QStringLiteral("1;59;44;dd-MM-yyyy;1;-1;-1")));
        QVERIFY(!LoadCsvLayout(8));
    }
};

QTEST_MAIN(TestBankFiles)
#include "tst_bankfiles.moc"
