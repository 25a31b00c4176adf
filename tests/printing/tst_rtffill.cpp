// RTF values read back as typed, the repeated row section and the report file (links, open
// files, modes, a write stopped halfway).
#include "SettingsSandbox.h"
#include "common/TextHelpers.h"
#include "platform/Ansi.h"
#include "printing/Placeholders.h"
#include "printing/RtfFill.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <array>
#include <span>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orla;
using namespace orla::test;

namespace {

// What a reader shows for RTF body text. Anything else (a raw brace, a bare
// backslash, a non-ASCII character, \u for a code-page character) shows up
// as a marker in the result.
QString DecodeRtf(const QString& rtf) {
    static const QRegularExpression token(
        R"(\\([\\{}])|\\'([0-9a-f]{2})|\\u(-?\d+)\?|\\(par|tab)(?![a-z0-9-]) ?|([ -\[\]-z|~]))");
    QString out;
    qsizetype at = 0;
    for (auto it = token.globalMatch(rtf); it.hasNext() && at < rtf.size();) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedStart() != at)
            break;
        at = m.capturedEnd();
        const QChar unicode(char16_t(m.captured(3).toShort()));
        if (m.hasCaptured(3) && ToAnsi(unicode) != "?")
            return "<\\u for a code-page character>";
        out += m.hasCaptured(2)         ? FromAnsi(QByteArray::fromHex(m.captured(2).toLatin1()))
               : m.hasCaptured(3)       ? QString(unicode)
               : m.captured(4) == "par" ? QString("\n")
               : m.captured(4) == "tab" ? QString("\t")
                                        : m.captured(1) + m.captured(5);
    }
    return at == rtf.size() ? out : "<not RTF text at: " + rtf.mid(at) + ">";
}

}  // namespace

class TestRtfFill : public QObject {
    Q_OBJECT

  private slots:
    void valuesReadBackAsTyped() {
        // Each text, what it shows with the three-space rule and without it (null: the text).
        const char* const cases[][3] = {
            {"C:\\dir {a} }{ \\par", nullptr, nullptr},
            {"Conceição € 1.250,00 ºª Łódź ✓ 가", nullptr, nullptr},
            {" a  b ", nullptr, nullptr},
            {"a\r\nb\nc\rd\te", "a\nb\nc\nd\te", "a\nb\nc\nd\te"},
            {"", "   ", ""},
            {"  ", "   ", "  "},
        };
        for (const auto& c : cases) {
            QCOMPARE(DecodeRtf(StringRTF(c[0])), QString(c[1] ? c[1] : c[0]));
            QCOMPARE(DecodeRtf(StringRTFSemEspacos(c[0])), QString(c[2] ? c[2] : c[0]));
        }
    }

    void rowsWrittenAsBytes_data() {
        QTest::addColumn<QString>("text");
        int row = 0;
        for (const char* text :
             {"C:\\dir {a} }{ \\par", "Conceição € ‰ ºª", "Łódź ✓ \U0001F600", "a\r\nb\n\rc\td",
              "\x01\x7f\u0081\u009d", "", "   ", " a ", "v<saldo>"})
            QTest::addRow("%d", ++row) << QString::fromUtf8(text);
        QTest::addRow("nul") << QString(QChar(0)) + "x";
    }
    void rowsWrittenAsBytes() {
        // Written straight as bytes, rows come out in order as StringRTF makes each text by hand,
        // in one pass: a text holding a placeholder is not filled again.
        QFETCH(QString, text);
        // Header placeholders first: "<data>" also occurs inside "<<data>>".
        const QString body = SubstituirTexto(
            "{\\rtf1 <<data>> \\trowd a\\cell\\row \\trowd Cr\u00e9dito \u20ac <DATA>\\cell "
            "<saldo>\\cell\\row } ",
            "<<data>>", "6 dez \u2013 2024");
        RowSection section(body, {"<nada>", "<data>", "<saldo>"});
        section.setPlaceholders({"<data>", "<saldo>"});
        const std::array<std::array<QString, 2>, 2> rows{{{text, "x"}, {text, text}}};
        // Every byte from 0x80 up, the template's and the inserted text's, as \'hh.
        QString expected = "{\\rtf1 6 dez \\'96 2024 \\trowd a\\cell";
        for (const auto& [data, saldo] : rows)
            expected +=
                ReplacePlaceholders("\\row \\trowd Cr\\'e9dito \\'80 <DATA>\\cell <saldo>\\cell",
                                    {{"<data>", StringRTF(data)}, {"<saldo>", StringRTF(saldo)}});
        QTemporaryDir dir;
        WriteAll(dir.filePath("b.doc"), QByteArray(4096, 'x'));
        section.writeAnsi(dir.filePath("b.doc"), QStringView(body).left(section.start()),
                          QStringView(body).mid(section.end()), 2,
                          [&](qsizetype r) { return std::span<const QString>(rows[size_t(r)]); });
        QCOMPARE(ReadAll(dir.filePath("b.doc")), (expected + "\\row } \r\n").toLatin1());
    }

    void reportFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Extrato_Conta.doc");
        WriteAll(path, QByteArray(4096, 'x'));
        const QString body = "{\\rtf1 Conceição € }";
        // Private whatever the umask; where the user chose, what the umask leaves.
        const mode_t umask = ::umask(0);
        WriteReportFile(path, body);
        WriteReportFile(dir.filePath("escolhido.doc"), body, Placement::Chosen);
        ::umask(umask);
        const QString written = "{\\rtf1 Concei\\'e7\\'e3o \\'80 }\r\n";
        QCOMPARE(ReadAll(path), written.toLatin1());
        QCOMPARE(ModeOf(path), 0600u);
        QCOMPARE(ModeOf(dir.filePath("escolhido.doc")), 0666u);
        // Open in the word processor: its lock file stands beside it.
        WriteAll(dir.filePath(".~lock.Extrato_Conta.doc#"), "ana,host");
        const auto open = Try([&] { WriteReportFile(path, "{\\rtf1 novo}"); });
        QVERIFY(open && open->number == 70);
        QCOMPARE(ReadTemplateFile(path), written);
        // Never through a link, for writing or reading.
        const QString link = dir.filePath("ligado.doc");
        QVERIFY(QFile::link(path, link));
        QVERIFY(Try([&] { WriteReportFile(link, "{\\rtf1 x}"); })->description.contains("link"));
        QVERIFY(Try([&] { ReadTemplateFile(link); }));
        QCOMPARE(ReadTemplateFile(path), written);
        QCOMPARE(Try([&] { ReadTemplateFile(dir.filePath("nenhum.doc")); })->number, 53L);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 4);
        // A folder that takes no new file is named as such, not taken for a report held open.
        const QString closed = dir.filePath("só leitura");
        QVERIFY(QDir().mkdir(closed));
        const auto reopen = qScopeGuard([&] { SetReadOnly(closed, false); });
        if (!SetReadOnly(closed, true))
            QSKIP("this machine cannot make a folder its root user may not write");
        const auto refused = Try([&] { WriteReportFile(closed + "/Extrato_Conta.doc", body); });
        QVERIFY(refused && refused->number != 70 && refused->description.contains(closed));
    }

    // A lock file beside the report counts as the report held open unless it is plainly stale:
    // this user's, on this machine, and no LibreOffice of the user runs with its profile.
    void officeLocks_data() {
        QTest::addColumn<QString>("lock");    // %1 this user, %2 this machine, %3 the profile's URL
        QTest::addColumn<bool>("ownerRuns");  // a LibreOffice of this user with that profile
        QTest::addColumn<bool>("held");
        const QString line = ",%1,%2,06.12.2026 07:19,%3;";
        QTest::newRow("owner gone: removed") << line << false << false;
        QTest::newRow("owner running") << line << true << true;
        QTest::newRow("another machine's") << ",%1,%2-outra,06.12.2026 07:19,%3;" << false << true;
        QTest::newRow("a line cut short") << ",%1,%2;%3" << false << true;
    }
    void officeLocks() {
        QFETCH(QString, lock);
        QFETCH(bool, ownerRuns);
        QFETCH(bool, held);
        QTemporaryDir dir;
        const QString path = dir.filePath("Extrato_Conta.doc");
        const QString lockPath = dir.filePath(".~lock.Extrato_Conta.doc#");
        const QString profile =
            QUrl::fromLocalFile(dir.filePath("perfil de teste")).toString(QUrl::FullyEncoded);
        const QString user = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
        WriteAll(lockPath, lock.arg(user, QSysInfo::machineHostName(), profile).toUtf8());
        QProcess owner;  // LibreOffice's process: a program of that name with that profile
        if (ownerRuns) {
            WriteAll(dir.filePath("soffice.bin"), "#!/bin/sh\nread line\n");
            QFile::setPermissions(dir.filePath("soffice.bin"), QFile::ReadOwner | QFile::ExeOwner);
            owner.start(dir.filePath("soffice.bin"), {"-env:UserInstallation=" + profile});
            QVERIFY(owner.waitForStarted());
        }
        const auto refused = Try([&] { WriteReportFile(path, "{\\rtf1 novo}"); });
        QCOMPARE(refused && refused->number == 70, held);
        QCOMPARE(QFileInfo::exists(path), !held);
        QCOMPARE(QFileInfo::exists(lockPath), held);
        owner.kill();
        owner.waitForFinished();
    }

    // A write stopped halfway (a cancellation thrown by the progress) leaves the old file and no
    // temporary beside it.
    void stoppedReportLeavesTheOldOne() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Extrato_Conta.doc");
        WriteAll(path, "{\\rtf1 velho\\par}\r\n");
        const QString body = "{\\rtf1 \\trowd a\\cell\\row \\trowd <v>\\cell\\row }";
        RowSection section(body, {"<v>"});
        section.setPlaceholders({"<v>"});
        const QString value(200, 'v');
        qsizetype told = 0;
        const auto stopped = Try([&] {
            section.writeAnsi(
                path, QStringView(body).left(section.start()), QStringView(body).mid(section.end()),
                100000, [&](qsizetype) { return std::span<const QString>(&value, 1); },
                Placement::Private,
                [&](qsizetype written) {
                    told = written;
                    throw OrlaError(err::kUserInterrupt, "User interrupt occurred");
                });
        });
        QVERIFY(stopped && stopped->number == err::kUserInterrupt);
        QVERIFY(told > 0 && told < 100000);
        QCOMPARE(ReadAll(path), "{\\rtf1 velho\\par}\r\n");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Extrato_Conta.doc"});
    }
};

QTEST_GUILESS_MAIN(TestRtfFill)
#include "tst_rtffill.moc"
