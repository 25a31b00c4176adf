#include "platform/services/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace orla {

bool InstallQtTranslations() {
    static QPointer<QTranslator> installed;  // owned by the application, gone with it
    if (installed)
        return true;
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return false;
    auto* translator = new QTranslator(application);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase_pt_PT", "qtbase_pt", "qtbase_pt_BR"}) {
        if (translator->load(QLatin1String(name), folder) &&
            QCoreApplication::installTranslator(translator)) {
            installed = translator;
            return true;
        }
    }
    delete translator;
    return false;
}

}  // namespace orla
