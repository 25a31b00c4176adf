// Special folders and the temporary folder (the folder write test is tested
// with the settings store, its one user).
#include "SettingsSandbox.h"
#include "common/Folders.h"

#include <QFile>
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
};

QTEST_MAIN(TestFolders)
#include "tst_folders.moc"
