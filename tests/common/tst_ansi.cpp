// Windows-1252, the system's ANSI code page: every byte decodes as the
// platform decodes it and encodes back to itself; other characters become "?".
#include "common/Ansi.h"

#include <QStringDecoder>
#include <QTest>

using namespace orla;

namespace {

QByteArray EveryByte() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    return bytes;
}

}  // namespace

class TestAnsi : public QObject {
    Q_OBJECT

  private slots:
    void bytesDecodeAsThePlatformDoes() {
        QStringDecoder platform("windows-1252");
        if (!platform.isValid())
            QSKIP("this Qt has no Windows-1252 decoder to compare with");
        QCOMPARE(FromAnsi(EveryByte()), platform.decode(EveryByte()));
    }

    void everyByteRoundTrips() { QCOMPARE(ToAnsi(FromAnsi(EveryByte())), EveryByte()); }

    void charactersOutsideTheCodePage_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("accents and euro") << "Ação €" << QByteArray("A\xe7\xe3o \x80");
        QTest::newRow("outside: Latin Extended") << "Ā" << QByteArray("?");
        QTest::newRow("outside: CJK") << "中文" << QByteArray("??");
        QTest::newRow("outside the basic plane: one ? per character")
            << QString::fromUtf8("a\xf0\x9f\x98\x80z") << QByteArray("a?z");
        QTest::newRow("control character the code page maps elsewhere")
            << QString(QChar(0x80)) << QByteArray("?");
    }
    void charactersOutsideTheCodePage() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(ToAnsi(text), bytes);
        QCOMPARE(AnsiText(text), FromAnsi(bytes));
    }
};

QTEST_MAIN(TestAnsi)
#include "tst_ansi.moc"
