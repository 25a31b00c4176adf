// Settings: the registry and its shadow store (reading and writing entries, who may use their
// files, links planted beside them, a writer kept waiting) and the private temporary folder.
#include "SettingsSandbox.h"
#include "common/Folders.h"
#include "common/Registry.h"
#include "platform/services/ErrorReport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
const QString kShared = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Shared");
const QString kChain = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Cadeia");
const QString kCycleA = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\CicloA");
const QString kCycleB = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\CicloB");

QString Entry(const QString& key, const QString& name, const QString& value) {
    return key + QLatin1Char(':') + name + QLatin1Char('=') + value;
}

QString Sref(const QString& key) {
    return "\"SREF=" + QString(key).replace("\\", "\\\\") + "\"";
}

void SeedRegistry(const SettingsSandbox& sandbox) {
    sandbox.writeRegFile("HKEY_LOCAL_MACHINE",
                         RegText({"[SOFTWARE\\Fortevia\\Contabilidade]", "\"Conta_ID\"=\"3\"",
                                  "\"Templates\"=" + Sref(kShared), "[SOFTWARE\\Fortevia\\Shared]",
                                  "\"Templates\"=\"/srv/modelos\"", "[SOFTWARE\\Fortevia\\Cadeia]",
                                  "\"Templates\"=" + Sref(kKey), "[SOFTWARE\\Fortevia\\CicloA]",
                                  "\"Valor\"=" + Sref(kCycleB), "[SOFTWARE\\Fortevia\\CicloB]",
                                  "\"Valor\"=" + Sref(kCycleA)}));
}

QVariant AsVariant(const OptionalString& value) {
    return value ? QVariant(*value) : QVariant();
}

struct stat Stat(const QString& path) {
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

QStringList FolderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name);
}

}  // namespace

class TestRegShadow : public QObject {
    Q_OBJECT

  private slots:
    // The private temporary folder: under XDG_RUNTIME_DIR when usable, else
    // under TMPDIR; made 0700 whatever the umask, or refused when not ours.
    void temporaryFolderIsPrivate_data() {
        QTest::addColumn<QString>("standing");  // at "$TMPDIR/orla-<uid>" before
        QTest::addColumn<uint>("runtime");      // XDG_RUNTIME_DIR's mode; 0: unset
        QTest::addColumn<QString>("expected");  // "run", "tmp"; empty: refused
        QTest::newRow("runtime folder") << QString() << 0700u << "run";
        QTest::newRow("runtime folder others may write") << QString() << 0777u << "tmp";
        QTest::newRow("ours, open to others: closed") << "folder" << 0u << "tmp";
        QTest::newRow("a link in its place") << "link" << 0u << QString();
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

    // The store first, then the registry; references followed, a default stored under the
    // last key looked up.
    void readValues_data() {
        QTest::addColumn<QVariant>("store");  // null: no store file
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("added");  // the entry the read adds to the store
        const QVariant five = QStringList{Entry(kKey, "Conta_ID", "5")}, empty = QStringList();
        const QString none;
        QTest::newRow("store first") << five << kKey << "Conta_ID" << QString("5") << none;
        QTest::newRow("empty store value: the registry's")
            << QVariant(QStringList{Entry(kKey, "Conta_ID", "")}) << kKey << "Conta_ID"
            << QString("3") << none;
        QTest::newRow("chain of two references")
            << empty << kChain << "Templates" << QString("/srv/modelos") << none;
        QTest::newRow("cycle: the default, stored under the last key looked up")
            << empty << kCycleA << "Valor" << QString("D") << Entry(kCycleB, "Valor", "D");
        QTest::newRow("missing: the default, added to the store")
            << five << kKey << "Nada" << QString("D") << Entry(kKey, "Nada", "D");
        QTest::newRow("missing, no store: the default, no store made")
            << QVariant() << kKey << "Nada" << QString("D") << none;
    }
    void readValues() {
        QFETCH(QVariant, store);
        QFETCH(QString, keyPath);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QFETCH(QString, added);
        SettingsSandbox sandbox;
        SeedRegistry(sandbox);
        if (!store.isNull())
            sandbox.writeStore(store.toStringList());
        QCOMPARE(ObterValorString(keyPath, name, QStringLiteral("D")).value_or(QString()),
                 expected);
        QCOMPARE(sandbox.storeLines(),
                 store.toStringList() + (added.isEmpty() ? QStringList() : QStringList{added}));
        QCOMPARE(QFile::exists(sandbox.storePath()), !store.isNull());
    }

    // To the store when it can be written, else to the registry; refused when the store holds
    // another value it cannot replace.
    void writeValues_data() {
        QTest::addColumn<bool>("skip");
        QTest::addColumn<QString>("store");  // "empty", "none", "unwritable", "blocked"
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QStringList>("storeAfter");
        QTest::addColumn<QVariant>("registryAfter");
        const QStringList twelve{Entry(kKey, "Conta_ID", "12")};
        QTest::newRow("store made") << false << "none" << true << twelve << QVariant("3");
        QTest::newRow("store unwritable: to the registry")
            << false << "unwritable" << true << QStringList() << QVariant("12");
        QTest::newRow("store unwritable, holding another value: refused, nothing changed")
            << false << "blocked" << false << QStringList{Entry(kKey, "Conta_ID", "5")}
            << QVariant("3");
        QTest::newRow("skip flag: to the registry")
            << true << "empty" << true << QStringList() << QVariant("12");
    }
    void writeValues() {
        QFETCH(bool, skip);
        QFETCH(QString, store);
        QFETCH(bool, stored);
        QFETCH(QStringList, storeAfter);
        QFETCH(QVariant, registryAfter);
        SettingsSandbox sandbox;
        SeedRegistry(sandbox);
        std::optional<ScopedEnv> unwritable;
        if (store == "empty")
            sandbox.writeStore({});
        if (store == "blocked") {
            // A read-only write-test file fails the folder's write test.
            sandbox.writeStore({Entry(kKey, "Conta_ID", "5")});
            const QString blocker = sandbox.shadowFolder() + QLatin1String("/TempXPTONexo.txt");
            WriteAll(blocker, "x");
            QVERIFY(QFile::setPermissions(blocker, QFileDevice::ReadOwner));
        }
        if (store == "unwritable") {
            // Nothing can be made under a regular file, whoever runs the test.
            WriteAll(sandbox.root() + "/ficheiro", "x");
            unwritable.emplace("ORLA_COMMON_APPDATA", sandbox.root() + "/ficheiro");
        }
        QCOMPARE(DefinirValorString(kKey, "Conta_ID", "12", skip), stored);
        if (stored)
            QCOMPARE(ObterValorString(kKey, "Conta_ID", std::nullopt, skip), "12");
        unwritable.reset();
        QCOMPARE(sandbox.storeLines(), storeAfter);
        QCOMPARE(AsVariant(ValorString(kKey, "Conta_ID")), registryAfter);
    }

    void read_data() {
        QTest::addColumn<QByteArray>("store");
        QTest::addColumn<QString>("expected");  // read for kKey, "Conta_ID"
        const QByteArray k = kKey.toLatin1();
        const QByteArray other = "HKEY_LOCAL_MACHINE\\X:Conta_ID=1\r\n";
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
            result = !QFileInfo(path).isSymLink() &&
                     ReadAll(path).contains(
                         "Nexo Software | Orla Contas | General | SQLConnect | Falha de teste");
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
};

QTEST_MAIN(TestRegShadow)
#include "tst_regshadow.moc"
