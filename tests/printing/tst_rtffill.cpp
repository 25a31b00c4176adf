// RTF values read back as typed, the repeated row section, the report file
// (links and open files) and the failure rule of the builders.
#include "Recorders.h"
#include "SettingsSandbox.h"
#include "common/Ansi.h"
#include "common/TextHelpers.h"
#include "printing/RtfFill.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

// What a reader shows for RTF body text; unescaped braces or unknown
// control words fail the test.
QString DecodeRtf(const QString& rtf) {
    QString out;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const QChar c = rtf.at(i);
        if (c == '{' || c == '}' || c.unicode() > 0x7E) {
            QTest::qFail("raw brace or non-ASCII character in RTF text", __FILE__, __LINE__);
            return {};
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        const QChar next = rtf.at(++i);
        if (next == '\\' || next == '{' || next == '}') {
            out += next;
        } else if (next == '\'') {
            out += FromAnsi(QByteArray::fromHex(rtf.mid(i + 1, 2).toLatin1()));
            i += 2;
        } else {
            qsizetype end = i;
            while (end < rtf.size() &&
                   (rtf.at(end).isLetter() || rtf.at(end) == '-' || rtf.at(end).isDigit()))
                ++end;
            const QString word = rtf.mid(i, end - i);
            i = end < rtf.size() && rtf.at(end) == ' ' ? end : end - 1;
            if (word == "par")
                out += '\n';
            else if (word == "tab")
                out += '\t';
            else if (word.startsWith('u') && word.size() > 1) {
                out += QChar(char16_t(word.mid(1).toShort()));
                i = end;  // the "?" stand-in
            } else {
                QTest::qFail(qPrintable("unknown control word " + word), __FILE__, __LINE__);
                return {};
            }
        }
    }
    return out;
}

const QString kTemplate =
    "{\\rtf1 <<data>> \\trowd Data\\cell Saldo\\cell\\row "
    "\\trowd <DATA>\\cell <saldo>\\cell\\row }";

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

}  // namespace

class TestRtfFill : public QObject {
    Q_OBJECT

  private slots:
    void valuesReadBackAsTyped_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("shownWithoutRule");
        const QString hostile = "C:\\dir {a} }{ \\par";
        QTest::newRow("backslash and braces") << hostile << hostile << hostile;
        QTest::newRow("accents and euro") << "Conceição € 1.250,00 ºª"
                                          << "Conceição € 1.250,00 ºª"
                                          << "Conceição € 1.250,00 ºª";
        QTest::newRow("outside the code page") << "Łódź ✓"
                                               << "Łódź ✓"
                                               << "Łódź ✓";
        QTest::newRow("line breaks and tab") << "a\r\nb\nc\rd\te"
                                             << "a\nb\nc\nd\te"
                                             << "a\nb\nc\nd\te";
        QTest::newRow("empty") << ""
                               << "   "
                               << "";
        QTest::newRow("only spaces") << "  "
                                     << "   "
                                     << "  ";
        QTest::newRow("spaces kept inside") << " a  b "
                                            << " a  b "
                                            << " a  b ";
    }
    void valuesReadBackAsTyped() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(QString, shownWithoutRule);
        QCOMPARE(DecodeRtf(StringRTF(text)), shown);
        QCOMPARE(DecodeRtf(StringRTFSemEspacos(text)), shownWithoutRule);
    }

    void rowsRepeatInOrder_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("onePass");
        for (const bool onePass : {false, true}) {
            const char* way = onePass ? "one pass" : "per placeholder";
            QTest::addRow("none, %s", way) << 0 << onePass;
            QTest::addRow("one, %s", way) << 1 << onePass;
            QTest::addRow("three, %s", way) << 3 << onePass;
        }
    }
    void rowsRepeatInOrder() {
        QFETCH(int, rows);
        QFETCH(bool, onePass);
        // Header placeholders first: "<data>" also occurs inside "<<data>>".
        const QString body = SubstituirTexto(kTemplate, "<<data>>", StringRTF("06 dezembro 2026"));
        RowSection section(body, {"<nada>", "<data>", "<saldo>"});
        QVERIFY(section.found());
        QVERIFY(section.rowTemplate().startsWith("\\row"));
        section.setPlaceholders({"<data>", "<saldo>"});
        QStringList cells;
        for (int i = 1; i <= rows; ++i) {
            // In one pass a value holding a later placeholder is not filled again.
            const QString data =
                StringRTF(onePass ? QString("v%1<saldo>").arg(i) : QString("v%1").arg(i));
            const QString saldo = StringRTF(QString("s%1").arg(i));
            cells << data + "\\cell " + saldo + "\\cell";
            if (onePass)
                section.addValues({data, saldo});
            else
                section.add(SubstituirTexto(SubstituirTexto(section.rowTemplate(), "<data>", data),
                                            "<saldo>", saldo));
        }
        QCOMPARE(section.count(), rows);
        const QString filled = section.apply(body);
        if (rows == 0) {
            QCOMPARE(filled, body);
            return;
        }
        QCOMPARE(filled.count("\\row"), rows + 1);
        QVERIFY(filled.endsWith("\\row }"));
        QVERIFY(!filled.contains("<DATA>", Qt::CaseInsensitive));
        qsizetype at = filled.indexOf("Saldo\\cell");
        for (const QString& cell : cells) {
            const qsizetype next = filled.indexOf(cell);
            QVERIFY2(next > at, qPrintable(filled));
            at = next;
        }
    }

    void noRowSection_data() {
        QTest::addColumn<QString>("body");
        QTest::newRow("anchor missing")
            << "{\\rtf1 \\trowd a\\cell\\row \\trowd <saldo>\\cell\\row }";
        QTest::newRow("anchor in the first row") << "{\\rtf1 \\trowd <data>\\cell\\row }";
        QTest::newRow("anchor after the last row") << "{\\rtf1 \\trowd a\\cell\\row <data> }";
    }
    void noRowSection() {
        QFETCH(QString, body);
        RowSection section(body, {"<data>"});
        QVERIFY(!section.found());
        section.add("never placed");
        QCOMPARE(section.apply(body), body);
    }

    void reportFileIsWrittenAsSingleByteText() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Extrato_Conta.doc");
        WriteAll(path, QByteArray(4096, 'x'));
        const QString body = "{\\rtf1 Conceição € }";
        WriteReportFile(path, body);
        const QByteArray bytes = FileBytes(path);
        QVERIFY(bytes.endsWith("}\r\n"));
        QCOMPARE(FromAnsi(bytes), body + "\r\n");
        QCOMPARE(bytes.size(), body.size() + 2);
        QCOMPARE(ReadTemplateFile(path), body + "\r\n");
    }

    void filesAreNeverReachedThroughLinks() {
        QTemporaryDir dir;
        const QString target = dir.filePath("alheio.txt");
        WriteAll(target, "conteudo alheio");
        const QString link = dir.filePath("Extrato_Conta.doc");
        QVERIFY(QFile::link(target, link));
        const auto written = Try([&] { WriteReportFile(link, "{\\rtf1 x}"); });
        QVERIFY(written && written->number != 0);
        const auto read = Try([&] { ReadTemplateFile(link); });
        QVERIFY(read && read->number != 0);
        QCOMPARE(FileBytes(target), QByteArray("conteudo alheio"));
        const auto missing = Try([&] { ReadTemplateFile(dir.filePath("nenhum.doc")); });
        QVERIFY(missing && missing->number == 53);
    }

    void fileOpenInTheWordProcessorGives70() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Extrato_Conta.doc");
        WriteAll(path, "anterior");
        WriteAll(dir.filePath(".~lock.Extrato_Conta.doc#"), "user,host,...");
        const auto error = Try([&] { WriteReportFile(path, "{\\rtf1 novo}"); });
        QVERIFY(error);
        QCOMPARE(error->number, 70L);
        QCOMPARE(FileBytes(path), QByteArray("anterior"));
    }

    void buildFailures_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("prompts");
        QTest::addColumn<int>("reports");
        QTest::newRow("file held open") << 70 << 1 << 0;
        QTest::newRow("connection closed") << 3709 << 0 << 0;
        QTest::newRow("no error number") << 0 << 0 << 0;
        QTest::newRow("any other") << 53 << 0 << 1;
    }
    void buildFailures() {
        QFETCH(int, number);
        QFETCH(int, prompts);
        QFETCH(int, reports);
        ScopedServicesRecorder services;
        ScopedPrompts scripted;
        ReportBuildFailure(OrlaError(number, "falhou"), "frmImpressoes");
        QCOMPARE(scripted.prompts().calls.size(), prompts);
        QCOMPARE(services.log().reports.size(), reports);
        if (prompts) {
            QCOMPARE(scripted.prompts().calls[0].title, QString("Impressões"));
            QVERIFY(scripted.prompts().calls[0].text.startsWith("Tem uma impressão aberta."));
        }
        if (reports)
            QCOMPARE(services.log().reports[0].texts.mid(2, 2),
                     QStringList({"frmImpressoes", "DoReport"}));
    }
};

QTEST_GUILESS_MAIN(TestRtfFill)
#include "tst_rtffill.moc"
