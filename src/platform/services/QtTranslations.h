// Qt's own texts (standard buttons, input and file dialogs, context menus) in Portuguese.
#pragma once

namespace orla {

// Installs Qt's Portuguese translation in the application, once: qtbase_pt_PT, qtbase_pt or
// qtbase_pt_BR, the first found in Qt's translations folder. True when one is installed.
// Without an application or a file Qt keeps its English texts; that stops nothing.
bool InstallQtTranslations();

}  // namespace orla
