// The one error-report convention: every procedure guards its body, and a
// failure that passes the procedure's filter is handed once to the shared
// services with five texts before the procedure ends.
#pragma once

#include "platform/db/Error.h"

#include <QString>

#include <exception>

namespace orla {

enum class ReportFilter {
    NotZeroNor3709,          // the entry class and the connection routines
    NotZeroNor3709NorBlank,  // shared routines, list filling, window loading
    NotZero,                 // the statement's fill, resize and key handlers
};

enum class MessageForm {
    Description,  // the error's description
    Numbered,     // "Error Number = n | Description = d"
};

struct ErrorSite {
    QString module;     // module, class or window name
    QString procedure;  // the procedure's name
    ReportFilter filter = ReportFilter::NotZeroNor3709;
    MessageForm form = MessageForm::Description;
};

inline const QString kProductLabel = QStringLiteral("Nexo Software");
inline const QString kApplicationLabel = QStringLiteral("Orla Contas");

// Reports the error when the site's filter lets it through.
void ReportError(const ErrorSite& site, const OrlaError& error);

// Runs body, reporting any failure at the site; true when it ran to its end.
template <class F>
bool Guard(const ErrorSite& site, F&& body) {
    try {
        body();
        return true;
    } catch (const OrlaError& e) {
        ReportError(site, e);
    } catch (const std::exception& e) {
        ReportError(site, OrlaError(5, QString::fromLocal8Bit(e.what())));
    }
    return false;
}

}  // namespace orla
