// The registry's four operations over .reg files, where the settings' own
// tests do not reach: handles and access rights, and rewrites that keep the
// rest of the file.
#include "SettingsSandbox.h"
#include "common/Ansi.h"
#include "platform/registry/RegistryBackend.h"

#include <QTest>

using namespace orla;
using namespace orla::test;
using namespace orla::reg;

namespace {

const QString kMachine = QStringLiteral("HKEY_LOCAL_MACHINE");

const QString kFile = RegText(
    {"Windows Registry Editor Version 5.00", "; kept when the file is written again", "",
     "[SOFTWARE\\Fortevia\\Contabilidade]", "\"Conta_ID\"=\"3\"", "\"Numero\"=dword:0000002a", "",
     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Shared]", "\"Templates\"=\"/srv/modelos\""});

HKEY Open(HKEY root, const QByteArray& subKey, quint32 access, long expected = ERROR_SUCCESS) {
    HKEY key = 0;
    const long status = CurrentRegistry().RegOpenKeyExA(root, subKey, access, key);
    QTest::qCompare(status, expected, "status", "expected", __FILE__, __LINE__);
    return key;
}

// The value's text, or the failure's code as text.
QString Query(HKEY key, const QByteArray& name) {
    char buffer[64];
    quint32 length = sizeof buffer;
    const long status = CurrentRegistry().RegQueryValueExA(key, name, buffer, &length);
    return status == ERROR_SUCCESS ? FromAnsi(QByteArray(buffer, length - 1))
                                   : QString::number(status);
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
    void handlesGrantWhatTheyWereOpenedFor() {
        SettingsSandbox sandbox;
        sandbox.writeRegFile(kMachine, kFile);
        const HKEY reader = Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Fortevia\\Contabilidade", KEY_READ);
        const HKEY writer =
            Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Fortevia\\Contabilidade", KEY_WRITE);
        QCOMPARE(Set(reader, "Conta_ID", "4"), ERROR_ACCESS_DENIED);
        QCOMPARE(Query(writer, "Conta_ID"), QString::number(ERROR_ACCESS_DENIED));
        QCOMPARE(Set(writer, "Conta_ID", "4"), ERROR_SUCCESS);
        QCOMPARE(Query(reader, "Conta_ID"), QStringLiteral("4"));
        QCOMPARE(CurrentRegistry().RegCloseKey(reader), ERROR_SUCCESS);
        QCOMPARE(CurrentRegistry().RegCloseKey(reader), ERROR_INVALID_HANDLE);
        QCOMPARE(Query(reader, "Conta_ID"), QString::number(ERROR_INVALID_HANDLE));
        CurrentRegistry().RegCloseKey(writer);
    }

    void rewriteKeepsTheRestOfTheFile() {
        SettingsSandbox sandbox;
        sandbox.writeRegFile(kMachine, kFile);
        const HKEY key = Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Fortevia\\Contabilidade", KEY_WRITE);
        QCOMPARE(Set(key, "Conta_ID", "4"), ERROR_SUCCESS);
        QCOMPARE(Set(key, "Nova", "x \"y\" \\z"), ERROR_SUCCESS);
        CurrentRegistry().RegCloseKey(key);
        const HKEY shared = Open(HKEY_LOCAL_MACHINE, "software\\fortevia\\SHARED", KEY_WRITE);
        QCOMPARE(Set(shared, "Acima", "Ação"), ERROR_SUCCESS);
        CurrentRegistry().RegCloseKey(shared);
        QCOMPARE(QString::fromUtf8(sandbox.regFileBytes(kMachine)),
                 RegText({"Windows Registry Editor Version 5.00",
                          "; kept when the file is written again", "",
                          "[SOFTWARE\\Fortevia\\Contabilidade]", "\"Conta_ID\"=\"4\"",
                          "\"Numero\"=dword:0000002a", "\"Nova\"=\"x \\\"y\\\" \\\\z\"", "",
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Shared]",
                          "\"Templates\"=\"/srv/modelos\"", "\"Acima\"=\"Ação\""}));
    }
};

QTEST_MAIN(TestRegistryBackend)
#include "tst_registrybackend.moc"
