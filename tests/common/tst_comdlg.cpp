// The save-as dialog: what it is asked (title, folder, proposed name, and the
// filters built from one description and pattern) and what comes back.
#include "ScriptedFileDialogs.h"
#include "common/ComDlg.h"
#include "platform/services/Prompts.h"

#include <QTest>

using namespace orla;
using namespace orla::test;

class TestComDlg : public QObject {
    Q_OBJECT

  private slots:
    void saveDialog_data() {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("filters");  // as the dialog shows them
        QTest::addColumn<QString>("answer");       // "" cancels
        QTest::addColumn<QString>("expected");
        const QStringList doc{"Documentos (*.doc)", "All Files (*)"};
        const QString chosen = "/home/ana/Extrato de Maio.doc";
        QTest::newRow("chosen, spaces around the path trimmed")
            << "Documentos"
            << "*.doc" << doc << "  " + chosen + "  " << chosen;
        QTest::newRow("cancelled") << "Documentos"
                                   << "*.doc" << doc << ""
                                   << "";
        QTest::newRow("all files given: no second entry") << "Todos"
                                                          << "*.*" << QStringList{"Todos (*)"} << ""
                                                          << "";
        QTest::newRow("*.* among other patterns is not all files")
            << "Vários"
            << "*.doc; *.*" << QStringList{"Vários (*.doc *)", "All Files (*)"} << ""
            << "";
        QTest::newRow("no description: no filter") << ""
                                                   << "doc" << QStringList() << ""
                                                   << "";
    }
    void saveDialog() {
        QFETCH(QString, description);
        QFETCH(QString, pattern);
        QFETCH(QStringList, filters);
        QFETCH(QString, answer);
        QFETCH(QString, expected);
        ScopedFileDialogs scope;
        scope.dialogs().answers << answer;
        QString fileName = QStringLiteral("/home/ana/Desktop");
        QCOMPARE(SaveFileName(fileName, "Gravar Documento:", description, pattern, "/srv/saida"),
                 expected);
        // A cancel leaves the proposed name as it was.
        QCOMPARE(fileName, expected.isEmpty() ? QStringLiteral("/home/ana/Desktop") : expected);
        QCOMPARE(scope.dialogs().requests.size(), 1);
        const SaveDialogRequest& request = scope.dialogs().requests.first();
        QCOMPARE(request.title, QStringLiteral("Gravar Documento:"));
        QCOMPARE(request.folder, QStringLiteral("/srv/saida"));
        QCOMPARE(request.fileName, QStringLiteral("/home/ana/Desktop"));
        QCOMPARE(request.nameFilters, filters);
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
