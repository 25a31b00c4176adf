// The system's ANSI code page (Windows-1252): settings, the shadow store and
// document templates are single-byte text in it.
#pragma once

#include <QByteArray>
#include <QString>

namespace orla {

// One byte per character; a character outside the code page becomes "?".
QByteArray ToAnsi(const QString& text);
// Every byte decodes; the five bytes the code page leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same number.
// The converter is Qt's (ICU's) Windows-1252.
QString FromAnsi(const QByteArray& bytes);
// The text as it reads back after a round trip through the code page.
QString AnsiText(const QString& text);

}  // namespace orla
