// The registry's four operations over .reg files: keys that exist (also
// above a section), handles and access rights, value sizes and types,
// escaping, and rewrites that keep the rest of the file.
#include "SettingsSandbox.h"
#include "common/Ansi.h"
#include "platform/registry/RegistryBackend.h"

#include <QFile>
#include <QTest>

using namespace orla;
using namespace orla::test;
using namespace orla::reg;

namespace {

const QString kMachine = QStringLiteral("HKEY_LOCAL_MACHINE");

const QString kFile = RegText(
    {"Windows Registry Editor Version 5.00", "; kept when the file is written again", "",
     "[HKEY_LOCAL_MACHINE]", "\"Raiz\"=\"na raiz\"", "", "[SOFTWARE\\Fortevia\\Contabilidade]",
     "\"Conta_ID\"=\"3\"", "\"Numero\"=dword:0000002a", "\"Bytes\"=hex:01,02,\\", "  03",
     "@=\"sem nome\"", "\"Estranha\"=valor que nao se entende", "\"Aspas\"=\"a \\\"b\\\" c\\\\d\"",
     "", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Shared]", "\"Templates\"=\"/srv/modelos\""});

struct Read {
    long status = 0;
    quint32 type = 0;
    quint32 length = 0;  // the value's size, also when it did not fit
    QByteArray data;     // the value, when it fitted
};

Read Query(HKEY key, const QByteArray& name, quint32 size = 3500) {
    Read read;
    QByteArray buffer(qsizetype(size), '\0');
    read.length = size;
    read.status =
        CurrentRegistry().RegQueryValueExA(key, name, &read.type, buffer.data(), &read.length);
    if (read.status == ERROR_SUCCESS)
        read.data = buffer.left(read.length);
    return read;
}

HKEY Open(const QByteArray& subKey, quint32 access, long expected = ERROR_SUCCESS) {
    HKEY key = 0;
    const long status = CurrentRegistry().RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, access, key);
    QTest::qCompare(status, expected, "status", "expected", __FILE__, __LINE__);
    return key;
}

long Set(HKEY key, const QByteArray& name, const QString& text) {
    const QByteArray data = ToAnsi(text) + '\0';
    return CurrentRegistry().RegSetValueExA(key, name, REG_SZ, data.constData(),
                                            quint32(data.size()));
}

}  // namespace

class TestRegistryBackend : public QObject {
    Q_OBJECT

  private slots:
    void openingKeys_data() {
        QTest::addColumn<QByteArray>("subKey");
        QTest::addColumn<long>("status");
        QTest::newRow("key with a section")
            << QByteArray("SOFTWARE\\Fortevia\\Contabilidade") << ERROR_SUCCESS;
        QTest::newRow("section written with the root's name")
            << QByteArray("SOFTWARE\\Fortevia\\Shared") << ERROR_SUCCESS;
        QTest::newRow("key above sections") << QByteArray("SOFTWARE\\Fortevia") << ERROR_SUCCESS;
        QTest::newRow("letter case ignored")
            << QByteArray("software\\FORTEVIA\\contabilidade") << ERROR_SUCCESS;
        QTest::newRow("the root itself") << QByteArray() << ERROR_SUCCESS;
        QTest::newRow("missing key") << QByteArray("SOFTWARE\\Outra") << ERROR_FILE_NOT_FOUND;
        QTest::newRow("name that only begins alike")
            << QByteArray("SOFTWARE\\Forte") << ERROR_FILE_NOT_FOUND;
        QTest::newRow("doubled separator")
            << QByteArray("SOFTWARE\\\\Fortevia") << ERROR_FILE_NOT_FOUND;
    }
    void openingKeys() {
        QFETCH(QByteArray, subKey);
        QFETCH(long, status);
        SettingsSandbox sandbox;
        sandbox.writeRegFile(kMachine, kFile);
        const HKEY key = Open(subKey, KEY_READ, status);
        if (status == ERROR_SUCCESS)
            QCOMPARE(CurrentRegistry().RegCloseKey(key), ERROR_SUCCESS);
    }

    void readingValues_data() {
        QTest::addColumn<QByteArray>("subKey");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<long>("status");
        QTest::addColumn<quint32>("type");
        QTest::addColumn<QByteArray>("data");
        const QByteArray key("SOFTWARE\\Fortevia\\Contabilidade");
        QTest::newRow("string with its NUL")
            << key << QByteArray("Conta_ID") << ERROR_SUCCESS << REG_SZ << QByteArray("3\0", 2);
        QTest::newRow("value names ignore case")
            << key << QByteArray("CONTA_ID") << ERROR_SUCCESS << REG_SZ << QByteArray("3\0", 2);
        QTest::newRow("escaped quotes and backslash") << key << QByteArray("Aspas") << ERROR_SUCCESS
                                                      << REG_SZ << QByteArray("a \"b\" c\\d\0", 10);
        QTest::newRow("dword") << key << QByteArray("Numero") << ERROR_SUCCESS << REG_DWORD
                               << QByteArray("\x2a\0\0\0", 4);
        QTest::newRow("bytes over two lines") << key << QByteArray("Bytes") << ERROR_SUCCESS
                                              << REG_BINARY << QByteArray("\x01\x02\x03", 3);
        QTest::newRow("unnamed value")
            << key << QByteArray() << ERROR_SUCCESS << REG_SZ << QByteArray("sem nome\0", 9);
        QTest::newRow("line not understood")
            << key << QByteArray("Estranha") << ERROR_FILE_NOT_FOUND << 0u << QByteArray();
        QTest::newRow("missing value")
            << key << QByteArray("Nada") << ERROR_FILE_NOT_FOUND << 0u << QByteArray();
        QTest::newRow("value of the root key")
            << QByteArray() << QByteArray("Raiz") << ERROR_SUCCESS << REG_SZ
            << QByteArray("na raiz\0", 8);
        QTest::newRow("key above sections has no values")
            << QByteArray("SOFTWARE") << QByteArray("Conta_ID") << ERROR_FILE_NOT_FOUND << 0u
            << QByteArray();
    }
    void readingValues() {
        QFETCH(QByteArray, subKey);
        QFETCH(QByteArray, name);
        QFETCH(long, status);
        QFETCH(quint32, type);
        QFETCH(QByteArray, data);
        SettingsSandbox sandbox;
        sandbox.writeRegFile(kMachine, kFile);
        const HKEY key = Open(subKey, KEY_READ);
        const Read read = Query(key, name);
        QCOMPARE(read.status, status);
        if (status == ERROR_SUCCESS) {
            QCOMPARE(read.type, type);
            QCOMPARE(read.data, data);
        }
        CurrentRegistry().RegCloseKey(key);
    }

    void bufferSizes() {
        SettingsSandbox sandbox;
        sandbox.writeRegFile(kMachine, kFile);
        const HKEY key = Open("SOFTWARE\\Fortevia\\Contabilidade", KEY_READ);
        quint32 length = 0;
        quint32 type = 0;
        // No buffer: the size alone.
        QCOMPARE(CurrentRegistry().RegQueryValueExA(key, "Aspas", &type, nullptr, &length),
                 ERROR_SUCCESS);
        QCOMPARE(length, 10u);
        QCOMPARE(type, REG_SZ);
        QCOMPARE(Query(key, "Aspas", 10).status, ERROR_SUCCESS);
        const Read tooSmall = Query(key, "Aspas", 9);
        QCOMPARE(tooSmall.status, ERROR_MORE_DATA);
        QCOMPARE(tooSmall.length, 10u);  // the size the value needs
        char byte = 0;
        QCOMPARE(CurrentRegistry().RegQueryValueExA(key, "Aspas", nullptr, &byte, nullptr),
                 ERROR_INVALID_PARAMETER);
        CurrentRegistry().RegCloseKey(key);
    }

    void accessRights() {
        SettingsSandbox sandbox;
        sandbox.writeRegFile(kMachine, kFile);
        const HKEY reader = Open("SOFTWARE\\Fortevia\\Contabilidade", KEY_READ);
        const HKEY writer = Open("SOFTWARE\\Fortevia\\Contabilidade", KEY_WRITE);
        QVERIFY(reader != writer);
        QCOMPARE(Set(reader, "Conta_ID", "4"), ERROR_ACCESS_DENIED);
        QCOMPARE(Query(writer, "Conta_ID").status, ERROR_ACCESS_DENIED);
        QCOMPARE(Set(writer, "Conta_ID", "4"), ERROR_SUCCESS);
        QCOMPARE(Query(reader, "Conta_ID").data, QByteArray("4\0", 2));
        QCOMPARE(CurrentRegistry().RegCloseKey(reader), ERROR_SUCCESS);
        QCOMPARE(CurrentRegistry().RegCloseKey(writer), ERROR_SUCCESS);
        // Closed handles are no longer valid; the predefined roots always are.
        QCOMPARE(CurrentRegistry().RegCloseKey(reader), ERROR_INVALID_HANDLE);
        QCOMPARE(Query(reader, "Conta_ID").status, ERROR_INVALID_HANDLE);
        QCOMPARE(Query(HKEY_LOCAL_MACHINE, "Raiz").status, ERROR_SUCCESS);
        QCOMPARE(CurrentRegistry().RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
        HKEY none = 0;
        QCOMPARE(CurrentRegistry().RegOpenKeyExA(0x80000007, "", KEY_READ, none),
                 ERROR_INVALID_HANDLE);
    }

    void writingNeedsAWritableFile() {
        if (RunningAsRoot())
            QSKIP("the superuser writes whatever the permission bits");
        SettingsSandbox sandbox;
        sandbox.writeRegFile(kMachine, kFile);
        QVERIFY(QFile::setPermissions(sandbox.regFilePath(kMachine), QFileDevice::ReadOwner));
        Open("SOFTWARE\\Fortevia\\Contabilidade", KEY_WRITE, ERROR_ACCESS_DENIED);
        const HKEY reader = Open("SOFTWARE\\Fortevia\\Contabilidade", KEY_READ);
        CurrentRegistry().RegCloseKey(reader);
    }

    void openingBelowAnOpenedKey() {
        SettingsSandbox sandbox;
        sandbox.writeRegFile(kMachine, kFile);
        const HKEY fortevia = Open("SOFTWARE\\Fortevia", KEY_READ);
        HKEY shared = 0;
        QCOMPARE(CurrentRegistry().RegOpenKeyExA(fortevia, "Shared", KEY_READ, shared),
                 ERROR_SUCCESS);
        QCOMPARE(Query(shared, "Templates").data, QByteArray("/srv/modelos\0", 13));
        CurrentRegistry().RegCloseKey(shared);
        CurrentRegistry().RegCloseKey(fortevia);
    }

    void rewriteKeepsTheRestOfTheFile() {
        SettingsSandbox sandbox;
        sandbox.writeRegFile(kMachine, kFile);
        const HKEY key = Open("SOFTWARE\\Fortevia\\Contabilidade", KEY_WRITE);
        QCOMPARE(Set(key, "Conta_ID", "4"), ERROR_SUCCESS);
        QCOMPARE(Set(key, "Nova", "x \"y\" \\z"), ERROR_SUCCESS);
        CurrentRegistry().RegCloseKey(key);
        const HKEY above = Open("SOFTWARE\\Fortevia", KEY_WRITE);
        QCOMPARE(Set(above, "Acima", "Ação"), ERROR_SUCCESS);
        CurrentRegistry().RegCloseKey(above);
        QCOMPARE(QString::fromUtf8(sandbox.regFileBytes(kMachine)),
                 RegText({"Windows Registry Editor Version 5.00",
                          "; kept when the file is written again",
                          "",
                          "[HKEY_LOCAL_MACHINE]",
                          "\"Raiz\"=\"na raiz\"",
                          "",
                          "[SOFTWARE\\Fortevia\\Contabilidade]",
                          "\"Conta_ID\"=\"4\"",
                          "\"Numero\"=dword:0000002a",
                          "\"Bytes\"=hex:01,02,03",
                          "@=\"sem nome\"",
                          "\"Estranha\"=valor que nao se entende",
                          "\"Aspas\"=\"a \\\"b\\\" c\\\\d\"",
                          "\"Nova\"=\"x \\\"y\\\" \\\\z\"",
                          "",
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Shared]",
                          "\"Templates\"=\"/srv/modelos\"",
                          "",
                          "[SOFTWARE\\Fortevia]",
                          "\"Acima\"=\"Ação\""}));
    }

    void valuesThatAreNotPlainText_data() {
        QTest::addColumn<quint32>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("line break") << REG_SZ << QByteArray("a\r\nb\0", 5);
        QTest::newRow("no terminating NUL") << REG_SZ << QByteArray("abc");
        QTest::newRow("binary") << REG_BINARY << QByteArray("\x00\xff\x10", 3);
        QTest::newRow("empty binary") << REG_BINARY << QByteArray();
    }
    void valuesThatAreNotPlainText() {
        QFETCH(quint32, type);
        QFETCH(QByteArray, data);
        SettingsSandbox sandbox;
        sandbox.writeRegFile(kMachine, kFile);
        const HKEY key = Open("SOFTWARE\\Fortevia\\Contabilidade", KEY_WRITE | KEY_READ);
        QCOMPARE(CurrentRegistry().RegSetValueExA(key, "Valor", type, data.constData(),
                                                  quint32(data.size())),
                 ERROR_SUCCESS);
        const Read read = Query(key, "Valor");
        QCOMPARE(read.status, ERROR_SUCCESS);
        QCOMPARE(read.type, type);
        QCOMPARE(read.data, data);
        CurrentRegistry().RegCloseKey(key);
    }

    void utf16FileIsRead() {
        SettingsSandbox sandbox;
        const QString text = QStringLiteral(
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia]\r\n"
            "\"Banco\"=\"Conciliação\"\r\n");
        QByteArray bytes("\xff\xfe");
        bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        WriteAll(sandbox.regFilePath(kMachine), bytes);
        const HKEY key = Open("SOFTWARE\\Fortevia", KEY_READ);
        QCOMPARE(Query(key, "Banco").data, ToAnsi("Conciliação") + '\0');
        CurrentRegistry().RegCloseKey(key);
    }

    void eachRootHasItsFile() {
        SettingsSandbox sandbox;
        sandbox.writeRegFile(kMachine, kFile);
        sandbox.writeRegFile("HKEY_CURRENT_USER",
                             RegText({"[Software\\Utilizador]", "\"Conta_ID\"=\"8\""}));
        HKEY user = 0;
        QCOMPARE(CurrentRegistry().RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Utilizador",
                                                 KEY_READ, user),
                 ERROR_SUCCESS);
        QCOMPARE(Query(user, "Conta_ID").data, QByteArray("8\0", 2));
        CurrentRegistry().RegCloseKey(user);
        Open("Software\\Utilizador", KEY_READ, ERROR_FILE_NOT_FOUND);
        HKEY users = 0;
        QCOMPARE(CurrentRegistry().RegOpenKeyExA(HKEY_USERS, "Software", KEY_READ, users),
                 ERROR_FILE_NOT_FOUND);
    }
};

QTEST_MAIN(TestRegistryBackend)
#include "tst_registrybackend.moc"
