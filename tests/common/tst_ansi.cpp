// Windows-1252, the system's ANSI code page: every byte decodes and encodes
// back to itself; characters outside it become one "?" each.
#include "common/Ansi.h"

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

    void charactersOutsideTheCodePage_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("accents and euro") << "Ação €" << QByteArray("A\xe7\xe3o \x80");
        QTest::newRow("outside: CJK") << "a中文" << QByteArray("a??");
        QTest::newRow("outside the basic plane: one ? per character")
            << QString::fromUtf8("a\xf0\x9f\x98\x80z") << QByteArray("a?z");
        QTest::newRow("control character the code page maps elsewhere")
            << QString(QChar(0x80)) << QByteArray("?");
        QTest::newRow("a real SUB character stays") << QString(QChar(0x1a)) << QByteArray("\x1a");
    }
    void charactersOutsideTheCodePage() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(ToAnsi(text), bytes);
        QCOMPARE(AnsiText(text), FromAnsi(bytes));
    }
};

QTEST_GUILESS_MAIN(TestAnsi)
#include "tst_ansi.moc"
