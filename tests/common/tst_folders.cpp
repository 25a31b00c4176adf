// Special folders, the temporary folder, the first-line content test and the
// folder write test.
#include "SettingsSandbox.h"
#include "common/Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

const QString kTestFile = QStringLiteral("TempXPTONexo.txt");

enum class FolderSetup {
    Writable,
    Missing,
    RegularFile,
    ReadOnly,
    ReadOnlyTestFileInside,
    LeftoverTestFileInside,
};

}  // namespace

Q_DECLARE_METATYPE(FolderSetup)

class TestFolders : public QObject {
    Q_OBJECT

  private slots:
    void specialFolders_data() {
        QTest::addColumn<int>("folder");
        QTest::addColumn<QString>("appData");  // relative to a temporary home
        QTest::addColumn<QString>("expected");
        QTest::newRow("common application data") << CSIDL_COMMON_APPDATA << "dados"
                                                 << "dados";
        QTest::newRow("common application data without its trailing separator")
            << CSIDL_COMMON_APPDATA << "dados/"
            << "dados";
        QTest::newRow("common application data: the user's data folder when not configured")
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

    void fileWithContent_data() {
        QTest::addColumn<QString>("kind");  // "file", "missing", "folder", "unreadable"
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("expected");
        QTest::newRow("text") << "file" << QByteArray("HKEY:Conta_ID=3\r\n") << true;
        QTest::newRow("one space") << "file" << QByteArray(" \r\n") << true;
        QTest::newRow("no line end") << "file" << QByteArray("x") << true;
        QTest::newRow("empty first line, text after (CR LF)")
            << "file" << QByteArray("\r\nHKEY:Conta_ID=3\r\n") << false;
        QTest::newRow("empty first line, text after (LF)")
            << "file" << QByteArray("\nHKEY:Conta_ID=3\n") << false;
        QTest::newRow("empty file") << "file" << QByteArray() << false;
        QTest::newRow("missing file") << "missing" << QByteArray() << false;
        QTest::newRow("a folder") << "folder" << QByteArray() << false;
        QTest::newRow("unreadable file") << "unreadable" << QByteArray("texto\r\n") << false;
    }
    void fileWithContent() {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(bool, expected);
        QTemporaryDir dir;
        QString path = dir.path() + QLatin1String("/RegShadow.db");
        if (kind == QLatin1String("folder"))
            path = dir.path();
        if (kind == QLatin1String("file") || kind == QLatin1String("unreadable"))
            WriteAll(path, content);
        if (kind == QLatin1String("unreadable")) {
            if (RunningAsRoot())
                QSKIP("the superuser reads a file whatever its permission bits");
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        }
        QCOMPARE(FicheiroComConteudo(path), expected);
    }

    void writableFolder_data() {
        QTest::addColumn<FolderSetup>("setup");
        QTest::addColumn<bool>("expected");
        QTest::newRow("writable folder") << FolderSetup::Writable << true;
        QTest::newRow("missing folder") << FolderSetup::Missing << false;
        QTest::newRow("path of a regular file") << FolderSetup::RegularFile << false;
        QTest::newRow("read-only folder") << FolderSetup::ReadOnly << false;
        QTest::newRow("read-only test file already there")
            << FolderSetup::ReadOnlyTestFileInside << false;
        QTest::newRow("writable test file left behind earlier")
            << FolderSetup::LeftoverTestFileInside << true;
    }
    void writableFolder() {
        QFETCH(FolderSetup, setup);
        QFETCH(bool, expected);
        QTemporaryDir dir;
        QString folder = dir.path() + QLatin1String("/pasta");
        QVERIFY(QDir().mkpath(folder));
        const QString testFile = folder + QLatin1Char('/') + kTestFile;
        switch (setup) {
            case FolderSetup::Writable:
                break;
            case FolderSetup::Missing:
                folder = dir.path() + QLatin1String("/nao-existe");
                break;
            case FolderSetup::RegularFile:
                // Unwritable even for the superuser: nothing can be created under a file.
                folder = dir.path() + QLatin1String("/ficheiro");
                WriteAll(folder, "x");
                break;
            case FolderSetup::ReadOnly:
                if (RunningAsRoot())
                    QSKIP(
                        "the superuser writes whatever the permission bits; the missing "
                        "folder and the path of a regular file cover unwritable folders");
                QVERIFY(
                    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
                break;
            case FolderSetup::ReadOnlyTestFileInside:
                WriteAll(testFile, "ANTIGO");
                QVERIFY(QFile::setPermissions(testFile, QFileDevice::ReadOwner));
                break;
            case FolderSetup::LeftoverTestFileInside:
                WriteAll(testFile, "ANTIGO");
                break;
        }
        QCOMPARE(PastaGravavel(folder), expected);
        if (setup == FolderSetup::ReadOnlyTestFileInside) {
            QCOMPARE(ReadAll(testFile), QByteArray("ANTIGO"));
        } else if (QFileInfo(folder).isDir()) {
            QCOMPARE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                     QStringList());
        }
        QFile::setPermissions(
            folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
};

QTEST_MAIN(TestFolders)
#include "tst_folders.moc"
