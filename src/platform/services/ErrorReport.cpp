#include "platform/services/ErrorReport.h"

#include "platform/services/SharedServices.h"

namespace orla {
namespace {

bool ShouldReport(ReportFilter filter, const OrlaError& error) {
    if (error.number == 0)
        return false;
    switch (filter) {
        case ReportFilter::NotZero:
            return true;
        case ReportFilter::NotZeroNor3709:
            return error.number != err::kConnectionClosed;
        case ReportFilter::NotZeroNor3709NorBlank:
            return error.number != err::kConnectionClosed && !error.description.trimmed().isEmpty();
    }
    return true;
}

QString ReportMessage(MessageForm form, const OrlaError& error) {
    if (form == MessageForm::Description)
        return error.description;
    return QStringLiteral("Error Number = %1 | Description = %2")
        .arg(error.number)
        .arg(error.description);
}

}  // namespace

void ReportError(const ErrorSite& site, const OrlaError& error) {
    if (!ShouldReport(site.filter, error))
        return;
    QString product = kProductLabel;
    QString application = kApplicationLabel;
    QString module = site.module;
    QString procedure = site.procedure;
    QString message = ReportMessage(site.form, error);
    CurrentSharedServices().ReportError(product, application, module, procedure, message);
}

}  // namespace orla
