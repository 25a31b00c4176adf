// Reports printed to PDF by LibreOffice: the demo's statement shows every value as typed (RTF
// special characters, accents, the euro sign), the company's data, the logo and the summary, no
// placeholder, and its headings on every page; the printer gets a PDF; a hung helper goes.
#include "DemoDatabase.h"
#include "PdfText.h"
#include "ScopedLocale.h"
#include "SettingsSandbox.h"
#include "StatementFixture.h"
#include "context/Context.h"
#include "platform/Ansi.h"
#include "platform/services/RepeatedHeadings.h"
#include "platform/services/Shell.h"
#include "printing/StatementReport.h"
#include "printing/modTemplates.h"
#include "statement/StatementReportSource.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

const QString kHostile = QStringLiteral("Zé {Sá} \\ \"€\"");

// The values missing from the document as LibreOffice prints it, and any placeholder text
// left in it; the printed text follows (no-break spaces read as the spaces they show).
QStringList Unprinted(const QString& file, const QStringList& values, QString* printed) {
    QString error;
    const QString pdf = ConvertToPdf(file, QFileInfo(file).path(), &error);
    *printed = (pdf.isEmpty() ? QString() : PdfToText(pdf, &error)).replace(QChar(0xA0), ' ');
    if (printed->isEmpty())
        return {error};
    QStringList missing;
    for (const QString& value : values)
        if (!printed->contains(QString(value).replace(QChar(0xA0), ' ')))
            missing << value;
    for (const char* left : {"<", ">", "FX_", "owner_"})
        if (printed->contains(QLatin1String(left), Qt::CaseInsensitive))
            missing << QStringLiteral("placeholder text left: ") + left;
    return missing;
}

}  // namespace

class TestReportPdf : public QObject {
    Q_OBJECT
    ScopedLocale locale_{QStringLiteral("pt_PT")};

    // The demo machine's settings, which also make the folder the logo is written to.
    static void writeSettings() {
        QString error;
        QVERIFY2(WriteDemoSettings(Context().cnDataSource, &error), qPrintable(error));
    }

  private slots:
    void statementPrintsTheListTheCompanyAndTheSummary() {
        StatementFixture f;
        f.add(1, 501, Day(-9), "1250");
        f.add(7, 502, Day(-6), "80");
        f.add(3, 503, Day(-3), "250");
        f.exec({"INSERT INTO tbContactos (contacto_id, nome_union, tipo) VALUES (90, '" +
                    QString(kHostile).replace("'", "''") + "', 'C'), (91, 'Rui Sá', 'C')",
                "UPDATE tbDocumentos_Recibos SET contacto_id = 90 WHERE recibo_id = 501",
                "UPDATE tbDocumentos_Pagamentos SET contacto_id = 91, modo_pagamento_id = 2 "
                "WHERE pag_id = 502",
                "UPDATE tbCustos_Recibos SET contacto_id = 91 WHERE recibo_id = 503"});
        writeSettings();
        f.open(60);
        QTemporaryDir out;
        QString outFile = out.filePath("Extrato_Conta.doc");
        QCOMPARE(DoReport(ReadStatementReportSource(f.window()), outFile), outFile);
        QVERIFY2(f.reports().reports.isEmpty(), "the build reported a failure");

        QStringList values{kHostile, f.window().FXConta_ID->currentText(),
                           f.window().FXData_Inicio->date().toString("dd-MM-yyyy"),
                           f.window().FXData_Fim->date().toString("dd-MM-yyyy")};
        const int rows = f.window().ListModel()->rowCount();
        QCOMPARE(rows, 4);  // three movements and the balance carried
        for (int r = 0; r < rows; ++r) {
            const QStringList cells = f.texts(r);
            for (int c : {ColData, ColOrigem, ColEntidade, ColReferencia, ColSaldo})
                values << cells[c].trimmed();
            // Amounts without the sign: the columns' headings carry it.
            for (int c : {ColDebito, ColCredito})
                values << QString(cells[c]).remove("€").trimmed();
            if (!cells[ColTipoDocumento].trimmed().isEmpty())
                values << cells[ColTipoDocumento] + " [" + cells[ColDocumento] + "]";
        }
        for (const char* field : {"nome_union", "morada", "cod_postal", "localidade",
                                  "no_contribuinte", "telefone", "email"})
            values << f.value(QStringLiteral("SELECT %1 FROM vwEmpresas_Completo").arg(field))
                          .toString();
        values.removeAll(QString());

        QString printed;
        const QStringList missing = Unprinted(outFile, values, &printed);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(" | ") + "\n" + printed));
        // The period's totals and closing balance under the movements; net amounts per payment
        // method, in order: 80 in, and 1250 in less 250 out.
        QVERIFY2(printed.contains(
                     QRegularExpression("Totais do período e saldo final +1 330,00 +250,00 +" +
                                        QString(f.texts(0)[ColSaldo]).replace(QChar(0xA0), ' '))),
                 qPrintable(printed));
        const QRegularExpression summary(
            "Resumo por forma de pagamento\\n(.*\\n)*Cheque +80,00\\n"
            "(.*\\n)*Numerário +1 000,00\\n");
        QVERIFY2(summary.match(printed).hasMatch(), qPrintable(printed));

        // The logo reached the page as stored, at a size one can see.
        const QByteArray stored = ReadAll(DemoTemplatesDir(DemoScriptsDir()) + "/logo.jpg");
        QCOMPARE(ReadAll(LogoPath()), stored);
        QProcess images;
        images.start("pdfimages", {"-list", out.filePath("Extrato_Conta.pdf")});
        QVERIFY(images.waitForFinished(60000));
        const QString width = QString::number(QImage::fromData(stored).width());
        QVERIFY2(QString::fromUtf8(images.readAllStandardOutput())
                     .contains(QRegularExpression("\\bimage +" + width + " ")),
                 "no logo in the PDF at its own size");
    }

    // A statement of several pages shows the columns' headings above the first movement of
    // every page, also in the table that begins after 200 rows.
    void headingsRepeatOnEveryPage() {
        StatementReportSource source;
        source.rows.resize(260);
        for (size_t r = 0; r < source.rows.size(); ++r)
            source.rows[r].cells = {"02-01-2026", "Recibo", "Cliente",
                                    "REF",        "Recibo", "RC " + QString::number(r),
                                    "",           "10,00",  "1 000,00"};
        QTemporaryDir dir;
        const QString doc = dir.filePath("Extrato_Conta.doc");
        WriteStatementReport(
            doc, FromAnsi(ReadAll(DemoTemplatesDir(DemoScriptsDir()) + "/Extrato_Conta.doc")),
            source, "6 dezembro 2026");
        QString error;
        const QString pdf = ConvertToPdf(doc, dir.path(), &error);
        QVERIFY2(!pdf.isEmpty(), qPrintable(error));
        const QStringList pages = PdfToText(pdf, &error).split('\f');
        QVERIFY2(pages.size() > 3, qPrintable(error));
        for (qsizetype p = 0; p < pages.size(); ++p) {
            const qsizetype movement = pages[p].indexOf(QRegularExpression("RC \\d+"));
            const qsizetype headings =
                pages[p].indexOf(QRegularExpression("Data +Origem +Entidade"));
            QVERIFY2((movement < 0 && p > 0) || (headings >= 0 && headings < movement),
                     qPrintable(QString("page %1:\n%2").arg(p + 1).arg(pages[p])));
        }
    }

    // Only a table's leading heading rows repeat: the two on top, not one below a body row.
    void onlyLeadingHeadingRowsRepeat() {
        QByteArray rtf = "{\\rtf1\\ansi ";  // the table first: its text stays
        for (const char* row : {"\\trhdr Cima1", "\\trhdr Cima2", " Meio", "\\trhdr Baixo"})
            rtf += QByteArray("\\trowd\\cellx3000") + row + "\\cell\\row ";
        for (int r = 0; r < 120; ++r)
            rtf += "\\trowd\\cellx3000 L" + QByteArray::number(r) + "\\cell\\row ";
        QTemporaryDir dir;
        WriteAll(dir.filePath("t.doc"), rtf + "\\pard\\par}");
        QString error;
        const QString pdf = ConvertToPdf(dir.filePath("t.doc"), dir.path(), &error);
        const QString text = pdf.isEmpty() ? QString() : PdfToText(pdf, &error);
        const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
        QVERIFY2(pages.size() > 2, qPrintable(error + text));
        for (const QString& page : pages)
            QVERIFY2(page.contains(QRegularExpression("^\\s*Cima1\\s+Cima2\\s+(Meio|L\\d)")),
                     qPrintable(page));
        QCOMPARE(text.count("Meio") + text.count("Baixo"), 2);
    }

    // The heading rows' marks ("@"): at the start of the first cell after each "\trhdr" of a
    // row's leading properties, under a name found nowhere in the text.
    void headingRowsAreMarkedInTheirFirstCell_data() {
        QTest::addColumn<QByteArray>("marked");
        QTest::newRow("none; properties started anew")
            << QByteArray("\\trowd\\cellx1 A\\cell\\row \\trowd\\trhdr\\trowd B\\cell\\row");
        QTest::newRow("two tables") << QByteArray(
            "\\trowd\\trhdr\\cellx1 @A\\cell B\\cell\\row "
            "\\trowd C\\cell\\row\\par \\trowd\\trhdr @D\\cell");
        QTest::newRow("flag repeated after the cells")
            << QByteArray("\\trowd\\trhdr @A\\cell{\\trowd\\trhdr\\row} B\\cell\\row");
        QTest::newRow("in groups") << QByteArray("{\\trowd{\\trhdr}\\cellx1@}{\\b A\\cell}\\row");
        QTest::newRow("text, binary data, a longer word") << QByteArray(
            "\\trhdrx orla_cabecalho_1 \\\\trhdr\\'e9\\cell\\row "
            "\\trowd\\trhdr@{\\pict\\bin5 \\cell}A\\cell\\row");
    }
    void headingRowsAreMarkedInTheirFirstCell() {
        QFETCH(QByteArray, marked);
        const QByteArray rtf = QByteArray(marked).replace('@', "");
        const MarkedRtf result = MarkHeadingRows(rtf);
        QVERIFY2(!rtf.contains(result.prefix.toLatin1()), qPrintable(result.prefix));
        QList<QByteArray> pieces = marked.split('@');
        QByteArray expected = pieces.takeFirst();
        for (qsizetype m = 0; m < pieces.size(); ++m) {
            const QByteArray name = result.prefix.toLatin1() + QByteArray::number(m + 1);
            expected += "{\\*\\bkmkstart " + name + "}{\\*\\bkmkend " + name + "}" + pieces[m];
        }
        QCOMPARE(result.rtf, expected);
        QCOMPARE(result.markers, pieces.size());
    }

    // "Imprimir" through the real shell: lp (a script first on the PATH that keeps what it is
    // given) gets a PDF of the document within seconds, though the private folder, so
    // LibreOffice's profile, is under a path with a space, and though the account's text holds
    // no character beyond ASCII but a dash (LibreOffice would read such a file as plain text).
    void printingHandsLpAPdfOfTheDocument() {
        QTemporaryDir dir;
        const QString spaced = dir.filePath("Orla Contas");
        QVERIFY(QDir().mkdir(spaced));
        QVERIFY(
            QFile::setPermissions(spaced, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        ScopedEnv runtime("XDG_RUNTIME_DIR", spaced);
        ScopedEnv cache("XDG_CACHE_HOME", spaced);
        const QString received = dir.filePath("recebido");
        WriteAll(dir.filePath("bin/lp"), "#!/bin/sh\nfor a; do f=$a; done\ncp -- \"$f\" '" +
                                             QFile::encodeName(received) + "'\n");
        QVERIFY(QFile::setPermissions(dir.filePath("bin/lp"), QFile::ReadOwner | QFile::ExeOwner));
        ScopedEnv path("PATH", dir.filePath("bin") + ":" + qEnvironmentVariable("PATH"));
        StatementReportSource source;
        source.conta = QStringLiteral("Conta \u2013 Caixa");
        source.rows.resize(1);
        const QString doc = dir.filePath("Extrato_Conta.doc");
        WriteStatementReport(doc, "{\\rtf1\\ansi\\ansicpg1252 <<conta_descrit>>\\par}", source,
                             "6 dezembro 2026");

        QElapsedTimer clock;
        clock.start();
        QVERIFY(CurrentShell().ShellExecute("print", doc, dir.path(), nullptr));
        QVERIFY2(clock.elapsed() < 90000, "the print waited for a LibreOffice that hung");
        QVERIFY2(ReadAll(received).startsWith("%PDF"), ReadAll(received).left(200).constData());
        QString error;
        const QString printed = PdfToText(received, &error);
        QVERIFY2(printed.contains(source.conta) && !printed.contains("{\\rtf"),
                 qPrintable(printed + error));
    }

    // A file LibreOffice reads as plain text (raw bytes above ASCII and no accented letter)
    // gives no PDF of its source, but a message.
    void aDocumentReadAsPlainTextIsRefused() {
        QTemporaryDir dir;
        WriteAll(dir.filePath("texto.doc"), "{\\rtf1\\ansi Conta \x96 Caixa\\par}\r\n");
        QString error;
        QCOMPARE(ConvertToPdf(dir.filePath("texto.doc"), dir.path(), &error), QString());
        QVERIFY2(error.contains("texto simples"), qPrintable(error));
        QVERIFY(!QFileInfo::exists(dir.filePath("texto.pdf")));
    }

    // A cancelled conversion of a document whose headings repeat takes LibreOffice with it,
    // though soffice.bin is started by the driver's child.
    void aCancelledConversionLeavesNoLibreOffice() {
        QTemporaryDir dir;
        ScopedEnv runtime("XDG_RUNTIME_DIR", dir.path());  // so LibreOffice's profile is there
        const auto running = [&dir](const char* program) {
            for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
                const QByteArray command = ReadAll("/proc/" + pid + "/cmdline");
                if (command.contains(program) && command.contains(dir.path().toUtf8()))
                    return true;
            }
            return false;
        };
        WriteAll(dir.filePath("e.doc"), "{\\rtf1\\ansi \\trowd\\trhdr\\cellx900 A\\cell\\row}");
        QString error;
        QCOMPARE(ConvertToPdf(dir.filePath("e.doc"), dir.path(), &error,
                              [&] { return running("soffice.bin"); }),
                 QString());
        QCOMPARE(error, QString("a conversão foi cancelada."));
        QTRY_VERIFY(!running(""));
    }
};

QTEST_MAIN(TestReportPdf)
#include "tst_reportpdf.moc"
