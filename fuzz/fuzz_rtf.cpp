// Property: StringRTF and the row-section filler give balanced RTF whose text is the input's:
// no "{", "}" or "\" of the input stands unescaped (StringRTF's output holds no group and no
// control word but \par, \tab and \u; the filled file's braces balance), and the text read
// back (\'hh, \uN?, \\, \{, \}, \par, \tab undone) equals the input read through Windows-1252,
// its line breaks as one \n each, NULs left out, and an empty or all-blank text as three
// blanks.
#include "platform/Ansi.h"
#include "printing/RtfFill.h"

#include "FuzzCheck.h"

#include <QFile>
#include <QStringList>

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

namespace {

// The RTF read back: the text of each cell (ended by \cell), then the text after the last one.
struct ReadBack {
    QStringList cells;
    QString text;
    int depth = 0;        // open groups
    bool groups = false;  // a brace opened or closed a group
    bool otherWords = false;
};

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

ReadBack Read(const QByteArray& rtf) {
    ReadBack out;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        FUZZ_CHECK(uchar(c) < 0x80);  // RTF written in ASCII only
        if (c == '{' || c == '}') {
            out.depth += c == '{' ? 1 : -1;
            FUZZ_CHECK(out.depth >= 0);
            out.groups = true;
            continue;
        }
        if (c == '\r' || c == '\n')
            continue;  // line ends of the file are no text
        if (c != '\\') {
            out.text += QLatin1Char(c);
            continue;
        }
        FUZZ_CHECK(++i < rtf.size());
        const char next = rtf[i];
        if (next == '\\' || next == '{' || next == '}') {
            out.text += QLatin1Char(next);
        } else if (next == '\'') {
            FUZZ_CHECK(i + 2 < rtf.size());
            bool ok = false;
            const int byte = rtf.mid(i + 1, 2).toInt(&ok, 16);
            FUZZ_CHECK(ok);
            out.text += orla::FromAnsi(QByteArray(1, char(byte)));
            i += 2;
        } else {
            FUZZ_CHECK(IsAsciiLetter(next));
            qsizetype end = i;
            while (end < rtf.size() && IsAsciiLetter(rtf[end]))
                ++end;
            const QByteArray word = rtf.mid(i, end - i);
            qsizetype digits = end;
            if (digits < rtf.size() && rtf[digits] == '-')
                ++digits;
            while (digits < rtf.size() && rtf[digits] >= '0' && rtf[digits] <= '9')
                ++digits;
            const int parameter = rtf.mid(end, digits - end).toInt();
            i = digits < rtf.size() && rtf[digits] == ' ' ? digits : digits - 1;
            if (word == "par") {
                out.text += QLatin1Char('\n');
            } else if (word == "tab") {
                out.text += QLatin1Char('\t');
            } else if (word == "u") {
                out.text += QChar(char16_t(qint16(parameter)));
                FUZZ_CHECK(i + 1 < rtf.size() && rtf[i + 1] == '?');  // its stand-in, skipped
                ++i;
            } else if (word == "cell") {
                out.cells.append(out.text);
                out.text.clear();
                out.otherWords = true;
            } else {
                out.otherWords = true;
            }
        }
    }
    return out;
}

// The text an RTF reader shows for `input`.
QString Shown(const QString& input) {
    QString expected;
    for (qsizetype i = 0; i < input.size(); ++i) {
        const QChar c = input[i];
        if (c == u'\r' && i + 1 < input.size() && input[i + 1] == u'\n')
            continue;  // CR LF is one break
        if (c == u'\0')
            continue;
        if (c == u'\r') {
            expected += QLatin1Char('\n');
            continue;
        }
        // A character of the code page reads back as its byte decodes; any other as itself.
        const QByteArray byte = orla::ToAnsi(QString(c));
        const bool inCodePage = byte != "?" || c == u'?';
        expected += inCodePage && !c.isSurrogate() ? orla::FromAnsi(byte) : QString(c);
    }
    bool blank = true;
    for (QChar c : input)
        blank = blank && c == u' ';
    return blank ? QStringLiteral("   ") : expected;
}

// The template: a heading row, then the row section with two placeholders, then a closing row.
const QString kBody = QStringLiteral(
    "{\\rtf1\\ansi\\trowd\\trhdr\\cellx1000 T\\'edtulo\\cell\\row"
    "\\trowd\\cellx1000\\cellx2000\\intbl <a>\\cell <B>\\cell\\row}");

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<QString> texts;
    const int rows = input.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < 2 * rows; ++i)
        texts.push_back(QString::fromStdString(input.ConsumeRandomLengthString(100)));
    const QString whole = QString::fromStdString(input.ConsumeRemainingBytesAsString());

    const ReadBack single = Read(orla::StringRTF(whole).toLatin1());
    FUZZ_CHECK(!single.groups && !single.otherWords && single.cells.isEmpty());
    FUZZ_CHECK(single.text == Shown(whole));

    orla::RowSection section(kBody, {QStringLiteral("<A>")});
    FUZZ_CHECK(section.found());
    section.setPlaceholders({QStringLiteral("<a>"), QStringLiteral("<b>")});
    const QString path = orla::fuzz::PrivateFolder() + QStringLiteral("/rows.doc");
    section.writeAnsi(
        path, QStringView(kBody).left(section.start()), QStringView(kBody).mid(section.end()), rows,
        [&](qsizetype r) { return std::span<const QString>(&texts[size_t(2 * r)], 2); });
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    const ReadBack filled = Read(file.readAll());
    FUZZ_CHECK(filled.depth == 0);
    QStringList expected{QStringLiteral("Título")};
    for (const QString& text : texts)
        expected.append(Shown(text));
    FUZZ_CHECK(filled.cells == expected);
    FUZZ_CHECK(filled.text.isEmpty());
    return 0;
}
