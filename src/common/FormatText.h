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

// ReadFormat and SplitSections of a format string, read once and kept: the
// system uses a handful of format strings for every cell of a list.
const QList<FormatChar>& ReadFormatOnce(const QString& format);
const QList<QList<FormatChar>>& SectionsOnce(const QString& format);

}  // namespace orla
