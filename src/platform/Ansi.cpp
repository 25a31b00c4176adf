#include "platform/Ansi.h"

#include "platform/db/Error.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringView>

namespace orla {
namespace {

const char* const kCodePage = "windows-1252";

// A Qt built without the code page would turn every text into nothing: refused.
void Check(const QStringConverter& converter) {
    if (!converter.isValid())
        throw OrlaError(5, QStringLiteral("This Qt cannot convert Windows-1252 text."));
}

}  // namespace

QByteArray ToAnsi(const QString& text) {
    QStringEncoder encoder(kCodePage);
    Check(encoder);
    const QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;
    // Some character is outside the code page: each one becomes "?" (the
    // converter's own substitute is a control character).
    QByteArray checked;
    for (char32_t c : QStringView(text).toUcs4()) {
        QStringEncoder one(kCodePage);
        const QByteArray byte = one.encode(QString::fromUcs4(&c, 1));
        checked += one.hasError() ? QByteArray("?") : byte;
    }
    return checked;
}

QString FromAnsi(const QByteArray& bytes) {
    QStringDecoder decoder(kCodePage);
    Check(decoder);
    return decoder.decode(bytes);
}

QString AnsiText(const QString& text) {
    return FromAnsi(ToAnsi(text));
}

}  // namespace orla
