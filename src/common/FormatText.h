// Reading a format string: which characters are codes and which are literal
// text (quoted with "..." or escaped with a backslash).
#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace orla {

struct FormatChar {
    QChar c;
    bool literal = false;  // quoted or escaped: shown as it is
};

// The characters of the format, without the quotes and backslashes that mark literals.
QList<FormatChar> ReadFormat(QStringView format);

// The parts of a read format between the ";" that are codes.
QList<QList<FormatChar>> SplitSections(const QList<FormatChar>& format);

}  // namespace orla
