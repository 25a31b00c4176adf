// Special folders, the temporary folder and the folder write test.
#include "SettingsSandbox.h"
#include "common/Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace orla;
using namespace orla::test;

class TestFolders : public QObject {
    Q_OBJECT

  private slots:
    void specialFolders_data() {
        QTest::addColumn<int>("folder");
        QTest::addColumn<QString>("appData");  // relative to a temporary home
        QTest::addColumn<QString>("expected");
        QTest::newRow("common data, trailing separator dropped") << CSIDL_COMMON_APPDATA << "dados/"
                                                                 << "dados";
        QTest::newRow("common data not configured: the user's data folder")
            << CSIDL_COMMON_APPDATA << ""
            << ".local/share";
        QTest::newRow("desktop") << CSIDL_DESKTOP << "dados"
                                 << "Desktop";
        QTest::newRow("a folder the system does not use") << 0x05 << "dados"
                                                          << "";
    }
    void specialFolders() {
        QFETCH(int, folder);
        QFETCH(QString, appData);
        QFETCH(QString, expected);
        QTemporaryDir home;
        const QString base = home.path() + QLatin1Char('/');
        // A home of its own, so the user's folder settings do not interfere.
        const ScopedEnv homeEnv("HOME", home.path());
        const ScopedEnv configEnv("XDG_CONFIG_HOME", std::nullopt);
        const ScopedEnv dataEnv("XDG_DATA_HOME", std::nullopt);
        const ScopedEnv appDataEnv(
            "ORLA_COMMON_APPDATA",
            appData.isEmpty() ? std::nullopt : std::optional<QString>(base + appData));
        QCOMPARE(PastaEspecial(folder), expected.isEmpty() ? QString() : base + expected);
    }

    void temporaryFolderKeepsItsSeparator() {
        QTemporaryDir temp;
        const ScopedEnv tmpEnv("TMPDIR", temp.path());
        const QString folder = PastaTemporaria();
        QCOMPARE(folder, temp.path() + QLatin1Char('/'));
        // Callers append a separator and a name: the doubled separator is accepted.
        WriteAll(folder + QLatin1String("/Extrato.doc"), "x");
        QVERIFY(QFile::exists(temp.path() + QLatin1String("/Extrato.doc")));
    }

    void writableFolder_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("expected");
        QTest::newRow("writable folder") << "" << true;
        QTest::newRow("missing folder") << "missing" << false;
        QTest::newRow("path of a regular file") << "file" << false;
        QTest::newRow("read-only test file already there") << "read-only" << false;
        QTest::newRow("writable test file left behind earlier") << "leftover" << true;
    }
    void writableFolder() {
        QFETCH(QString, setup);
        QFETCH(bool, expected);
        QTemporaryDir dir;
        QString folder = dir.path() + QLatin1String("/pasta");
        QVERIFY(QDir().mkpath(folder));
        const QString testFile = folder + QLatin1String("/TempXPTONexo.txt");
        if (setup == "missing")
            folder = dir.path() + QLatin1String("/nao-existe");
        // Unwritable even for the superuser: nothing can be created under a file.
        if (setup == "file")
            WriteAll(folder = dir.path() + QLatin1String("/ficheiro"), "x");
        if (setup == "read-only" || setup == "leftover")
            WriteAll(testFile, "ANTIGO");
        if (setup == "read-only")
            QVERIFY(QFile::setPermissions(testFile, QFileDevice::ReadOwner));
        QCOMPARE(PastaGravavel(folder), expected);
        if (setup == "read-only")
            QCOMPARE(ReadAll(testFile), QByteArray("ANTIGO"));
        else if (QFileInfo(folder).isDir())
            QCOMPARE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                     QStringList());
    }
};

QTEST_MAIN(TestFolders)
#include "tst_folders.moc"
