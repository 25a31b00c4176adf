// Settings through the registry and its shadow store: root names, key paths
// and their message, reading values (spaces, size limit, references, cycles,
// defaults), writing values (store first, registry otherwise), keys closed
// on every path and errors reported.
#include "Recorders.h"
#include "SettingsSandbox.h"
#include "common/Registry.h"
#include "platform/db/Error.h"
#include "platform/registry/RegistryBackend.h"

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

const QString kMachineFile =
    RegText({"Windows Registry Editor Version 5.00",
             "",
             "[HKEY_LOCAL_MACHINE]",
             "\"Raiz\"=\"na raiz\"",
             "",
             "[SOFTWARE\\Fortevia\\Contabilidade]",
             "\"Conta_ID\"=\"3\"",
             "\"Espacos\"=\"  antes e depois  \"",
             "\"Vazio\"=\"\"",
             "\"Aspas\"=\"a \\\"b\\\" c\\\\d\"",
             "\"Templates\"=\"SREF=HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\Fortevia\\\\Shared\"",
             "\"Longo3499\"=\"%1\"",
             "\"Longo3500\"=\"%2\"",
             "",
             "[SOFTWARE\\Fortevia\\Shared]",
             "\"Templates\"=\"/srv/modelos\"",
             "",
             "[SOFTWARE\\Fortevia\\Cadeia]",
             "\"Templates\"=\"SREF=HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\Fortevia\\\\Contabilidade\"",
             "\"Nome\"=\"SREF=HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\Fortevia\\\\Shared\"",
             "",
             "[SOFTWARE\\Fortevia\\CicloA]",
             "\"Valor\"=\"SREF=HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\Fortevia\\\\CicloB\"",
             "\"Proprio\"=\"SREF=HKEY_LOCAL_MACHINE\\\\software\\\\FORTEVIA\\\\cicloa\"",
             "",
             "[SOFTWARE\\Fortevia\\CicloB]",
             "\"Valor\"=\"SREF=HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\Fortevia\\\\CicloA\""});

const QString kUserFile = RegText(
    {"Windows Registry Editor Version 5.00", "", "[Software\\Fortevia]", "\"Conta_ID\"=\"8\""});

QString Entry(const QString& key, const QString& name, const QString& value) {
    return key + QLatin1Char(':') + name + QLatin1Char('=') + value;
}

QVariant AsVariant(const OptionalString& value) {
    return value ? QVariant(*value) : QVariant();
}

std::optional<QString> AsOptional(const QVariant& value) {
    return value.isNull() ? std::nullopt : std::optional<QString>(value.toString());
}

void SeedRegistry(const SettingsSandbox& sandbox) {
    sandbox.writeRegFile("HKEY_LOCAL_MACHINE", kMachineFile.arg(QString(3499, QLatin1Char('x')),
                                                                QString(3500, QLatin1Char('x'))));
    sandbox.writeRegFile("HKEY_CURRENT_USER", kUserFile);
}

// Counts the keys opened and closed by the component, and may refuse writes.
class CountingRegistry : public RegistryBackend {
  public:
    long RegOpenKeyExA(HKEY key, const QByteArray& subKey, quint32 samDesired,
                       HKEY& result) override {
        const long status = files_->RegOpenKeyExA(key, subKey, samDesired, result);
        opened += status == reg::ERROR_SUCCESS;
        return status;
    }
    long RegQueryValueExA(HKEY key, const QByteArray& valueName, char* data,
                          quint32* cbData) override {
        return files_->RegQueryValueExA(key, valueName, data, cbData);
    }
    long RegSetValueExA(HKEY key, const QByteArray& valueName, quint32 type, const char* data,
                        quint32 cbData) override {
        if (refuseWrites)
            return reg::ERROR_WRITE_FAULT;
        return files_->RegSetValueExA(key, valueName, type, data, cbData);
    }
    long RegCloseKey(HKEY key) override {
        closed += files_->RegCloseKey(key) == reg::ERROR_SUCCESS;
        return reg::ERROR_SUCCESS;
    }

    int opened = 0;
    int closed = 0;
    bool refuseWrites = false;

  private:
    std::unique_ptr<RegistryBackend> files_ = MakeRegFileBackend();
};

// A registry that fails unexpectedly.
class FailingRegistry : public RegistryBackend {
  public:
    long RegOpenKeyExA(HKEY, const QByteArray&, quint32, HKEY&) override {
        throw OrlaError(5, QStringLiteral("Registo indisponível"));
    }
    long RegQueryValueExA(HKEY, const QByteArray&, char*, quint32*) override {
        return reg::ERROR_INVALID_HANDLE;
    }
    long RegSetValueExA(HKEY, const QByteArray&, quint32, const char*, quint32) override {
        return reg::ERROR_INVALID_HANDLE;
    }
    long RegCloseKey(HKEY) override { return reg::ERROR_INVALID_HANDLE; }
};

// Installs a registry for the scope, then the .reg files again.
template <class T>
class ScopedRegistry {
  public:
    ScopedRegistry() {
        auto registry = std::make_unique<T>();
        registry_ = registry.get();
        SetRegistryBackend(std::move(registry));
    }
    ~ScopedRegistry() { SetRegistryBackend(nullptr); }
    T& operator*() { return *registry_; }
    T* operator->() { return registry_; }

  private:
    T* registry_;
};

}  // namespace

class TestRegistry : public QObject {
    Q_OBJECT

  private slots:
    void keyPaths_data() {
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<quint32>("root");
        QTest::addColumn<QString>("subKey");
        QTest::addColumn<bool>("malformed");
        QTest::newRow("root and sub-key")
            << kKey << 0x80000002u << "SOFTWARE\\Fortevia\\Contabilidade" << false;
        QTest::newRow("root alone") << "HKEY_CURRENT_USER" << 0x80000001u << "" << false;
        QTest::newRow("root in other letter case")
            << "HKEY_Local_Machine\\SOFTWARE" << 0u << "SOFTWARE" << false;
        QTest::newRow("root not in the table")
            << "HKEY_CURRENT_USERX\\SOFTWARE" << 0u << "SOFTWARE" << false;
        QTest::newRow("lower-case root")
            << "hkey_local_machine\\SOFTWARE" << 0u << "hkey_local_machine\\SOFTWARE" << true;
        QTest::newRow("no root") << "SOFTWARE\\Fortevia" << 0u << "SOFTWARE\\Fortevia" << true;
        QTest::newRow("trailing separator")
            << "HKEY_LOCAL_MACHINE\\SOFTWARE\\" << 0u << "HKEY_LOCAL_MACHINE\\SOFTWARE\\" << true;
        QTest::newRow("empty") << "" << 0u << "" << true;
    }
    void keyPaths() {
        QFETCH(QString, keyPath);
        QFETCH(quint32, root);
        QFETCH(QString, subKey);
        QFETCH(bool, malformed);
        ScopedPrompts prompts;
        QString split = QStringLiteral("anterior");
        QCOMPARE(FormatarChave(keyPath, split), root);
        QCOMPARE(split, subKey);
        QCOMPARE(prompts.prompts().calls.size(), malformed ? 1 : 0);
        if (malformed) {
            const PromptCall& call = prompts.prompts().calls.first();
            QCOMPARE(call.text, QLatin1String("Formato Incorrecto:\n\n") + keyPath);
            QCOMPARE(call.style, vb::OKOnly);
            QCOMPARE(call.title, QString());
        }
    }

    void registryValues_data() {
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("value") << kKey << "Conta_ID" << QVariant("3");
        QTest::newRow("leading spaces lost, trailing kept")
            << kKey << "Espacos" << QVariant("antes e depois  ");
        QTest::newRow("empty value is a value") << kKey << "Vazio" << QVariant("");
        QTest::newRow("quotes and backslashes") << kKey << "Aspas" << QVariant("a \"b\" c\\d");
        QTest::newRow("3499 characters and the NUL fit")
            << kKey << "Longo3499" << QVariant(QString(3499, QLatin1Char('x')));
        QTest::newRow("3500 characters and the NUL do not") << kKey << "Longo3500" << QVariant();
        QTest::newRow("missing value") << kKey << "Nada" << QVariant();
        QTest::newRow("missing key") << kKey + "\\Nada"
                                     << "Conta_ID" << QVariant();
        QTest::newRow("root key itself") << "HKEY_LOCAL_MACHINE"
                                         << "Raiz" << QVariant("na raiz");
        QTest::newRow("names ignore case")
            << "HKEY_LOCAL_MACHINE\\software\\FORTEVIA\\contabilidade"
            << "conta_id" << QVariant("3");
        QTest::newRow("root not in the table") << "HKEY_CURRENT_USERX\\Software\\Fortevia"
                                               << "Conta_ID" << QVariant();
        QTest::newRow("references are not followed here")
            << kKey << "Templates" << QVariant("SREF=" + kShared);
    }
    void registryValues() {
        QFETCH(QString, keyPath);
        QFETCH(QString, name);
        QFETCH(QVariant, expected);
        SettingsSandbox sandbox;
        SeedRegistry(sandbox);
        ScopedPrompts prompts;
        QCOMPARE(AsVariant(ValorString(keyPath, name)), expected);
        QCOMPARE(prompts.prompts().calls.size(), 0);
    }

    void readValues_data() {
        QTest::addColumn<bool>("storeExists");
        QTest::addColumn<QStringList>("store");
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("defaultValue");
        QTest::addColumn<bool>("skipShadow");
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<QStringList>("storeAfter");

        const QStringList five{Entry(kKey, "Conta_ID", "5")};
        QTest::newRow("store before registry")
            << true << five << kKey << "Conta_ID" << QVariant() << false << QVariant("5") << five;
        QTest::newRow("empty store value: the registry's")
            << true << QStringList{Entry(kKey, "Conta_ID", "")} << kKey << "Conta_ID" << QVariant()
            << false << QVariant("3") << QStringList{Entry(kKey, "Conta_ID", "")};
        QTest::newRow("skip flag: the store is not read")
            << true << five << kKey << "Conta_ID" << QVariant() << true << QVariant("3") << five;
        const QStringList user{Entry(kUserKey, "Conta_ID", "5")};
        QTest::newRow("current user's branch: the store is not read")
            << true << user << kUserKey << "Conta_ID" << QVariant() << false << QVariant("8")
            << user;
        QTest::newRow("reference followed in the registry")
            << true << QStringList() << kKey << "Templates" << QVariant() << false
            << QVariant("/srv/modelos") << QStringList();
        QTest::newRow("chain of two references")
            << true << QStringList() << kChain << "Templates" << QVariant() << false
            << QVariant("/srv/modelos") << QStringList();
        const QStringList reference{Entry(kKey, "Templates", "SREF=" + kShared)};
        QTest::newRow("reference in the store returned unchanged")
            << true << reference << kKey << "Templates" << QVariant() << false
            << QVariant("SREF=" + kShared) << reference;
        QTest::newRow("reference cycle: no value")
            << true << QStringList() << kCycleA << "Valor" << QVariant() << false << QVariant()
            << QStringList();
        QTest::newRow("reference cycle: the default, stored under the last key looked up")
            << true << QStringList() << kCycleA << "Valor" << QVariant("D") << false
            << QVariant("D") << QStringList{Entry(kCycleB, "Valor", "D")};
        QTest::newRow("reference to itself in other letter case: no value")
            << true << QStringList() << kCycleA << "Proprio" << QVariant() << false << QVariant()
            << QStringList();
        QTest::newRow("chain ending without value: default stored under its last target")
            << true << QStringList() << kChain << "Nome" << QVariant("D") << false << QVariant("D")
            << QStringList{Entry(kShared, "Nome", "D")};
        QTest::newRow("missing value: the default, added to the store")
            << true << five << kKey << "Nada" << QVariant("7") << false << QVariant("7")
            << QStringList{five.first(), Entry(kKey, "Nada", "7")};
        QTest::newRow("missing value and no store: the default, no store made")
            << false << QStringList() << kKey << "Nada" << QVariant("7") << false << QVariant("7")
            << QStringList();
        QTest::newRow("missing value, null default: nothing stored")
            << true << QStringList() << kKey << "Nada" << QVariant() << false << QVariant()
            << QStringList();
        QTest::newRow("missing value, empty default: the empty default, stored")
            << true << QStringList() << kKey << "Nada" << QVariant("") << false << QVariant("")
            << QStringList{Entry(kKey, "Nada", "")};
        QTest::newRow("missing value, skip flag: the default, not stored")
            << true << QStringList() << kKey << "Nada" << QVariant("7") << true << QVariant("7")
            << QStringList();
        QTest::newRow("current user's branch: no default")
            << true << QStringList() << kUserKey << "Nada" << QVariant("7") << false << QVariant()
            << QStringList();
    }
    void readValues() {
        QFETCH(bool, storeExists);
        QFETCH(QStringList, store);
        QFETCH(QString, keyPath);
        QFETCH(QString, name);
        QFETCH(QVariant, defaultValue);
        QFETCH(bool, skipShadow);
        QFETCH(QVariant, expected);
        QFETCH(QStringList, storeAfter);
        SettingsSandbox sandbox;
        SeedRegistry(sandbox);
        if (storeExists)
            sandbox.writeStore(store);
        ScopedPrompts prompts;
        ScopedServicesRecorder services;
        QCOMPARE(AsVariant(ObterValorString(keyPath, name, AsOptional(defaultValue), skipShadow)),
                 expected);
        QCOMPARE(sandbox.storeLines(), storeAfter);
        QCOMPARE(QFile::exists(sandbox.storePath()), storeExists);
        QCOMPARE(prompts.prompts().calls.size(), 0);
        QCOMPARE(services.log().reports.size(), 0);
    }

    void defaultReadsBackFromTheStore() {
        SettingsSandbox sandbox;
        SeedRegistry(sandbox);
        sandbox.writeStore({});
        QCOMPARE(ObterValorString(kKey, "Nada", QStringLiteral("7")), QStringLiteral("7"));
        QCOMPARE(ObterValorString(kKey, "Nada", QStringLiteral("outro")), QStringLiteral("7"));
        QCOMPARE(ObterValorString(kKey, "Nada"), QStringLiteral("7"));
        QCOMPARE(ValorString(kKey, "Nada"), std::nullopt);
    }

    void malformedKeyPaths_data() {
        QTest::addColumn<QString>("keyPath");
        QTest::newRow("no root") << "SOFTWARE\\Fortevia\\Contabilidade";
        QTest::newRow("lower-case root") << "hkey_local_machine\\SOFTWARE\\Fortevia\\Contabilidade";
        QTest::newRow("trailing separator") << kKey + "\\";
        QTest::newRow("current user's branch in lower case (skips the store)")
            << "hkey_current_user\\software\\Fortevia";
    }
    void malformedKeyPaths() {
        QFETCH(QString, keyPath);
        SettingsSandbox sandbox;
        SeedRegistry(sandbox);
        // Even an entry made by hand for the malformed path is not read.
        sandbox.writeStore({Entry(keyPath, "Conta_ID", "5")});
        const QByteArray store = sandbox.storeBytes();
        const QByteArray machine = sandbox.regFileBytes("HKEY_LOCAL_MACHINE");
        ScopedPrompts prompts;
        QCOMPARE(ObterValorString(keyPath, "Conta_ID", QStringLiteral("D")), std::nullopt);
        QVERIFY(!DefinirValorString(keyPath, "Conta_ID", "9"));
        QCOMPARE(prompts.prompts().calls.size(), 2);
        for (const PromptCall& call : prompts.prompts().calls)
            QCOMPARE(call.text, QLatin1String("Formato Incorrecto:\n\n") + keyPath);
        QCOMPARE(sandbox.storeBytes(), store);
        QCOMPARE(sandbox.regFileBytes("HKEY_LOCAL_MACHINE"), machine);
    }

    void writeValues_data() {
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<bool>("skipShadow");
        QTest::addColumn<QString>("storeSetup");  // "empty", "none", "unwritable", "blocked"
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QStringList>("storeAfter");
        QTest::addColumn<QVariant>("registryAfter");

        QTest::newRow("to the store, registry untouched")
            << kKey << false << "empty" << true << QStringList{Entry(kKey, "Conta_ID", "12")}
            << QVariant("3");
        QTest::newRow("store made when missing")
            << kKey << false << "none" << true << QStringList{Entry(kKey, "Conta_ID", "12")}
            << QVariant("3");
        QTest::newRow("store folder unwritable: to the registry")
            << kKey << false << "unwritable" << true << QStringList() << QVariant("12");
        QTest::newRow("store folder unwritable, missing key: not made")
            << kKey + "\\Nova" << false << "unwritable" << false << QStringList() << QVariant();
        QTest::newRow("store unwritable, holding another value: refused, nothing changed")
            << kKey << false << "blocked" << false << QStringList{Entry(kKey, "Conta_ID", "5")}
            << QVariant("3");
        QTest::newRow("skip flag: to the registry")
            << kKey << true << "empty" << true << QStringList() << QVariant("12");
        QTest::newRow("current user's branch: to the registry")
            << kUserKey << false << "empty" << true << QStringList() << QVariant("12");
        QTest::newRow("root not in the table")
            << "HKEY_CURRENT_USERX\\Software\\Fortevia" << false << "unwritable" << false
            << QStringList() << QVariant();
        QTest::newRow("missing key: not made")
            << kKey + "\\Nova" << true << "empty" << false << QStringList() << QVariant();
    }
    void writeValues() {
        QFETCH(QString, keyPath);
        QFETCH(bool, skipShadow);
        QFETCH(QString, storeSetup);
        QFETCH(bool, stored);
        QFETCH(QStringList, storeAfter);
        QFETCH(QVariant, registryAfter);
        SettingsSandbox sandbox;
        SeedRegistry(sandbox);
        std::optional<ScopedEnv> unwritable;
        if (storeSetup == QLatin1String("empty"))
            sandbox.writeStore({});
        if (storeSetup == QLatin1String("blocked")) {
            // A read-only write-test file fails the folder's write test.
            sandbox.writeStore({Entry(kKey, "Conta_ID", "5")});
            const QString blocker = sandbox.shadowFolder() + QLatin1String("/TempXPTONexo.txt");
            WriteAll(blocker, "x");
            QVERIFY(QFile::setPermissions(blocker, QFileDevice::ReadOwner));
        }
        if (storeSetup == QLatin1String("unwritable")) {
            // A common folder that is a regular file: nothing can be made in it,
            // whoever runs the test.
            const QString file = sandbox.root() + QLatin1String("/ficheiro");
            WriteAll(file, "x");
            unwritable.emplace("ORLA_COMMON_APPDATA", file);
        }
        const QByteArray machine = sandbox.regFileBytes("HKEY_LOCAL_MACHINE");
        ScopedPrompts prompts;
        QCOMPARE(DefinirValorString(keyPath, "Conta_ID", "12", skipShadow), stored);
        unwritable.reset();
        QCOMPARE(sandbox.storeLines(), storeAfter);
        QCOMPARE(AsVariant(ValorString(keyPath, "Conta_ID")), registryAfter);
        if (stored)
            QCOMPARE(ObterValorString(keyPath, "Conta_ID", std::nullopt, skipShadow), "12");
        if (!stored)
            QCOMPARE(sandbox.regFileBytes("HKEY_LOCAL_MACHINE"), machine);
        QCOMPARE(prompts.prompts().calls.size(), 0);
    }

    void writtenValueReadsBack_data() {
        QTest::addColumn<bool>("skipShadow");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        for (bool skip : {false, true}) {
            const char* where = skip ? "registry: " : "store: ";
            QTest::addRow("%stext", where) << skip << "Conciliação Bancária"
                                           << "Conciliação Bancária";
            QTest::addRow("%soutside the code page", where) << skip << "€ Ā 中"
                                                            << "€ ? ?";
            QTest::addRow("%squotes and separators", where) << skip << "a \"b\" c\\d:e=f"
                                                            << "a \"b\" c\\d:e=f";
            QTest::addRow("%strailing spaces", where) << skip << "12  "
                                                      << "12  ";
        }
    }
    void writtenValueReadsBack() {
        QFETCH(bool, skipShadow);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        SettingsSandbox sandbox;
        SeedRegistry(sandbox);
        QVERIFY(DefinirValorString(kKey, "Conta_ID", value, skipShadow));
        QCOMPARE(ObterValorString(kKey, "Conta_ID", std::nullopt, skipShadow), expected);
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

    void keysClosedOnEveryPath() {
        SettingsSandbox sandbox;
        SeedRegistry(sandbox);
        ScopedRegistry<CountingRegistry> registry;
        ValorString(kKey, "Conta_ID");
        ValorString(kKey, "Nada");
        ValorString(kKey, "Longo3500");
        ValorString(kKey + "\\Nada", "Conta_ID");
        ObterValorString(kCycleA, "Valor");
        QVERIFY(DefinirValorString(kKey, "Conta_ID", "4", true));
        registry->refuseWrites = true;
        QVERIFY(!DefinirValorString(kKey, "Conta_ID", "5", true));
        QCOMPARE(registry->opened, 7);
        QCOMPARE(registry->closed, registry->opened);
        QCOMPARE(ValorString(kKey, "Conta_ID"), QStringLiteral("4"));
    }

    void unexpectedFailuresAreReported() {
        SettingsSandbox sandbox;
        ScopedServicesRecorder services;
        ScopedRegistry<FailingRegistry> registry;
        QCOMPARE(ObterValorString(kKey, "Conta_ID", QStringLiteral("D")), QStringLiteral("D"));
        QVERIFY(!DefinirValorString(kKey, "Conta_ID", "1", true));
        const QString message =
            QStringLiteral("Error Number = 5 | Description = Registo indisponível");
        QCOMPARE(services.log().reports.size(), 2);
        QCOMPARE(services.log().reports[0].texts.mid(2),
                 QStringList({"modRegistry", "ValorString", message}));
        QCOMPARE(services.log().reports[1].texts.mid(2),
                 QStringList({"modRegistry", "DefinirValorString", message}));
    }
};

QTEST_MAIN(TestRegistry)
#include "tst_registry.moc"
