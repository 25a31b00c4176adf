// The shadow store: preparing it, reading and rewriting entries (order,
// case, duplicates, line ends, ANSI bytes), and two programs writing at once.
#include "SettingsSandbox.h"
#include "common/Registry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>

using namespace orla;
using namespace orla::test;

namespace {

const QString kKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Contabilidade");

QString Entry(const QString& key, const QString& name, const QString& value) {
    return key + QLatin1Char(':') + name + QLatin1Char('=') + value;
}

ino_t Inode(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

QStringList FolderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name);
}

}  // namespace

class TestRegShadow : public QObject {
    Q_OBJECT

  private slots:
    void prepare_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("expected");
        QTest::newRow("no folder yet: folder and empty store made") << "none" << true;
        QTest::newRow("store with entries: kept as it is") << "entries" << true;
        QTest::newRow("common folder is a regular file") << "file" << false;
        QTest::newRow("read-only test file in the folder, store there")
            << "blocked-with-store" << false;
        QTest::newRow("read-only test file in the folder, no store") << "blocked" << false;
        QTest::newRow("read-only folder, store there") << "read-only" << false;
    }
    void prepare() {
        QFETCH(QString, setup);
        QFETCH(bool, expected);
        SettingsSandbox sandbox;
        std::optional<ScopedEnv> appData;
        const QString blocker = sandbox.shadowFolder() + QLatin1String("/TempXPTONexo.txt");
        if (setup == QLatin1String("entries") || setup.endsWith(QLatin1String("store")) ||
            setup == QLatin1String("read-only"))
            sandbox.writeStore({Entry(kKey, "Conta_ID", "3")});
        if (setup == QLatin1String("file")) {
            // Nothing can be made under a regular file, whoever runs the test.
            WriteAll(sandbox.root() + QLatin1String("/ficheiro"), "x");
            appData.emplace("ORLA_COMMON_APPDATA", sandbox.root() + QLatin1String("/ficheiro"));
        }
        if (setup.startsWith(QLatin1String("blocked"))) {
            WriteAll(blocker, "ANTIGO");
            QVERIFY(QFile::setPermissions(blocker, QFileDevice::ReadOwner));
        }
        if (setup == QLatin1String("read-only")) {
            if (RunningAsRoot())
                QSKIP(
                    "the superuser writes whatever the permission bits; the regular file and "
                    "the read-only test file cover an unwritable folder");
            QVERIFY(QFile::setPermissions(sandbox.shadowFolder(),
                                          QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        const QByteArray before = sandbox.storeBytes();
        const bool storeBefore = QFile::exists(sandbox.storePath());

        QCOMPARE(PrepararRegShadow(), expected);

        appData.reset();
        QFile::setPermissions(sandbox.shadowFolder(), QFileDevice::ReadOwner |
                                                          QFileDevice::WriteOwner |
                                                          QFileDevice::ExeOwner);
        QCOMPARE(QFile::exists(sandbox.storePath()), storeBefore || expected);
        QCOMPARE(sandbox.storeBytes(), before);
        // The write test leaves nothing behind, and a read-only test file untouched.
        if (setup.startsWith(QLatin1String("blocked")))
            QCOMPARE(ReadAll(blocker), QByteArray("ANTIGO"));
        else
            QVERIFY(!QFile::exists(blocker));
    }

    void read_data() {
        QTest::addColumn<QByteArray>("store");
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        const QByteArray k = kKey.toLatin1();
        QTest::newRow("entry") << k + ":Conta_ID=3\r\n"
                               << kKey << "Conta_ID"
                               << "3";
        QTest::newRow("after other entries") << "HKEY_LOCAL_MACHINE\\X:Conta_ID=1\r\n" + k +
                                                    ":Templates=/t\r\n" + k + ":Conta_ID=3\r\n"
                                             << kKey << "Conta_ID"
                                             << "3";
        QTest::newRow("a name that only begins alike") << k + ":Conta_ID2=9\r\n"
                                                       << kKey << "Conta_ID"
                                                       << "";
        QTest::newRow("a key that only begins alike") << k + "X:Conta_ID=9\r\n"
                                                      << kKey << "Conta_ID"
                                                      << "";
        QTest::newRow("case ignored") << k.toUpper() + ":conta_id=3\r\n"
                                      << kKey << "Conta_ID"
                                      << "3";
        QTest::newRow("first of two") << k + ":Conta_ID=1\r\n" + k + ":Conta_ID=2\r\n"
                                      << kKey << "Conta_ID"
                                      << "1";
        QTest::newRow("empty first line: nothing read") << "\r\n" + k + ":Conta_ID=3\r\n"
                                                        << kKey << "Conta_ID"
                                                        << "";
        QTest::newRow("value holding = and :") << k + ":Templates=C:=x\r\n"
                                               << kKey << "Templates"
                                               << "C:=x";
        QTest::newRow("empty value") << k + ":Conta_ID=\r\n"
                                     << kKey << "Conta_ID"
                                     << "";
        QTest::newRow("line ends of LF alone")
            << "HKEY_LOCAL_MACHINE\\X:A=1\n" + k + ":Conta_ID=3\n"
            << kKey << "Conta_ID"
            << "3";
        QTest::newRow("last line without its line end")
            << "HKEY_LOCAL_MACHINE\\X:A=1\r\n" + k + ":Conta_ID=3" << kKey << "Conta_ID"
            << "3";
        QTest::newRow("ANSI bytes") << k + ":Banco=Concilia\xe7\xe3o \x80\r\n"
                                    << kKey << "Banco"
                                    << "Conciliação €";
        QTest::newRow("key with a character outside the code page") << k + "?:Conta_ID=3\r\n"
                                                                    << kKey + "Ā"
                                                                    << "Conta_ID"
                                                                    << "3";
    }
    void read() {
        QFETCH(QByteArray, store);
        QFETCH(QString, keyPath);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        SettingsSandbox sandbox;
        WriteAll(sandbox.storePath(), store);
        QCOMPARE(LerRegShadow(keyPath, name), expected);
    }

    void write_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("after");
        const QString other = Entry("HKEY_LOCAL_MACHINE\\X", "A", "1");
        const QString last = Entry(kKey, "Templates", "/t");
        QTest::newRow("into an empty store") << QStringList() << kKey << "Conta_ID"
                                             << "3" << QStringList{Entry(kKey, "Conta_ID", "3")};
        QTest::newRow("new entry at the end")
            << QStringList{other, last} << kKey << "Conta_ID"
            << "3" << QStringList{other, last, Entry(kKey, "Conta_ID", "3")};
        QTest::newRow("rewritten entry keeps its place")
            << QStringList{other, Entry(kKey, "Conta_ID", "3"), last} << kKey << "Conta_ID"
            << "4" << QStringList{other, Entry(kKey, "Conta_ID", "4"), last};
        QTest::newRow("second entry for the value removed")
            << QStringList{Entry(kKey, "Conta_ID", "1"), other, Entry(kKey, "Conta_ID", "2"), last}
            << kKey << "Conta_ID"
            << "4" << QStringList{Entry(kKey, "Conta_ID", "4"), other, last};
        QTest::newRow("entry in other letter case takes the caller's")
            << QStringList{other, Entry(kKey.toUpper(), "CONTA_ID", "3")} << kKey << "Conta_ID"
            << "3" << QStringList{other, Entry(kKey, "Conta_ID", "3")};
        QTest::newRow("a name that only begins alike stays")
            << QStringList{Entry(kKey, "Conta_ID2", "9")} << kKey << "Conta_ID"
            << "3" << QStringList{Entry(kKey, "Conta_ID2", "9"), Entry(kKey, "Conta_ID", "3")};
        QTest::newRow("an equal line anywhere: nothing written")
            << QStringList{Entry(kKey, "Conta_ID", "1"), Entry(kKey, "Conta_ID", "2")} << kKey
            << "Conta_ID"
            << "2" << QStringList{Entry(kKey, "Conta_ID", "1"), Entry(kKey, "Conta_ID", "2")};
        QTest::newRow("empty first line kept")
            << QStringList{"", other} << kKey << "Conta_ID"
            << "3" << QStringList{"", other, Entry(kKey, "Conta_ID", "3")};
        QTest::newRow("empty lines between entries kept")
            << QStringList{other, "", last} << kKey << "Templates"
            << "/u" << QStringList{other, "", Entry(kKey, "Templates", "/u")};
    }
    void write() {
        QFETCH(QStringList, before);
        QFETCH(QString, keyPath);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(QStringList, after);
        SettingsSandbox sandbox;
        sandbox.writeStore(before);
        QVERIFY(GravarRegShadow(keyPath, name, value));
        QCOMPARE(sandbox.storeLines(), after);
        QCOMPARE(FolderEntries(sandbox.shadowFolder()),
                 QStringList({"RegShadow.db", "RegShadow.lock"}));
    }

    void sameValueLeavesTheFileUntouched() {
        SettingsSandbox sandbox;
        sandbox.writeStore({Entry(kKey, "Conta_ID", "3")});
        const QByteArray before = sandbox.storeBytes();
        const ino_t inode = Inode(sandbox.storePath());
        QVERIFY(GravarRegShadow(kKey, "Conta_ID", "3"));
        QCOMPARE(Inode(sandbox.storePath()), inode);
        QCOMPARE(sandbox.storeBytes(), before);
        // A different value replaces the file, keeping who may write it.
        QVERIFY(QFile::setPermissions(sandbox.storePath(),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ReadOther | QFileDevice::WriteOther));
        QVERIFY(GravarRegShadow(kKey, "Conta_ID", "4"));
        QVERIFY(Inode(sandbox.storePath()) != inode);
        QCOMPARE(QFile::permissions(sandbox.storePath()) & 0x7777,
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                     QFileDevice::WriteUser | QFileDevice::ReadOther | QFileDevice::WriteOther);
    }

    void storeIsAnsiWithCrLf() {
        SettingsSandbox sandbox;
        sandbox.writeStore({});
        QVERIFY(GravarRegShadow(kKey, "Banco", "Conciliação € Ā"));
        QVERIFY(GravarRegShadow(kKey, "Conta_ID", "3"));
        QCOMPARE(sandbox.storeBytes(), kKey.toLatin1() + ":Banco=Concilia\xe7\xe3o \x80 ?\r\n" +
                                           kKey.toLatin1() + ":Conta_ID=3\r\n");
        QCOMPARE(LerRegShadow(kKey, "Banco"), QStringLiteral("Conciliação € ?"));
    }

    void missingStoreIsNotMade() {
        SettingsSandbox sandbox;
        QVERIFY(QDir().mkpath(sandbox.shadowFolder()));
        QVERIFY(!GravarRegShadow(kKey, "Conta_ID", "3"));
        QVERIFY(!QFile::exists(sandbox.storePath()));
        QCOMPARE(LerRegShadow(kKey, "Conta_ID"), QString());
    }

    void lineBreakIsRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("LF in the value") << "Conta_ID"
                                         << "3\n4";
        QTest::newRow("CR in the value") << "Conta_ID"
                                         << "3\r4";
        QTest::newRow("LF in the name") << "Conta\nID"
                                        << "3";
    }
    void lineBreakIsRefused() {
        QFETCH(QString, name);
        QFETCH(QString, value);
        SettingsSandbox sandbox;
        sandbox.writeStore({Entry(kKey, "Conta_ID", "3")});
        const QByteArray before = sandbox.storeBytes();
        QVERIFY(!GravarRegShadow(kKey, name, value));
        QCOMPARE(sandbox.storeBytes(), before);
    }

    // Two programs write at once, each its own values many times: with the
    // lock, no entry is lost or doubled and each program's last value is there.
    void twoWritersLoseNothing() {
        SettingsSandbox sandbox;
        const int count = 100;
        QList<QProcess*> writers;
        for (const QString& name : {QStringLiteral("A"), QStringLiteral("B")}) {
            auto* writer = new QProcess(this);
            writer->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            writer->start(QStringLiteral(ORLA_SHADOW_WRITER), {name, QString::number(count)});
            writers.append(writer);
        }
        QStringList expected;
        for (const QString& name : {QStringLiteral("A"), QStringLiteral("B")}) {
            expected.append(Entry(kKey, name, QString::number(count)));
            for (int i = 1; i <= count; ++i)
                expected.append(
                    Entry(kKey, name + QLatin1Char('.') + QString::number(i), QString::number(i)));
        }
        for (QProcess* writer : writers) {
            QVERIFY(writer->waitForFinished(240000));
            QCOMPARE(writer->exitStatus(), QProcess::NormalExit);
            QCOMPARE(writer->exitCode(), 0);
        }
        QStringList lines = sandbox.storeLines();
        lines.sort();
        expected.sort();
        QCOMPARE(lines, expected);
    }
};

QTEST_MAIN(TestRegShadow)
#include "tst_regshadow.moc"
