// The host program's credentials: no user or password of its own, passwords
// never on the command line nor in its output, and no wait for input that was
// not asked for.
#include "DemoFixture.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace orla::test;

namespace {

QStringList HostArguments(const DemoFixture& demo, const QTemporaryDir& out) {
    return {"--database", demo.path(), "--login-bd", "orla", "--csv", out.filePath("e.csv")};
}

}  // namespace

class TestHost : public QObject {
    Q_OBJECT

  private slots:
    void init() {  // the host inherits them
        qunsetenv("ORLA_SENHA");
        qputenv("ORLA_SENHA_BD", "orla-demo");
    }
    void cleanup() {
        qunsetenv("ORLA_SENHA");
        qunsetenv("ORLA_SENHA_BD");
    }

    void passwordsComeFromTheEnvironmentOrStandardInput_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("senha");  // ORLA_SENHA, unset when null
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        const QStringList rui{"--utilizador", "rui"};
        QTest::newRow("environment")
            << rui << QByteArray("rui-2024") << QByteArray() << 0 << "como rui.";
        QTest::newRow("standard input") << rui + QStringList{"--senha-stdin"} << QByteArray()
                                        << QByteArray("rui-2024\norla-demo\n") << 0 << "como rui.";
        // Standard input stays open: a host that read it here would never end.
        QTest::newRow("none and no terminal")
            << rui << QByteArray() << QByteArray() << 1 << "Sem senha do utilizador rui";
        QTest::newRow("no user") << QStringList() << QByteArray() << QByteArray() << 1
                                 << "sem utilizador.";
        QTest::newRow("a password value")
            << rui + QStringList{"--senha", "x"} << QByteArray() << QByteArray() << 2 << "'senha'";
    }
    void passwordsComeFromTheEnvironmentOrStandardInput() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, senha);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        DemoFixture demo(false);
        QTemporaryDir out;
        if (!input.isEmpty())  // that row gives both passwords on standard input
            qunsetenv("ORLA_SENHA_BD");
        if (!senha.isNull())
            qputenv("ORLA_SENHA", senha);
        QProcess host;
        host.start(ORLA_HOST_BINARY, HostArguments(demo, out) + arguments);
        host.write(input);
        QVERIFY(host.waitForFinished(60000));
        const QString output =
            QString::fromUtf8(host.readAllStandardOutput() + host.readAllStandardError());
        QVERIFY2(output.contains(said), qPrintable(output));
        QCOMPARE(host.exitCode(), exitCode);
        QCOMPARE(QFile::exists(out.filePath("e.csv")), exitCode == 0);
        for (const char* secret : {"2024", "orla-demo"})
            QVERIFY2(!output.contains(secret), qPrintable(output));
    }

    void theTerminalIsAskedWithoutEcho() {
        DemoFixture demo(false);
        QTemporaryDir out;
        const QStringList command =
            QStringList{ORLA_HOST_BINARY, "--utilizador", "rui"} + HostArguments(demo, out);
        QProcess host;  // script(1) gives the host a terminal of its own
        host.start("script", {"-qec", "'" + command.join("' '") + "'", "/dev/null"});
        QByteArray output;
        while (!output.contains("Senha do utilizador rui: ") && host.waitForReadyRead(30000))
            output += host.readAll();
        host.write("rui-2024\n");
        QVERIFY(host.waitForFinished(60000));
        output += host.readAll();
        QVERIFY2(output.contains("como rui."), output.constData());
        QVERIFY2(!output.contains("rui-2024"), output.constData());
    }
};

QTEST_MAIN(TestHost)
#include "tst_host.moc"
