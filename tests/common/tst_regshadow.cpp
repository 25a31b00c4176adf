// The shadow store: preparing it, reading and rewriting entries (order,
// case, duplicates, line ends, ANSI bytes), who may use its files, links
// planted in its folder, and two programs writing at once; and the special
// folders it lives in (the folder write test is tested through the store,
// its one user).
#include "SettingsSandbox.h"
#include "common/Folders.h"
#include "common/Registry.h"
#include "platform/services/ErrorReport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orla;
using namespace orla::test;

namespace {

const QString kKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Contabilidade");

QString Entry(const QString& key, const QString& name, const QString& value) {
    return key + QLatin1Char(':') + name + QLatin1Char('=') + value;
}

struct stat Stat(const QString& path) {
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

// The registry holds the key, so a write that falls back to it can land.
void SeedRegistry(const SettingsSandbox& sandbox) {
    sandbox.writeRegFile("HKEY_LOCAL_MACHINE",
                         RegText({"[SOFTWARE\\Fortevia\\Contabilidade]", "\"Conta_ID\"=\"1\""}));
}

QStringList FolderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name);
}

}  // namespace

class TestRegShadow : public QObject {
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

    // The private temporary folder: under XDG_RUNTIME_DIR when usable, else
    // under TMPDIR; made 0700 whatever the umask, or refused when not ours.
    void temporaryFolderIsPrivate_data() {
        QTest::addColumn<QString>("standing");  // at "$TMPDIR/orla-<uid>" before
        QTest::addColumn<uint>("runtime");      // XDG_RUNTIME_DIR's mode; 0: unset
        QTest::addColumn<QString>("expected");  // "run", "tmp"; empty: refused
        QTest::newRow("runtime folder") << QString() << 0700u << "run";
        QTest::newRow("runtime folder others may write") << QString() << 0777u << "tmp";
        QTest::newRow("made under TMPDIR") << QString() << 0u << "tmp";
        QTest::newRow("ours, open to others: closed") << "folder" << 0u << "tmp";
        QTest::newRow("a link in its place") << "link" << 0u << QString();
        QTest::newRow("a file in its place") << "file" << 0u << QString();
        QTest::newRow("another user's") << "other's" << 0u << QString();
    }
    void temporaryFolderIsPrivate() {
        QFETCH(uint, runtime);
        QFETCH(QString, standing);
        QFETCH(QString, expected);
        ScopedTempFolder temp;
        const QString run = temp.base() + "/run";
        QVERIFY(QDir().mkpath(run) && ::chmod(QFile::encodeName(run), runtime) == 0);
        const ScopedEnv runEnv("XDG_RUNTIME_DIR", runtime ? std::optional(run) : std::nullopt);
        if (standing == "link")
            QVERIFY(QFile::link(run, temp.path()));
        else if (standing == "file")
            WriteAll(temp.path(), "x");
        else if (!standing.isEmpty())
            QVERIFY(::mkdir(QFile::encodeName(temp.path()), 0755) == 0);
        if (standing == "other's" && ::chown(QFile::encodeName(temp.path()), 65534, 65534) != 0)
            QSKIP("only the superuser can give a folder to another user");
        if (standing == "folder") {  // what earlier runs left: work folders an hour old go
            for (const char* name : {"orla-mail-velho", "orla-mail-novo", "outra-velha"})
                QVERIFY(QDir().mkpath(temp.filePath(name)));
            for (const char* name : {"orla-mail-velho", "outra-velha"})
                MakeOlder(temp.filePath(name), 3700);
        }
        const mode_t umask = ::umask(0);
        QString folder;
        const auto refused = Try([&] { folder = PastaTemporaria(); });
        ::umask(umask);
        QCOMPARE(refused ? refused->description.contains("não é privada") : false,
                 expected.isEmpty());
        const QString made = expected == "run" ? run + "/orla-contas" : temp.path();
        QCOMPARE(folder, expected.isEmpty() ? QString() : made + '/');
        QVERIFY(expected.isEmpty() || ModeOf(made) == 0700u);
        QCOMPARE(ModeOf(run), runtime);  // never changed, even through a link
        if (standing == "folder")
            QCOMPARE(FolderEntries(made), QStringList({"orla-mail-novo", "outra-velha"}));
    }

    void read_data() {
        QTest::addColumn<QByteArray>("store");
        QTest::addColumn<QString>("expected");  // read for kKey, "Conta_ID"
        const QByteArray k = kKey.toLatin1();
        const QByteArray other = "HKEY_LOCAL_MACHINE\\X:Conta_ID=1\r\n";
        QTest::newRow("after other entries")
            << other + k + ":Templates=/t\r\n" + k + ":Conta_ID=3\r\n"
            << QString("3");
        QTest::newRow("a name that only begins alike") << k + ":Conta_ID2=9\r\n" << QString();
        QTest::newRow("a key that only begins alike") << k + "X:Conta_ID=9\r\n" << QString();
        QTest::newRow("case ignored") << k.toUpper() + ":conta_id=3\r\n" << QString("3");
        QTest::newRow("first of two") << k + ":Conta_ID=1\r\n" + k + ":Conta_ID=2\r\n"
                                      << QString("1");
        QTest::newRow("empty first line: nothing read") << "\r\n" + k + ":Conta_ID=3\r\n"
                                                        << QString();
        QTest::newRow("value holding = and :") << k + ":Conta_ID=C:=x\r\n" << QString("C:=x");
        QTest::newRow("line ends of LF alone") << "H:A=1\n" + k + ":Conta_ID=3\n" << QString("3");
        QTest::newRow("last line without its line end")
            << other + k + ":Conta_ID=3" << QString("3");
        QTest::newRow("ANSI bytes") << k + ":Conta_ID=Concilia\xe7\xe3o \x80\r\n"
                                    << QString("Conciliação €");
    }
    void read() {
        QFETCH(QByteArray, store);
        QFETCH(QString, expected);
        SettingsSandbox sandbox;
        WriteAll(sandbox.storePath(), store);
        QCOMPARE(LerRegShadow(kKey, "Conta_ID"), expected);
    }

    void write_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("written");  // "name=value" under kKey
        QTest::addColumn<QStringList>("after");
        const auto e = [](const QString& nameValue) { return kKey + ':' + nameValue; };
        const QString other = "HKEY_LOCAL_MACHINE\\X:A=1";
        const QString last = e("Templates=/t");
        QTest::newRow("into an empty store")
            << QStringList() << "Conta_ID=3" << QStringList{e("Conta_ID=3")};
        QTest::newRow("new entry at the end") << QStringList{other, last} << "Conta_ID=3"
                                              << QStringList{other, last, e("Conta_ID=3")};
        QTest::newRow("rewritten entry keeps its place")
            << QStringList{other, e("Conta_ID=3"), last} << "Conta_ID=4"
            << QStringList{other, e("Conta_ID=4"), last};
        QTest::newRow("second entry for the value removed")
            << QStringList{e("Conta_ID=1"), other, e("Conta_ID=2")} << "Conta_ID=4"
            << QStringList{e("Conta_ID=4"), other};
        QTest::newRow("entry in other letter case takes the caller's")
            << QStringList{kKey.toUpper() + ":CONTA_ID=3"} << "Conta_ID=3"
            << QStringList{e("Conta_ID=3")};
        QTest::newRow("a name that only begins alike stays")
            << QStringList{e("Conta_ID2=9")} << "Conta_ID=3"
            << QStringList{e("Conta_ID2=9"), e("Conta_ID=3")};
        const QStringList two{e("Conta_ID=1"), e("Conta_ID=2")};
        QTest::newRow("an equal line anywhere: nothing written") << two << "Conta_ID=2" << two;
        QTest::newRow("empty lines kept") << QStringList{"", other, "", last} << "Templates=/u"
                                          << QStringList{"", other, "", e("Templates=/u")};
        QTest::newRow("ANSI text, outside the code page as ?")
            << QStringList() << "Banco=Conciliação € Ā" << QStringList{e("Banco=Conciliação € ?")};
    }
    void write() {
        QFETCH(QStringList, before);
        QFETCH(QString, written);
        QFETCH(QStringList, after);
        SettingsSandbox sandbox;
        sandbox.writeStore(before);
        const ino_t inode = Stat(sandbox.storePath()).st_ino;
        QVERIFY(GravarRegShadow(kKey, written.section('=', 0, 0), written.section('=', 1)));
        QCOMPARE(sandbox.storeLines(), after);
        if (after == before)  // not even rewritten
            QCOMPARE(Stat(sandbox.storePath()).st_ino, inode);
        QCOMPARE(FolderEntries(sandbox.shadowFolder()),
                 QStringList({"RegShadow.db", "RegShadow.lock"}));
    }

    // Made for the group of the machine when this user may give files to it,
    // else for the owner alone, whatever the umask.
    void modes_data() {
        QTest::addColumn<bool>("forGroup");
        QTest::addColumn<int>("umask");
        QTest::newRow("no such group: owner only, open umask") << false << 0;
        QTest::newRow("the user's group: group-writable, closed umask") << true << 077;
    }
    void modes() {
        QFETCH(bool, forGroup);
        QFETCH(int, umask);
        SettingsSandbox sandbox;
        // The common folder and its parent are missing: they are made too.
        const QString common = sandbox.root() + "/nova/dados";
        const ScopedEnv appDataEnv("ORLA_COMMON_APPDATA", common);
        const struct group* own = ::getgrgid(::getgid());
        QVERIFY(own);
        const ScopedEnv groupEnv("ORLA_SHARED_GROUP", forGroup
                                                          ? QString::fromLocal8Bit(own->gr_name)
                                                          : "sem-grupo-orla");
        const mode_t previous = ::umask(mode_t(umask));
        const bool stored = PrepararRegShadow() && GravarRegShadow(kKey, "Conta_ID", "3");
        ::umask(previous);
        QVERIFY(stored);
        for (const QString& folder : {sandbox.root() + "/nova", common, common + "/Nexo Software"})
            QCOMPARE(ModeOf(folder), forGroup ? 02770u : 0700u);
        for (const char* name : {"RegShadow.db", "RegShadow.lock"}) {
            const struct stat file = Stat(common + "/Nexo Software/" + name);
            QCOMPARE(file.st_mode & 07777, forGroup ? 0660u : 0600u);
            if (forGroup)
                QCOMPARE(file.st_gid, own->gr_gid);
        }
    }

    // Temporaries that killed writers left beside the store or a registry file
    // go with the next write; a live writer's (locked, or just made) and other
    // names stay.
    void staleTemporariesRemoved() {
        SettingsSandbox sandbox;
        SeedRegistry(sandbox);
        sandbox.writeStore({});
        const QString store = sandbox.shadowFolder() + "/RegShadow.tmp.";
        const QString registry = sandbox.registryDir() + "/HKEY_LOCAL_MACHINE.reg.";
        for (const QString& path : {store + "morto", store + "vivo", store + "x.bak",
                                    registry + "morto", store + "novo"}) {
            WriteAll(path, "copia");
            if (!path.endsWith("novo"))
                MakeOlder(path, 120);
        }
        const int live =
            ::open(QFile::encodeName(store + "vivo").constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(live >= 0 && ::flock(live, LOCK_EX) == 0);
        const bool stored = GravarRegShadow(kKey, "Conta_ID", "4") &&
                            DefinirValorString(kKey, "Conta_ID", "4", true);
        ::close(live);
        QVERIFY(stored);
        QCOMPARE(FolderEntries(sandbox.shadowFolder()),
                 QStringList({"RegShadow.db", "RegShadow.lock", "RegShadow.tmp.novo",
                              "RegShadow.tmp.vivo", "RegShadow.tmp.x.bak"}));
        QCOMPARE(FolderEntries(sandbox.registryDir()), QStringList{"HKEY_LOCAL_MACHINE.reg"});
    }

    // A link planted in the store's folder (or as the folder) is never
    // written through: the operation works on a fresh file of its own or fails.
    void linksAreNeverFollowed_data() {
        QTest::addColumn<QString>("link");  // below the common folder, or the registry's
        QTest::addColumn<bool>("expected");
        QTest::addColumn<QString>("operation");
        QTest::newRow("rewrite file") << "Nexo Software/RegShadow.tmp" << true << "store";
        QTest::newRow("lock file") << "Nexo Software/RegShadow.lock" << false << "store";
        QTest::newRow("store") << "Nexo Software/RegShadow.db" << false << "store";
        QTest::newRow("write test file") << "Nexo Software/TempXPTONexo.txt" << false << "prepare";
        QTest::newRow("the store's folder") << "Nexo Software" << false << "prepare";
        QTest::newRow("error log") << "Nexo Software/OrlaContas.log" << false << "log";
        QTest::newRow("registry file") << "registry:HKEY_LOCAL_MACHINE.reg" << false << "registry";
    }
    void linksAreNeverFollowed() {
        QFETCH(QString, link);
        QFETCH(bool, expected);
        QFETCH(QString, operation);
        SettingsSandbox sandbox;
        // Another file of the user, and another folder, that a link points at.
        const QString target = sandbox.root() + "/alvo.reg";
        const QString folderTarget = sandbox.root() + "/alvo";
        const QByteArray content = "[SOFTWARE\\Fortevia\\Contabilidade]\n\"Conta_ID\"=\"1\"\n";
        WriteAll(target, content);
        QVERIFY(QDir().mkpath(folderTarget));
        const QString path = link.startsWith("registry:")
                                 ? sandbox.registryDir() + '/' + link.mid(9)
                                 : sandbox.appData() + '/' + link;
        if (link != "Nexo Software" && !link.endsWith(".db"))
            sandbox.writeStore({Entry(kKey, "Conta_ID", "3")});
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QVERIFY(QFile::link(link == "Nexo Software" ? folderTarget : target, path));

        bool result = false;
        if (operation == "store")
            result = GravarRegShadow(kKey, "Conta_ID", "4");
        if (operation == "prepare")
            result = PrepararRegShadow();
        if (operation == "registry")
            result = DefinirValorString(kKey, "Conta_ID", "4", true);
        if (operation == "log") {
            ReportError({"General", "SQLConnect"}, OrlaError(5, "Falha de teste"));
            result = !QFileInfo(path).isSymLink() && ReadAll(path).contains("Falha de teste");
        }
        QCOMPARE(result, expected);
        QCOMPARE(ReadAll(target), content);
        QCOMPARE(FolderEntries(folderTarget), QStringList());
        if (result)
            QCOMPARE(LerRegShadow(kKey, "Conta_ID"), QStringLiteral("4"));
    }

    // Another program holds the store longer than a writer waits: the write
    // reports failure and changes nothing, so the next read is not stale.
    void storeBusyLosesNoUpdate() {
        SettingsSandbox sandbox;
        SeedRegistry(sandbox);
        sandbox.writeStore({Entry(kKey, "Conta_ID", "3")});
        const QByteArray registry = sandbox.regFileBytes("HKEY_LOCAL_MACHINE");
        const QString lock = sandbox.shadowFolder() + "/RegShadow.lock";
        WriteAll(lock, {});
        const int holder = ::open(QFile::encodeName(lock).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(holder >= 0);
        QCOMPARE(::flock(holder, LOCK_EX), 0);
        const bool stored = DefinirValorString(kKey, "Conta_ID", "4");
        ::close(holder);
        QVERIFY(!stored);
        QCOMPARE(ObterValorString(kKey, "Conta_ID"), QStringLiteral("3"));
        QCOMPARE(sandbox.regFileBytes("HKEY_LOCAL_MACHINE"), registry);
    }

    // Two programs write at once, each its own values many times to the store
    // and to the registry: with the locks, no entry is lost or doubled and each
    // program's last value is there.
    void twoWritersLoseNothing() {
        SettingsSandbox sandbox;
        SeedRegistry(sandbox);
        const int count = 100;
        QList<QProcess*> writers;
        for (const QString& name : {QStringLiteral("A"), QStringLiteral("B")}) {
            auto* writer = new QProcess(this);
            writer->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            writer->start(QStringLiteral(ORLA_SHADOW_WRITER), {name, QString::number(count)});
            writers.append(writer);
        }
        for (QProcess* writer : writers) {
            QVERIFY(writer->waitForFinished(240000));
            QCOMPARE(writer->exitStatus(), QProcess::NormalExit);
            QCOMPARE(writer->exitCode(), 0);
        }
        QCOMPARE(sandbox.storeLines().size(), 2 * (count + 1));
        for (const QString& name : {QStringLiteral("A"), QStringLiteral("B")}) {
            QCOMPARE(LerRegShadow(kKey, name), QString::number(count));
            for (int i = 1; i <= count; ++i) {
                const QString numbered = name + QLatin1Char('.') + QString::number(i);
                QCOMPARE(LerRegShadow(kKey, numbered), QString::number(i));
                QCOMPARE(ValorString(kKey, numbered), QString::number(i));
            }
        }
    }
};

QTEST_MAIN(TestRegShadow)
#include "tst_regshadow.moc"
