// The reversible scramble in which passwords and connection strings are held
// in memory and handed from the host to the component. Header-only, so the
// host and the component share one routine.
#pragma once

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cctype>

namespace orla {

class ConnectionScrambler {
  public:
    // UTF-8 bytes mixed with a running key, written as hexadecimal text.
    static QString Scramble(const QString& plain) {
        QByteArray bytes = plain.toUtf8();
        Mix(bytes);
        return QString::fromLatin1(bytes.toHex());
    }

    // The inverse of Scramble; a text that is not a scramble gives an empty text.
    static QString Unscramble(const QString& scrambled) {
        const QByteArray hex = scrambled.toLatin1();
        for (char c : hex) {
            if (!std::isxdigit(static_cast<unsigned char>(c)))
                return {};
        }
        if (hex.size() % 2 != 0)
            return {};
        QByteArray bytes = QByteArray::fromHex(hex);
        Mix(bytes);
        QString plain = QString::fromUtf8(bytes);
        std::fill(bytes.begin(), bytes.end(),
                  '\0');  // the plain bytes are not left in freed memory
        return plain;
    }

  private:
    static void Mix(QByteArray& bytes) {
        quint32 key = 0x4F524C41u;  // "ORLA"
        for (char& c : bytes) {
            key = key * 1103515245u + 12345u;
            c = static_cast<char>(static_cast<unsigned char>(c) ^
                                  static_cast<unsigned char>(key >> 16));
        }
    }
};

}  // namespace orla
