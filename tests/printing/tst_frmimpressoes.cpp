// The print dialog over a statement window: each toolbar button builds the
// statement and hands it to the shell, the mail program or the chosen file,
// and the dialog closes and gives the statement window back.
#include "PdfText.h"
#include "Recorders.h"
#include "StatementFixture.h"
#include "common/Folders.h"
#include "common/Registry.h"
#include "context/Context.h"
#include "printing/frmImpressoes.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
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
    ScopedTempFolder temp;
    QTemporaryDir templates, chosen;
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
        dialog = AbrirImpressoes(&f.window());
    }
    QString built() const { return PastaTemporaria() + "/Extrato_Conta.doc"; }
    void click(const char* key) const {
        QAction* button = dialog->Toolbar2->findChild<QAction*>(QLatin1String(key));
        QTest::mouseClick(dialog->Toolbar2->widgetForAction(button), Qt::LeftButton);
    }
    // The dialog is gone (after any work it left running) and the statement window is back.
    bool closed() {
        return QTest::qWaitFor([&] { return dialog.isNull(); }, 240000) && f.window().isEnabled();
    }
};

// The text of every UTF-8 encoded word of a header, one after the other.
QString Decoded(const QByteArray& header) {
    QString text;
    QRegularExpressionMatchIterator words =
        QRegularExpression("=\\?UTF-8\\?B\\?([^?]*)\\?=").globalMatch(QString::fromLatin1(header));
    while (words.hasNext())  // each word on its own, as a mail reader decodes it
        text += QString::fromUtf8(QByteArray::fromBase64(words.next().captured(1).toLatin1()));
    return text;
}

}  // namespace

class TestFrmImpressoes : public QObject {
    Q_OBJECT

  private slots:
    void eachButtonDeliversTheStatementBuiltAfresh_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("verb");   // empty: the shell is not asked
        QTest::addColumn<bool>("heldOpen");  // the last statement is open in LibreOffice
        QTest::newRow("printer") << QString("btImpressora") << QString("print") << false;
        QTest::newRow("preview") << QString("btVisualizar") << QString("open") << false;
        QTest::newRow("attach builds only") << QString("btAnexar") << QString() << false;
        QTest::newRow("printer, held open") << QString("btImpressora") << QString() << true;
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
        QCOMPARE(ReadAll(d.built()).startsWith("{\\rtf"), !heldOpen);
        QCOMPARE(d.f.prompts().calls.size(), heldOpen ? 1 : 0);
        if (heldOpen)
            QVERIFY(d.f.prompts().calls[0].text.startsWith("Tem uma impressão aberta."));
        const QList<ShellCall>& calls = d.shell->calls;
        QCOMPARE(calls.size(), verb.isEmpty() ? 0 : 1);
        if (!verb.isEmpty()) {
            QCOMPARE(calls[0].verb, verb);
            QCOMPARE(calls[0].file, d.built());
            QCOMPARE(calls[0].workingFolder, PastaTemporaria() + '/');
        }
        // The build (and printing, which waits on the printer's programs) ran off the
        // interface thread.
        QCOMPARE(aside.count(), 1);
    }

    void emailComposesTheMessageWithTheStatementAttached() {
        Dialog d;
        d.click("btEmail");
        QVERIFY(d.closed());
        QCOMPARE(d.mail->messages.size(), 1);
        const MailMessage& m = d.mail->messages[0];
        const QString about = "Extrato da conta " + d.f.window().FXConta_ID->currentText() +
                              " de " + d.f.window().FXData_Inicio->date().toString("dd-MM-yyyy") +
                              " a " + d.f.window().FXData_Fim->date().toString("dd-MM-yyyy");
        QCOMPARE(m.recipAddress, QString());
        QCOMPARE(m.subject, about);
        QVERIFY(m.receiptRequested);
        QCOMPARE(m.attachmentName, "Documento.doc");
        QCOMPARE(m.attachmentPathName, d.built());
        QVERIFY(m.noteText.contains(about) && m.noteText.contains(Context().User));
    }

    // The PDF is the statement converted by LibreOffice: a few seconds.
    void saveAsksWhereFromTheDesktop_data() {
        QTest::addColumn<QString>("name");     // in the folder chosen; empty: cancelled
        QTest::addColumn<QByteArray>("kind");  // how the file written begins
        QTest::newRow("cancelled") << QString() << QByteArray();
        QTest::newRow("document") << QString("extrato.doc") << QByteArray("{\\rtf");
        QTest::newRow("pdf") << QString("extrato.pdf") << QByteArray("%PDF");
        QTest::newRow("pdf, cancelled while converting: nothing written")
            << QString("extrato.pdf") << QByteArray("stopped");
    }
    void saveAsksWhereFromTheDesktop() {
        QFETCH(QString, name);
        QFETCH(QByteArray, kind);
        Dialog d;
        const QString path = name.isEmpty() ? QString() : d.chosen.filePath(name);
        d.files->answers << path;
        d.click("btFicheiro");
        if (kind == "stopped") {  // "Cancelar" in the progress dialog over the statement
            QPointer<QProgressDialog> progress;
            QVERIFY(QTest::qWaitFor([&] {
                progress = d.f.window().findChild<QProgressDialog*>();
                return progress && progress->labelText().contains("PDF");
            }));
            QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        }
        QVERIFY(d.closed());
        if (kind == "stopped") {  // nothing said, nothing left: no PDF, no conversion folder
            QVERIFY(d.f.prompts().calls.isEmpty());
            QVERIFY(d.f.window().findChild<QProgressDialog*>() == nullptr);
            QCOMPARE(QDir(d.chosen.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
            QCOMPARE(QDir(d.temp.path()).entryList({"orla-*"}, QDir::Dirs), QStringList());
            return;
        }
        QCOMPARE(d.files->requests.size(), 1);
        QCOMPARE(d.files->requests[0].title, "Gravar Documento:");
        QCOMPARE(d.files->requests[0].fileName, PastaEspecial(CSIDL_DESKTOP));
        QVERIFY2(d.f.prompts().calls.isEmpty(), qPrintable(d.f.prompts().calls.value(0).text));
        // Only a PDF is made from a statement built in the temporary folder.
        QCOMPARE(QFileInfo::exists(d.built()), kind == "%PDF");
        QCOMPARE(QDir(d.chosen.path()).entryList(QDir::Files),
                 name.isEmpty() ? QStringList() : QStringList{name});
        QVERIFY(name.isEmpty() || ReadAll(path).startsWith(kind));
        QString error;
        if (kind == "%PDF")
            QVERIFY2(PdfToText(path, &error)
                         .contains(d.f.window().FXData_Inicio->date().toString("dd-MM-yyyy")),
                     qPrintable(error));
        QVERIFY(d.shell->calls.isEmpty());
    }

    // When xdg-email fails, as it does without a desktop (or is missing), the desktop's mail
    // client writes a draft, with the attachment under its own name, in a new folder of its
    // own, and opens it; the draft, read back as a mail reader does, holds the whole message.
    void mailFallsBackToADraftOfTheWholeMessage_data() {
        QTest::addColumn<bool>("opened");  // the shell could open the draft
        QTest::newRow("xdg-email failing") << true;
        QTest::newRow("nothing opens it: the folder goes") << false;
    }
    void mailFallsBackToADraftOfTheWholeMessage() {
        QFETCH(bool, opened);
        ScopedTempFolder temp;
        QTemporaryDir noPrograms;
        ScopedEnv path{"PATH", noPrograms.path()};
        ScopedEnv sender{"EMAIL", QString("eu@example.org")};
        ScopedShell shell;
        shell->result = opened;
        ServiceSlot<MailClient>::Replace(nullptr);  // the real mail program
        const QString script = noPrograms.filePath("xdg-email");
        WriteAll(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\nexit 3\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
        const QByteArray attachment = QByteArray::fromHex("00ff7f803d0d0a").repeated(150);
        WriteAll(temp.filePath("Extrato_Conta.doc"), attachment);
        const MailMessage message{
            "cliente@example.org",
            "Extrato da conta Caixa Geral Nº 12 \U0001F4B6 de 01-12-2026 a 31-12-2026",
            "Linha 1\n\rLinha 2",
            "Documento.doc",
            temp.filePath("Extrato_Conta.doc"),
            true};
        CurrentMailClient().Send(message, nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(shell->calls.size(), 1, 30000);
        const ShellCall open = shell->calls[0];
        // Each text an argument of its own, the body's line breaks as line feeds.
        QCOMPARE(ReadAll(script + ".args"), "--utf8\n--subject\n" + message.subject.toUtf8() +
                                                "\n--body\nLinha 1\nLinha 2\n--attach\n" +
                                                QFile::encodeName(open.workingFolder) +
                                                "/Documento.doc\ncliente@example.org\n");
        QCOMPARE(open.verb, "open");
        QCOMPARE(open.file, open.workingFolder + "/Mensagem.eml");
        QVERIFY(open.workingFolder.startsWith(temp.path() + "/orla-mail-"));
        QTRY_COMPARE(QFileInfo::exists(open.workingFolder), opened);
        if (!opened)
            return;
        QCOMPARE(QFileInfo(open.workingFolder).permissions() & 0x0077, 0);
        QCOMPARE(ReadAll(open.workingFolder + "/Documento.doc"), attachment);
        const QByteArray draft = ReadAll(open.file);
        const QString head = QString::fromLatin1(draft.left(draft.indexOf("\r\n\r\n")));
        QVERIFY(head.contains("\r\nTo: cliente@example.org\r\n"));
        QVERIFY(head.contains("\r\nDisposition-Notification-To: eu@example.org\r\n"));
        // Encoded words of the subject, folded onto lines of their own: no line over 78.
        QCOMPARE(Decoded(QRegularExpression("\r\nSubject: ((.|\r\n )*)\r\n")
                             .match(head)
                             .captured(1)
                             .toLatin1()),
                 message.subject);
        QVERIFY(!QString::fromLatin1(draft).contains(QRegularExpression("[^\r\n]{79}")));
        const QByteArray boundary =
            "--" + QRegularExpression("boundary=\"([^\"]+)\"").match(head).captured(1).toLatin1();
        QByteArrayList decoded;
        qsizetype at = draft.indexOf(boundary + "\r\n");
        while (at >= 0) {
            const qsizetype body = draft.indexOf("\r\n\r\n", at) + 4;
            at = draft.indexOf(boundary, body);
            decoded << QByteArray::fromBase64(draft.mid(body, at - body));
            at = draft.indexOf(boundary + "\r\n", at);
        }
        QCOMPARE(decoded, (QByteArrayList{"Linha 1\r\nLinha 2", attachment}));
        QVERIFY(draft.contains("filename=\"Documento.doc\""));
        QVERIFY(draft.endsWith(boundary + "--\r\n"));
    }
};

QTEST_MAIN(TestFrmImpressoes)
#include "tst_frmimpressoes.moc"
