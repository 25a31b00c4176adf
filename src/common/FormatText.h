// Reading a format string: which characters are codes and which are literal
// text (quoted with "..." or escaped with a backslash).
#pragma once

#include <QList>
#include <QString>

namespace orla {

struct FormatChar {
    QChar c;
    bool literal = false;  // quoted or escaped: shown as it is
};

// The characters of a format string, without the quotes and backslashes that
// mark literals, and its sections (the parts between the ";" that are codes),
// read once and kept: the system uses a handful of format strings for every
// cell of a list.
const QList<FormatChar>& ReadFormatOnce(const QString& format);
const QList<QList<FormatChar>>& SectionsOnce(const QString& format);

}  // namespace orla
