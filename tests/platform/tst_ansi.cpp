// Windows-1252, the system's ANSI code page: every byte decodes and encodes
// back to itself; characters outside it become one "?" each.
#include "platform/Ansi.h"

#include <QTest>

using namespace orla;

class TestAnsi : public QObject {
    Q_OBJECT

  private slots:
    void everyByteRoundTrips() {
        QByteArray bytes;
        for (int b = 0; b < 256; ++b)
            bytes.append(char(b));
        QCOMPARE(ToAnsi(FromAnsi(bytes)), bytes);
        QCOMPARE(FromAnsi("\x80\x9c\x81"), QString::fromUtf16(u"€œ\u0081"));
    }

    void charactersOutsideTheCodePage() {
        const QList<QPair<QString, QByteArray>> cases{
            {"Ação €", "A\xe7\xe3o \x80"},
            {"a中文", "a??"},
            {QString::fromUtf8("a\xf0\x9f\x98\x80z"), "a?z"},  // one "?" per character
            {QString(QChar(0x80)), "?"},      // a control character the code page maps elsewhere
            {QString(QChar(0x1a)), "\x1a"}};  // a real SUB character, not a substitute
        for (const auto& [text, bytes] : cases) {
            QCOMPARE(ToAnsi(text), bytes);
            QCOMPARE(AnsiText(text), FromAnsi(bytes));
        }
    }
};

QTEST_GUILESS_MAIN(TestAnsi)
#include "tst_ansi.moc"
