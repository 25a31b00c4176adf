// The save-as dialog: the NUL-separated filter list, its translation for Qt,
// what the dialog is asked and what comes back.
#include "ScriptedFileDialogs.h"
#include "common/ComDlg.h"
#include "platform/services/Prompts.h"

#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

// Filter lists are written here with "|" for each NUL.
QString Nul(QString text) {
    return text.replace(QLatin1Char('|'), QChar(u'\0'));
}

}  // namespace

class TestComDlg : public QObject {
    Q_OBJECT

  private slots:
    void filterString_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty list") << QStringList() << "";
        QTest::newRow("one pair gets the all-files entry")
            << QStringList{"Documentos", "*.doc"} << "Documentos|*.doc|All Files|*.*||";
        QTest::newRow("all files already given")
            << QStringList{"Documentos", "*.doc", "Todos", "*.*"} << "Documentos|*.doc|Todos|*.*||";
        QTest::newRow("last description without pattern")
            << QStringList{"Word", "*.doc", "Outros"} << "Word|*.doc|Outros|*.*||";
        QTest::newRow("*.* inside a pattern list is not all files")
            << QStringList{"Vários", "*.doc;*.*"} << "Vários|*.doc;*.*|All Files|*.*||";
    }
    void filterString() {
        QFETCH(QStringList, texts);
        QFETCH(QString, expected);
        QCOMPARE(MSA_CreateFilterString(texts), Nul(expected));
    }

    void qtFilters_data() {
        QTest::addColumn<QString>("filterString");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty") << "" << QStringList();
        QTest::newRow("several patterns")
            << "Documentos|*.doc;*.rtf||" << QStringList{"Documentos (*.doc *.rtf)"};
        QTest::newRow("the list ends at the first empty description")
            << "Word|*.doc||*.txt|Outros|*.*||" << QStringList{"Word (*.doc)"};
        QTest::newRow("empty first description: no filter")
            << "|doc|All Files|*.*||" << QStringList();
    }
    void qtFilters() {
        QFETCH(QString, filterString);
        QFETCH(QStringList, expected);
        QCOMPARE(QtNameFilters(Nul(filterString)), expected);
    }

    void saveDialog_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("expected");
        QTest::newRow("chosen, spaces around the path trimmed")
            << "  /home/ana/Extrato de Maio.doc  "
            << "/home/ana/Extrato de Maio.doc";
        QTest::newRow("cancelled") << ""
                                   << "";
    }
    void saveDialog() {
        QFETCH(QString, answer);
        QFETCH(QString, expected);
        ScopedFileDialogs scope;
        scope.dialogs().answers << answer;
        QString fileName = QStringLiteral("/home/ana/Desktop");
        const QString chosen =
            SaveFileName(fileName, "Gravar Documento:", "Documentos", "*.doc", "/srv/saida");
        QCOMPARE(chosen, expected);
        // A cancel leaves the proposed name as it was.
        QCOMPARE(fileName, expected.isEmpty() ? QStringLiteral("/home/ana/Desktop") : expected);
        QCOMPARE(scope.dialogs().requests.size(), 1);
        const SaveDialogRequest& request = scope.dialogs().requests.first();
        QCOMPARE(request.title, QStringLiteral("Gravar Documento:"));
        QCOMPARE(request.folder, QStringLiteral("/srv/saida"));
        QCOMPARE(request.fileName, QStringLiteral("/home/ana/Desktop"));
        QCOMPARE(request.nameFilters, QStringList({"Documentos (*.doc)", "All Files (*)"}));
    }

    // The Qt dialog cannot be answered without a display: it must not wait.
    void qtDialogWithoutDisplayIsCancelled() {
        if (HasDisplay())
            QSKIP("with a display the real dialog would wait for a user");
        QString fileName = QStringLiteral("Extrato.doc");
        QCOMPARE(SaveFileName(fileName, "Gravar Documento:", "", "doc", ""), QString());
    }
};

QTEST_MAIN(TestComDlg)
#include "tst_comdlg.moc"
