// The host program: its credentials (no user or password of its own,
// passwords never on the command line nor in its output, no wait for input
// that was not asked for), its arguments and the files it writes headless.
#include "CamtFile.h"
#include "DemoFixture.h"
#include "SettingsSandbox.h"
#include "TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace orla::test;

namespace {

QString Day(int offset, const char* format = "dd-MM-yyyy") {
    return QDate::currentDate().addDays(offset).toString(format);
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

    // Arguments starting with "@" name a file in the output folder, where
    // "@lixo.db" is a file that is not a database, and "%e.xml" the bank's statement made of
    // `bank` (its IBAN, then its entries: "+610.00@-5" money in five days ago). Without "--csv"
    // the files go to the user's private temporary folder, the output folder here.
    void run_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("senha");  // ORLA_SENHA, unset when null
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");  // its parts between "|"
        // Written to the output folder; "->name": a link to another file planted there first.
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("bank");
        // Then, without "--aplicar": what the run says, a query and its value.
        QTest::addColumn<QStringList>("then");
        const QStringList rui{"--utilizador", "rui"};
        const QByteArray pw("rui-2024");
        const QStringList none;
        QTest::newRow("environment: statement, image, report and its PDF in the output folder")
            << rui << pw << QByteArray() << 0
            << "PDF: " << QStringList{"extrato.csv", "extrato.doc", "extrato.pdf", "extrato.png"}
            << none << none;
        QTest::newRow("a named output folder not there yet: made, the owner's alone")
            << rui + QStringList{"--pasta-saida", "@nova/pasta"} << pw << QByteArray() << 0
            << "PDF: " << QStringList{"extrato.csv", "extrato.doc", "extrato.pdf", "extrato.png"}
            << none << none;
        QTest::newRow("a link at the PDF's name: nothing written")
            << rui << pw << QByteArray() << 1 << "ligação simbólica" << QStringList{"->extrato.pdf"}
            << none << none;
        QTest::newRow("standard input, the statement asked for")
            << rui + QStringList{"--senha-stdin", "--csv", "@e.csv"} << QByteArray()
            << QByteArray("rui-2024\norla-demo\n") << 0 << "Extrato: " << QStringList{"e.csv"}
            << none << none;
        // Standard input stays open: a host that read it here would never end.
        QTest::newRow("none and no terminal")
            << rui << QByteArray() << QByteArray() << 1 << "Sem senha do utilizador rui" << none
            << none << none;
        QTest::newRow("no user") << none << QByteArray() << QByteArray() << 1 << "sem utilizador."
                                 << none << none << none;
        QTest::newRow("a password value") << rui + QStringList{"--senha", "x"} << QByteArray()
                                          << QByteArray() << 2 << "'senha'" << none << none << none;
        const struct {
            const char *row, *option, *value, *said;
        } refused[] = {
            {"unknown account", "--conta", "999", "A conta 999"},
            {"malformed start", "--inicio", "2024-01-31", "Data de início"},
            {"unknown method", "--modo", "77", "modo de pagamento 77"},
            {"unreadable database", "--database", "@lixo.db", "Não foi possível ligar"},
        };
        for (const auto& r : refused)
            QTest::newRow(r.row) << rui + QStringList{r.option, r.value} << pw << QByteArray() << -1
                                 << QString::fromUtf8(r.said) << none << none << none;
        // Account 1 has receipt 13 (610.00, seven days ago) and supplier receipt 2 (89.97,
        // 27 days ago) open; nothing else of these amounts.
        const QString iban = "PT50 0033 0000 0001 2345 6789 5";
        const QStringList importar = rui + QStringList{"--conta", "1", "--importar", "%e.xml"};
        const QString receipt13 = "↔ " + Day(-7) + ", RC LX" + Day(-7, "yyyy") + "/13";
        QTest::newRow("import: every line paired")
            << importar << pw << QByteArray() << 0
            << "Pares propostos: 2|Linha 1, " + Day(-5) + ", € 610|" + receipt13 + "|Linha 2, " +
                   Day(-27) + ", € -89|↔ " + Day(-27) + ", RF " + Day(-27, "yyyy") + "/2|Linhas " +
                   "do extrato sem par: 0|Saldo conciliado a " + Day(-5)
            << none << QStringList{iban, "+610.00@-5", "-89.97@-27"} << none;
        QTest::newRow("import: a line without a movement")
            << importar << pw << QByteArray() << 1
            << "Pares propostos: 1|Linhas do extrato sem par: 1\n  Linha 2, " + Day(-7) + ", € 3"
            << none << QStringList{iban, "+610.00@-7", "+3.21@-7"} << none;
        QTest::newRow("import and reconcile; the same file again finds it done")
            << importar + QStringList{"--aplicar"} << pw << QByteArray() << 0
            << "Conciliados: 1\n  Linha 1: " + Day(-7) + ", RC LX|com data do banco " + Day(-5)
            << none << QStringList{iban, "+610.00@-5"}
            << QStringList{"Pares propostos: 0|Já conciliadas: 1\n  Linha 1, " + Day(-5),
                           "SELECT data_debito FROM tbDocumentos_Recibos WHERE recibo_id = 13",
                           Day(-5, "yyyy-MM-dd 00:00:00")};
    }
    void run() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, senha);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);  // -1: any failure
        QFETCH(QString, said);
        QFETCH(QStringList, files);
        QFETCH(QStringList, bank);
        QFETCH(QStringList, then);
        DemoFixture demo(false);
        ScopedTempFolder out;
        QTemporaryDir work;
        QFile notADatabase(work.filePath("lixo.db"));
        QVERIFY(notADatabase.open(QIODevice::WriteOnly));
        notADatabase.write(QByteArray(4096, 'x'));
        notADatabase.close();
        for (QString& argument : arguments) {
            if (argument.startsWith('@'))
                argument = argument == "@lixo.db" ? work.filePath("lixo.db")
                                                  : out.filePath(argument.mid(1));
            else if (argument.startsWith('%'))
                argument = work.filePath(argument.mid(1));
        }
        QStringList entries;
        for (const QString& entry : bank.mid(1))
            entries << entry.section('@', 0, 0) + '@' +
                           Day(entry.section('@', 1).toInt(), "yyyy-MM-dd");
        QVERIFY(bank.isEmpty() || WriteCamtFile(work.filePath("e.xml"), bank.first(), entries));
        if (!input.isEmpty())  // that row gives both passwords on standard input
            qunsetenv("ORLA_SENHA_BD");
        if (!senha.isNull())
            qputenv("ORLA_SENHA", senha);
        QVERIFY(QDir().mkpath(out.path()));
        for (QString& file : files) {
            if (file.startsWith("->"))
                QVERIFY(QFile::link(work.filePath("lixo.db"), out.filePath(file.remove(0, 2))));
        }
        QProcess host;
        const auto runHost = [&](const QStringList& given) {
            const mode_t umask = ::umask(0);
            host.start(ORLA_HOST_BINARY,
                       QStringList{"--database", demo.path(), "--login-bd", "orla"} + given);
            ::umask(umask);
            host.write(input);
            if (!host.waitForFinished(240000))  // the PDF's conversion takes a while
                return QStringLiteral("(still running)");
            return QString::fromUtf8(host.readAllStandardOutput() + host.readAllStandardError());
        };
        const QString output = runHost(arguments);
        for (const QString& part : said.split('|'))
            QVERIFY2(output.contains(part), qPrintable(output));
        if (exitCode < 0)
            QVERIFY(host.exitCode() > 0);
        else
            QCOMPARE(host.exitCode(), exitCode);
        if (!then.isEmpty()) {
            QCOMPARE(QueryValue(demo.path(), then[1]).toString(), then[2]);
            QStringList second = arguments;
            second.removeAll("--aplicar");
            const QString again = runHost(second);
            for (const QString& part : then[0].split('|'))
                QVERIFY2(again.contains(part), qPrintable(again));
            QCOMPARE(host.exitCode(), 0);
        }
        // Where --pasta-saida names, else in the output folder.
        const qsizetype named = arguments.indexOf("--pasta-saida");
        const QString folder = named < 0 ? out.path() : arguments[named + 1];
        if (named >= 0)
            for (QString made = folder; made != out.path(); made = QFileInfo(made).path())
                QCOMPARE(ModeOf(made), 0700u);
        QCOMPARE(QDir(folder).entryList(QDir::Files), files);
        QCOMPARE(ReadAll(work.filePath("lixo.db")), QByteArray(4096, 'x'));
        // Where the user chose, the umask's mode; in the private folder, the owner's alone.
        const bool chosen = arguments.contains("--csv") || named >= 0;
        for (const QString& file : files)
            QVERIFY(QFileInfo(folder + '/' + file).isSymLink() ||
                    ModeOf(folder + '/' + file) == (chosen ? 0666u : 0600u));
        if (files.contains("extrato.png"))
            QVERIFY(QFileInfo(folder + "/extrato.png").size() > 1000);
        // Qt's notes on the platform (no XDG_RUNTIME_DIR here) are not the user's business.
        for (const char* chatter : {"XDG_RUNTIME_DIR", "propagateSizeHints"})
            QVERIFY2(!output.contains(chatter), qPrintable(output));
        for (const char* secret : {"rui-2024", "orla-demo"})
            QVERIFY2(!output.contains(secret), qPrintable(output));
    }

    void theTerminalIsAskedWithoutEcho() {
        DemoFixture demo(false);
        QTemporaryDir out;
        const QStringList command{ORLA_HOST_BINARY, "--utilizador", "rui",
                                  "--database",     demo.path(),    "--login-bd",
                                  "orla",           "--csv",        out.filePath("e.csv")};
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
