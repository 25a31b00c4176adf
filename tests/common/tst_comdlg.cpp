// The save-as dialog: what it is asked (title, folder, proposed name, and the
// filters built from one description and pattern) and what comes back.
#include "Recorders.h"
#include "common/ComDlg.h"

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
        const QStringList doc{"Documentos (*.doc)", "All Files (*)"};
        QTest::newRow("chosen") << "Documentos"
                                << "*.doc" << doc << "/home/ana/Extrato de Maio.doc";
        QTest::newRow("cancelled") << "Documentos"
                                   << "*.doc" << doc << "";
        QTest::newRow("all files given: no second entry")
            << "Todos"
            << "*.*" << QStringList{"Todos (*)"} << "";
        QTest::newRow("*.* among other patterns is not all files")
            << "Vários"
            << "*.doc; *.*" << QStringList{"Vários (*.doc *)", "All Files (*)"} << "";
        QTest::newRow("no description: no filter") << ""
                                                   << "doc" << QStringList() << "";
    }
    void saveDialog() {
        QFETCH(QString, description);
        QFETCH(QString, pattern);
        QFETCH(QStringList, filters);
        QFETCH(QString, answer);
        ScopedFileDialogs scope;
        scope->answers << answer;
        MSA_OPENFILENAME record{"Gravar Documento:",
                                "/srv/saida",
                                MSA_CreateFilterString({description, pattern}),
                                "/home/ana/Desktop",
                                {}};
        QCOMPARE(MSA_GetSaveFileName(record), !answer.isEmpty());
        // A cancel leaves the proposed name as it was.
        QCOMPARE(record.strFile, answer.isEmpty() ? QStringLiteral("/home/ana/Desktop") : answer);
        QCOMPARE(record.strFileTitle, answer.isEmpty() ? QString() : "Extrato de Maio.doc");
        QCOMPARE(scope->requests.size(), 1);
        const SaveDialogRequest& request = scope->requests.first();
        QCOMPARE(request.title, QStringLiteral("Gravar Documento:"));
        QCOMPARE(request.folder, QStringLiteral("/srv/saida"));
        QCOMPARE(request.fileName, QStringLiteral("/home/ana/Desktop"));
        QCOMPARE(request.nameFilters, filters);
    }

    // The Qt dialog cannot be answered without a display: it must not wait.
    void qtDialogWithoutDisplayIsCancelled() {
        if (HasDisplay())
            QSKIP("with a display the real dialog would wait for a user");
        MSA_OPENFILENAME record{"Gravar Documento:", {}, {}, "Extrato.doc", {}};
        QVERIFY(!MSA_GetSaveFileName(record));
    }
};

QTEST_MAIN(TestComDlg)
#include "tst_comdlg.moc"
