// One column of the current row: its name and a value that may be Null.
#pragma once

#include <QString>
#include <QVariant>

namespace orla {

struct Field {
    QString Name;
    QVariant Value;  // invalid when the column is Null

    bool IsNull() const { return !Value.isValid() || Value.isNull(); }
};

}  // namespace orla
