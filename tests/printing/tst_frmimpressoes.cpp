// The print dialog over a statement window: each toolbar button builds the
// statement and hands it to the shell, the mail program or the chosen file,
// and the dialog closes and gives the statement window back.
#include "PdfText.h"
#include "RecordingMailClient.h"
#include "RecordingShell.h"
#include "ScriptedFileDialogs.h"
#include "StatementFixture.h"
#include "common/Folders.h"
#include "common/Registry.h"
#include "context/Context.h"
#include "printing/frmImpressoes.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QPointer>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

using namespace orla;
using namespace orla::test;

namespace {

// A statement window with one movement, disabled as its opener leaves it, and the dialog
// over it; reports go to a temporary folder of the test's own, delivery to the doubles.
struct Dialog {
    StatementFixture f;
    QTemporaryDir temp, templates, chosen;
    ScopedEnv tmpdir{"TMPDIR", temp.path()};
    ScopedShell shell;
    ScopedMailClient mail;
    ScopedFileDialogs files;
    QPointer<frmImpressoes> dialog;

    Dialog() {
        DefinirValorString(
            QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\") + Context().ProgramKey,
            QStringLiteral("Templates"), templates.path());
        f.add(1, 901, Day(-3), "10");
        f.open(60);
        f.window().setEnabled(false);
        dialog = new frmImpressoes(&f.window());
        dialog->show();
    }
    QString built() const { return PastaTemporaria() + "/Extrato_Conta.doc"; }
    QAction* button(const char* key) const {
        return dialog->Toolbar2->findChild<QAction*>(QLatin1String(key));
    }
    void click(const char* key) const {
        QTest::mouseClick(dialog->Toolbar2->widgetForAction(button(key)), Qt::LeftButton);
    }
    // The dialog is gone (after any work it left running) and the statement window is back.
    bool closed() {
        return QTest::qWaitFor([&] { return dialog.isNull(); }, 240000) && f.window().isEnabled();
    }
    QString period() {
        return f.window().FXData_Inicio->date().toString("dd-MM-yyyy") + " a " +
               f.window().FXData_Fim->date().toString("dd-MM-yyyy");
    }
};

bool IsRtf(const QString& path) {
    return ReadAll(path).startsWith("{\\rtf");
}

// The text of every UTF-8 encoded word of a header, one after the other.
QString Decoded(const QByteArray& header) {
    QByteArray bytes;
    QRegularExpressionMatchIterator words =
        QRegularExpression("=\\?UTF-8\\?B\\?([^?]*)\\?=").globalMatch(QString::fromLatin1(header));
    while (words.hasNext())
        bytes += QByteArray::fromBase64(words.next().captured(1).toLatin1());
    return QString::fromUtf8(bytes);
}

}  // namespace

class TestFrmImpressoes : public QObject {
    Q_OBJECT

  private slots:
    void eachButtonDeliversTheStatementBuiltAfresh_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("verb");   // empty: the shell is not asked
        QTest::addColumn<bool>("heldOpen");  // the last statement is open in LibreOffice
        QTest::newRow("printer") << "btImpressora"
                                 << "print" << false;
        QTest::newRow("preview") << "btVisualizar"
                                 << "open" << false;
        QTest::newRow("attach builds only") << "btAnexar"
                                            << "" << false;
        QTest::newRow("printer, held open") << "btImpressora"
                                            << "" << true;
        QTest::newRow("preview, held open") << "btVisualizar"
                                            << "" << true;
    }
    void eachButtonDeliversTheStatementBuiltAfresh() {
        QFETCH(QString, key);
        QFETCH(QString, verb);
        QFETCH(bool, heldOpen);
        Dialog d;
        WriteAll(d.built(), "old");
        if (heldOpen)
            WriteAll(d.temp.filePath(".~lock.Extrato_Conta.doc#"), "eu");
        QSignalSpy aside(d.dialog.data(), &frmImpressoes::WorkFinished);
        d.click(qPrintable(key));
        QVERIFY(d.closed());
        QCOMPARE(IsRtf(d.built()), !heldOpen);
        QCOMPARE(d.f.prompts().calls.size(), heldOpen ? 1 : 0);
        if (heldOpen)
            QVERIFY(d.f.prompts().calls[0].text.startsWith("Tem uma impressão aberta."));
        const QList<ShellCall>& calls = d.shell.shell().calls;
        QCOMPARE(calls.size(), verb.isEmpty() ? 0 : 1);
        if (!verb.isEmpty()) {
            QCOMPARE(calls[0].verb, verb);
            QCOMPARE(calls[0].file, d.built());
            QCOMPARE(calls[0].workingFolder, PastaTemporaria() + '/');
        }
        // Printing waits on the printer's programs: it ran off the interface thread.
        QCOMPARE(aside.count(), verb == "print" ? 1 : 0);
        QVERIFY(d.mail.client().messages.isEmpty());
    }

    void emailComposesTheMessageWithTheStatementAttached() {
        Dialog d;
        d.click("btEmail");
        QVERIFY(d.closed());
        QCOMPARE(d.mail.client().messages.size(), 1);
        const MailMessage& m = d.mail.client().messages[0];
        const QString about =
            "Extrato da conta " + d.f.window().FXConta_ID->currentText() + " de " + d.period();
        QCOMPARE(m.recipAddress, QString());
        QCOMPARE(m.subject, about);
        QVERIFY(m.receiptRequested);
        QCOMPARE(m.attachmentName, "Documento.doc");
        QCOMPARE(m.attachmentPathName, d.built());
        QVERIFY(IsRtf(m.attachmentPathName));
        const QString rule(36, '-');
        QCOMPARE(m.noteText,
                 " \n\r\n\rExmos Senhores, \n\r\n\rJunto enviamos em anexo o ficheiro "
                 "com o " +
                     about +
                     ".\n\r\n\rCom os nossos melhores cumprimentos,"
                     "\n\r\n\r" +
                     Context().User + "\n\r\n\r\n\r\n\r" + rule +
                     "\n\r MENSAGEM PROCESSADA POR COMPUTADOR \n\r    "
                     "  www.nexosoftware.example      \n\r" +
                     rule + "\n\r");
        QVERIFY(d.shell.shell().calls.isEmpty());
    }

    void saveAsksWhereFromTheDesktop_data() {
        QTest::addColumn<QString>("name");  // in the folder chosen; empty: cancelled
        QTest::newRow("cancelled") << "";
        QTest::newRow("document") << "extrato.doc";
    }
    void saveAsksWhereFromTheDesktop() {
        QFETCH(QString, name);
        Dialog d;
        const QString path = name.isEmpty() ? QString() : d.chosen.filePath(name);
        d.files.dialogs().answers << path;
        d.click("btFicheiro");
        QVERIFY(d.closed());
        QCOMPARE(d.files.dialogs().requests.size(), 1);
        QCOMPARE(d.files.dialogs().requests[0].title, "Gravar Documento:");
        QCOMPARE(d.files.dialogs().requests[0].fileName, PastaEspecial(CSIDL_DESKTOP));
        QVERIFY2(!QFileInfo::exists(d.built()), "a statement was built in the temporary folder");
        QCOMPARE(QDir(d.chosen.path()).entryList(QDir::Files),
                 name.isEmpty() ? QStringList() : QStringList{name});
        if (!name.isEmpty())
            QVERIFY(IsRtf(path));
        QVERIFY(d.shell.shell().calls.isEmpty());
    }

    // LibreOffice converts the statement: a few seconds.
    void saveAsPdfWritesThePdfOfTheStatement() {
        Dialog d;
        const QString path = d.chosen.filePath("extrato.pdf");
        d.files.dialogs().answers << path;
        d.click("btFicheiro");
        QVERIFY(d.closed());
        QVERIFY2(d.f.prompts().calls.isEmpty(), qPrintable(d.f.prompts().calls.value(0).text));
        QVERIFY(ReadAll(path).startsWith("%PDF"));
        QString error;
        const QString text = PdfToText(path, &error);
        QVERIFY2(text.contains(d.f.window().FXData_Inicio->date().toString("dd-MM-yyyy")),
                 qPrintable(error + text));
    }

    void reciboLeavesOnlyThePrinterAndBuildsNothing() {
        Dialog d;
        QTest::mouseClick(d.dialog->Option_Recibo, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(d.dialog->Option_Recibo->isChecked());
        for (const char* key : {"btVisualizar", "btEmail", "btFicheiro", "btAnexar", "btCancelar"})
            QVERIFY2(!d.button(key)->isEnabled(), key);
        QVERIFY(d.button("btImpressora")->isEnabled());
        d.click("btImpressora");
        QVERIFY(d.closed());
        QVERIFY(!QFileInfo::exists(d.built()));
        QVERIFY(d.shell.shell().calls.isEmpty());
    }

    void escapeClosesWithoutBuilding() {
        Dialog d;
        QTest::keyClick(d.dialog->Option_Documento, Qt::Key_Escape);
        QVERIFY(d.closed());
        QVERIFY(!QFileInfo::exists(d.built()));
        QVERIFY(d.shell.shell().calls.isEmpty());
    }

    // Without xdg-email the desktop's mail client writes the draft, with the attachment
    // under its own name, in a new folder of its own, and opens it.
    void mailWithoutXdgEmailOpensADraft() {
        QTemporaryDir temp, noPrograms;
        ScopedEnv tmpdir{"TMPDIR", temp.path()};
        ScopedEnv path{"PATH", noPrograms.path()};
        ScopedShell shell;
        SetMailClient(nullptr);
        const QString built = temp.filePath("Extrato_Conta.doc");
        WriteAll(built, "{\\rtf1 x}");
        CurrentMailClient().Send({{}, "Extrato", "Corpo", "Documento.doc", built, true}, nullptr);
        QCOMPARE(shell.shell().calls.size(), 1);
        const ShellCall open = shell.shell().calls[0];
        QCOMPARE(open.verb, "open");
        QCOMPARE(QFileInfo(open.file).fileName(), "Mensagem.eml");
        QCOMPARE(QFileInfo(open.file).path(), open.workingFolder);
        QVERIFY(open.workingFolder.startsWith(temp.path() + "/orla-mail-"));
        QCOMPARE(QFileInfo(open.workingFolder).permissions() & 0x0077, 0);
        QCOMPARE(ReadAll(open.workingFolder + "/Documento.doc"), ReadAll(built));
        QVERIFY(ReadAll(open.file).contains(QByteArray("{\\rtf1 x}").toBase64()));
    }

    // The draft a mail program opens when xdg-email cannot: headers, body and attachment
    // read back as a mail reader does.
    void mailDraftCarriesTheWholeMessage() {
        QByteArray attachment;
        for (int i = 0; i < 1000; ++i)
            attachment += char(i * 7);
        const MailMessage message{"cliente@example.org",
                                  QString(4, QChar(0x00BA)) +
                                      " Extrato Nº 12 de 01-12-2026 a "
                                      "31-12-2026 da conta Caixa Geral",
                                  "Linha 1\n\rLinha 2",
                                  "Documento.doc",
                                  "/x/y.doc",
                                  true};
        const QByteArray draft = MailDraft(message, attachment, "eu@example.org");
        const qsizetype bodyAt = draft.indexOf("\r\n\r\n");
        const QByteArray head = draft.left(bodyAt);
        QVERIFY(head.contains("\r\nTo: cliente@example.org\r\n"));
        QVERIFY(head.contains("\r\nDisposition-Notification-To: eu@example.org\r\n"));
        const QRegularExpressionMatch subject =
            QRegularExpression("\r\nSubject: ((.|\r\n )*)\r\n").match(QString::fromLatin1(head));
        QCOMPARE(Decoded(subject.captured(1).toLatin1()), message.subject);
        for (const QByteArray& line : draft.split('\n'))
            QVERIFY2(line.size() <= 78, line.constData());
        const QByteArray boundary = QRegularExpression("boundary=\"([^\"]+)\"")
                                        .match(QString::fromLatin1(head))
                                        .captured(1)
                                        .toLatin1();
        const auto part = [&](int n) {
            QByteArray rest = draft.mid(bodyAt);
            for (int i = 0; i < n; ++i)
                rest = rest.mid(rest.indexOf("--" + boundary + "\r\n") + boundary.size() + 4);
            const QByteArray section = rest.left(rest.indexOf("--" + boundary));
            return QByteArray::fromBase64(section.mid(section.indexOf("\r\n\r\n") + 4));
        };
        QCOMPARE(part(1), "Linha 1\r\nLinha 2");
        QCOMPARE(part(2), attachment);
        QVERIFY(draft.contains("filename=\"Documento.doc\""));
        QVERIFY(draft.endsWith("--" + boundary + "--\r\n"));
    }
};

QTEST_MAIN(TestFrmImpressoes)
#include "tst_frmimpressoes.moc"
