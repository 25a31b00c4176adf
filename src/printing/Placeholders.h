// Placeholders replaced in one pass over a text, so that a value holding the
// text of another placeholder is printed as it is and never replaced again.
#pragma once

#include <QList>
#include <QString>

namespace orla {

struct Placeholder {
    QString name;   // "<data>"
    QString value;  // an empty value is written as one space
    Qt::CaseSensitivity match = Qt::CaseInsensitive;
};

// The text with every occurrence of each placeholder replaced by its value;
// where two could start at one position, the earlier in the list wins.
QString ReplacePlaceholders(const QString& text, const QList<Placeholder>& placeholders);

}  // namespace orla
