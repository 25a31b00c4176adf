#include "common/ComDlg.h"

#include "platform/services/ErrorReport.h"
#include "platform/services/FileDialogs.h"

#include <QFileInfo>

namespace orla {
namespace {

const QChar kNul(u'\0');
const QString kAllFiles = QStringLiteral("*.*");

ErrorSite Site(const char* procedure) {
    return {QStringLiteral("modComDlg"), QLatin1String(procedure),
            ReportFilter::NotZeroNor3709NorBlank, MessageForm::Description};
}

QString QtPatterns(const QString& patterns) {
    QStringList parts = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& part : parts) {
        part = part.trimmed();
        if (part == kAllFiles)
            part = QStringLiteral("*");
    }
    return parts.join(QLatin1Char(' '));
}

QStringList QtNameFilters(const QString& filterString) {
    const QStringList parts = filterString.split(kNul);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2)
        filters.append(parts[i] + QLatin1String(" (") + QtPatterns(parts[i + 1]) +
                       QLatin1Char(')'));
    return filters;
}

}  // namespace

QString MSA_CreateFilterString(const QStringList& texts) {
    if (texts.isEmpty())
        return {};
    QStringList items = texts;
    if (items.size() % 2 == 1)
        items.append(kAllFiles);
    bool allFiles = false;
    for (qsizetype i = 1; i < items.size(); i += 2)
        allFiles = allFiles || items[i] == kAllFiles;
    if (!allFiles)
        items << QStringLiteral("All Files") << kAllFiles;
    return items.join(kNul) + kNul + kNul;
}

bool MSA_GetSaveFileName(MSA_OPENFILENAME& record) {
    bool chosen = false;
    Guard(Site("MSA_GetSaveFileName"), [&] {
        const QString path =
            CurrentFileDialogs().GetSaveFileName({record.strDialogTitle, record.strInitialDir,
                                                  record.strFile, QtNameFilters(record.strFilter)});
        if (path.isEmpty())
            return;
        record.strFile = path;
        record.strFileTitle = QFileInfo(path).fileName();
        chosen = true;
    });
    return chosen;
}

}  // namespace orla
