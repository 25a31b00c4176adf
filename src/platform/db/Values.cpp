#include "platform/db/Values.h"

namespace orla {

std::optional<QDateTime> DateValue(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    switch (value.typeId()) {
        case QMetaType::QDateTime:
            return value.toDateTime();
        case QMetaType::QDate:
            return value.toDate().startOfDay();
        case QMetaType::QString: {
            const QString text = value.toString().trimmed();
            for (const char* format :
                 {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd H:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz",
                  "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd HH:mm", "yyyy-MM-dd"}) {
                const QDateTime parsed = QDateTime::fromString(text, QLatin1String(format));
                if (parsed.isValid())
                    return parsed;
            }
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace orla
