// Settings through the registry and its shadow store: key paths and their
// message, reading values (spaces, size limit, references, cycles, defaults),
// writing values (store first, registry otherwise, never a lost update) and
// the registry's file rewritten in place.
#include "Recorders.h"
#include "SettingsSandbox.h"
#include "common/Registry.h"

#include <QFile>
#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

const QString kKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Contabilidade");
const QString kShared = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Shared");
const QString kChain = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Cadeia");
const QString kCycleA = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\CicloA");
const QString kCycleB = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\CicloB");
const QString kUserKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Fortevia");

QString Sref(const QString& key) {
    return "\"SREF=" + QString(key).replace("\\", "\\\\") + "\"";
}

void SeedRegistry(const SettingsSandbox& sandbox) {
    sandbox.writeRegFile(
        "HKEY_LOCAL_MACHINE",
        RegText({"[SOFTWARE\\Fortevia\\Contabilidade]", "\"Conta_ID\"=\"3\"",
                 "\"Espacos\"=\"  antes e depois  \"", "\"Vazio\"=\"\"",
                 "\"Templates\"=" + Sref(kShared), "\"Longo3499\"=\"" + QString(3499, 'x') + "\"",
                 "\"Longo3500\"=\"" + QString(3500, 'x') + "\"", "[SOFTWARE\\Fortevia\\Shared]",
                 "\"Templates\"=\"/srv/modelos\"", "[SOFTWARE\\Fortevia\\Cadeia]",
                 "\"Templates\"=" + Sref(kKey), "\"Nome\"=" + Sref(kShared),
                 "[SOFTWARE\\Fortevia\\CicloA]", "\"Valor\"=" + Sref(kCycleB),
                 "\"Proprio\"=" + Sref(kCycleA.toLower()), "[SOFTWARE\\Fortevia\\CicloB]",
                 "\"Valor\"=" + Sref(kCycleA)}));
    sandbox.writeRegFile("HKEY_CURRENT_USER",
                         RegText({"[Software\\Fortevia]", "\"Conta_ID\"=\"8\""}));
}

QString Entry(const QString& key, const QString& name, const QString& value) {
    return key + QLatin1Char(':') + name + QLatin1Char('=') + value;
}

QVariant AsVariant(const OptionalString& value) {
    return value ? QVariant(*value) : QVariant();
}

}  // namespace

class TestRegistry : public QObject {
    Q_OBJECT

  private slots:
    // A malformed key path shows its message each time it is met, and neither
    // the store nor the registry is read or written for it.
    void keyPaths_data() {
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<quint32>("root");
        QTest::addColumn<QString>("subKey");  // the key path itself when malformed
        QTest::addColumn<bool>("malformed");
        QTest::newRow("root and sub-key") << kKey << 0x80000002u << kKey.mid(19) << false;
        QTest::newRow("root alone") << "HKEY_CURRENT_USER" << 0x80000001u << "" << false;
        QTest::newRow("root in other letter case") << "HKEY_Users\\S" << 0u << "S" << false;
        QTest::newRow("no root") << "SOFTWARE\\Fortevia" << 0u << "SOFTWARE\\Fortevia" << true;
        QTest::newRow("trailing separator") << "HKEY_USERS\\S\\" << 0u << "HKEY_USERS\\S\\" << true;
        const QString user = "hkey_current_user\\software\\Fortevia";
        QTest::newRow("user's branch in lower case") << user << 0u << user << true;
    }
    void keyPaths() {
        QFETCH(QString, keyPath);
        QFETCH(quint32, root);
        QFETCH(QString, subKey);
        QFETCH(bool, malformed);
        SettingsSandbox sandbox;
        SeedRegistry(sandbox);
        sandbox.writeStore({Entry(keyPath, "Conta_ID", "5")});
        ScopedPrompts prompts;
        QString split = QStringLiteral("anterior");
        QCOMPARE(FormatarChave(keyPath, split), root);
        QCOMPARE(split, subKey);
        QCOMPARE(prompts->calls.size(), malformed ? 1 : 0);
        if (!malformed)
            return;
        const PromptCall& call = prompts->calls.first();
        QCOMPARE(call.text, QLatin1String("Formato Incorrecto:\n\n") + keyPath);
        QCOMPARE(call.style, vb::OKOnly);
        QCOMPARE(call.title, QString());
        QCOMPARE(ObterValorString(keyPath, "Conta_ID", QStringLiteral("D")), std::nullopt);
        QVERIFY(!DefinirValorString(keyPath, "Conta_ID", "9"));
        QCOMPARE(prompts->calls.size(), 3);
        QCOMPARE(sandbox.storeLines(), QStringList{Entry(keyPath, "Conta_ID", "5")});
    }

    void registryValues_data() {
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("leading spaces lost") << kKey << "Espacos" << QVariant("antes e depois  ");
        QTest::newRow("empty value is a value") << kKey << "Vazio" << QVariant("");
        QTest::newRow("3499 and the NUL fit")
            << kKey << "Longo3499" << QVariant(QString(3499, 'x'));
        QTest::newRow("3500 and the NUL do not") << kKey << "Longo3500" << QVariant();
        QTest::newRow("missing value") << kKey << "Nada" << QVariant();
        QTest::newRow("missing key") << kKey + "\\Nada"
                                     << "Conta_ID" << QVariant();
        QTest::newRow("names ignore case")
            << "HKEY_LOCAL_MACHINE\\software\\FORTEVIA\\contabilidade"
            << "CONTA_ID" << QVariant("3");
        QTest::newRow("reference not followed")
            << kKey << "Templates" << QVariant("SREF=" + kShared);
    }
    void registryValues() {
        QFETCH(QString, keyPath);
        QFETCH(QString, name);
        QFETCH(QVariant, expected);
        SettingsSandbox sandbox;
        SeedRegistry(sandbox);
        QCOMPARE(AsVariant(ValorString(keyPath, name)), expected);
    }

    void readValues_data() {
        QTest::addColumn<QVariant>("store");  // null: no store file
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("defaultValue");
        QTest::addColumn<bool>("skip");
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<QString>("added");  // the entry the read adds to the store
        const QVariant none;
        const QVariant empty = QStringList();
        const QVariant five = QStringList{Entry(kKey, "Conta_ID", "5")};
        const QVariant blank = QStringList{Entry(kKey, "Conta_ID", "")};
        QTest::newRow("store first")
            << five << kKey << "Conta_ID" << none << false << QVariant("5") << "";
        QTest::newRow("empty store value: the registry's")
            << blank << kKey << "Conta_ID" << none << false << QVariant("3") << "";
        QTest::newRow("skip flag: store not read")
            << five << kKey << "Conta_ID" << none << true << QVariant("3") << "";
        QTest::newRow("user's branch: store not read")
            << QVariant(QStringList{Entry(kUserKey, "Conta_ID", "5")}) << kUserKey << "Conta_ID"
            << none << false << QVariant("8") << "";
        QTest::newRow("chain of two references")
            << empty << kChain << "Templates" << none << false << QVariant("/srv/modelos") << "";
        QTest::newRow("reference in the store returned unchanged")
            << QVariant(QStringList{Entry(kKey, "Templates", "SREF=" + kShared)}) << kKey
            << "Templates" << none << false << QVariant("SREF=" + kShared) << "";
        QTest::newRow("reference to itself in other letter case: no value")
            << empty << kCycleA << "Proprio" << none << false << QVariant() << "";
        QTest::newRow("cycle: the default, stored under the last key looked up")
            << empty << kCycleA << "Valor" << QVariant("D") << false << QVariant("D")
            << Entry(kCycleB, "Valor", "D");
        QTest::newRow("chain ending without value: default stored under its last target")
            << empty << kChain << "Nome" << QVariant("D") << false << QVariant("D")
            << Entry(kShared, "Nome", "D");
        QTest::newRow("missing: the default, added to the store")
            << five << kKey << "Nada" << QVariant("7") << false << QVariant("7")
            << Entry(kKey, "Nada", "7");
        QTest::newRow("missing, no store: the default, no store made")
            << none << kKey << "Nada" << QVariant("7") << false << QVariant("7") << "";
        QTest::newRow("missing, null default: nothing stored")
            << empty << kKey << "Nada" << none << false << none << "";
        QTest::newRow("missing, empty default: stored")
            << empty << kKey << "Nada" << QVariant("") << false << QVariant("")
            << Entry(kKey, "Nada", "");
        QTest::newRow("missing, skip flag: the default, not stored")
            << empty << kKey << "Nada" << QVariant("7") << true << QVariant("7") << "";
        QTest::newRow("user's branch: no default")
            << empty << kUserKey << "Nada" << QVariant("7") << false << none << "";
    }
    void readValues() {
        QFETCH(QVariant, store);
        QFETCH(QString, keyPath);
        QFETCH(QString, name);
        QFETCH(QVariant, defaultValue);
        QFETCH(bool, skip);
        QFETCH(QVariant, expected);
        QFETCH(QString, added);
        SettingsSandbox sandbox;
        SeedRegistry(sandbox);
        if (!store.isNull())
            sandbox.writeStore(store.toStringList());
        const OptionalString fallback =
            defaultValue.isNull() ? std::nullopt : OptionalString(defaultValue.toString());
        ScopedServicesRecorder services;
        QCOMPARE(AsVariant(ObterValorString(keyPath, name, fallback, skip)), expected);
        QStringList after = store.toStringList();
        if (!added.isEmpty())
            after.append(added);
        QCOMPARE(sandbox.storeLines(), after);
        QCOMPARE(QFile::exists(sandbox.storePath()), !store.isNull());
        QCOMPARE(services->reports.size(), 0);
    }

    void writeValues_data() {
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<bool>("skip");
        QTest::addColumn<QString>("store");  // "empty", "none", "leftover", "unwritable", "blocked"
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QStringList>("storeAfter");
        QTest::addColumn<QVariant>("registryAfter");
        const QStringList twelve{Entry(kKey, "Conta_ID", "12")};
        QTest::newRow("to the store")
            << kKey << false << "empty" << true << twelve << QVariant("3");
        QTest::newRow("store made") << kKey << false << "none" << true << twelve << QVariant("3");
        QTest::newRow("write test file left behind by another program")
            << kKey << false << "leftover" << true << twelve << QVariant("3");
        QTest::newRow("store unwritable: to the registry")
            << kKey << false << "unwritable" << true << QStringList() << QVariant("12");
        QTest::newRow("store unwritable, holding another value: refused, nothing changed")
            << kKey << false << "blocked" << false << QStringList{Entry(kKey, "Conta_ID", "5")}
            << QVariant("3");
        QTest::newRow("skip flag: to the registry")
            << kKey << true << "empty" << true << QStringList() << QVariant("12");
        QTest::newRow("user's branch: to the registry")
            << kUserKey << false << "empty" << true << QStringList() << QVariant("12");
        QTest::newRow("missing key: not made")
            << kKey + "\\Nova" << true << "empty" << false << QStringList() << QVariant();
    }
    void writeValues() {
        QFETCH(QString, keyPath);
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
        if (store == "leftover")
            WriteAll(sandbox.shadowFolder() + QLatin1String("/TempXPTONexo.txt"), "x");
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
        QCOMPARE(DefinirValorString(keyPath, "Conta_ID", "12", skip), stored);
        if (stored)
            QCOMPARE(ObterValorString(keyPath, "Conta_ID", std::nullopt, skip), "12");
        unwritable.reset();
        QCOMPARE(sandbox.storeLines(), storeAfter);
        QCOMPARE(AsVariant(ValorString(keyPath, "Conta_ID")), registryAfter);
    }

    // A line break can stand neither in the store nor in the registry's file.
    void lineBreakIsRefused() {
        SettingsSandbox sandbox;
        SeedRegistry(sandbox);
        sandbox.writeStore({Entry(kKey, "Outro", "1")});
        const QByteArray machine = sandbox.regFileBytes("HKEY_LOCAL_MACHINE");
        QVERIFY(!DefinirValorString(kKey, "Conta_ID", "linha 1\r\nlinha 2"));
        QVERIFY(!DefinirValorString(kKey, "Conta\nID", "3"));
        QCOMPARE(sandbox.storeLines(), QStringList{Entry(kKey, "Outro", "1")});
        QCOMPARE(sandbox.regFileBytes("HKEY_LOCAL_MACHINE"), machine);
    }

    // A write rewrites its value's line or adds one to its key, and keeps the
    // rest of the registry's file as it was.
    void registryRewriteKeepsTheRestOfTheFile() {
        SettingsSandbox sandbox;
        const QString before = R"(Windows Registry Editor Version 5.00
; kept when the file is written again

[SOFTWARE\Fortevia\Contabilidade]
"Conta_ID"="3"
"Numero"=dword:0000002a

[HKEY_LOCAL_MACHINE\SOFTWARE\Fortevia\Shared]
"Templates"="/srv/modelos"
)";
        sandbox.writeRegFile("HKEY_LOCAL_MACHINE", before);
        QVERIFY(DefinirValorString(kKey, "Conta_ID", "4", true));
        QVERIFY(DefinirValorString(kKey, "Nova", R"(x "y" \z)", true));
        QVERIFY(DefinirValorString("HKEY_LOCAL_MACHINE\\software\\fortevia\\SHARED", "Acima",
                                   "Ação", true));
        const QString after = QString(before)
                                  .replace("=\"3\"", "=\"4\"")
                                  .replace("2a\n", "2a\n\"Nova\"=\"x \\\"y\\\" \\\\z\"\n")
                                  .append("\"Acima\"=\"Ação\"\n");
        QCOMPARE(QString::fromUtf8(sandbox.regFileBytes("HKEY_LOCAL_MACHINE")), after);
        QCOMPARE(ValorString(kKey, "Nova"), QStringLiteral(R"(x "y" \z)"));
    }
};

QTEST_MAIN(TestRegistry)
#include "tst_registry.moc"
