// orla-contas: the host program. It loads the component library with dlopen,
// creates General through the plain C factory, connects it (to a database
// named on the command line, or through the settings) as the user named on
// the command line, with passwords read from the environment, standard input
// or the terminal, and shows the statement window; without a display, or when
// asked for files, it lists the statement headless instead.
#include "CostPlaceholder.h"
#include "HostOptions.h"
#include "HostPasswords.h"
#include "OutputFolder.h"
#include "PlatformChatter.h"
#include "RecordViewer.h"

#include <orla_contas/Components.h>
#include <orla_contas/ConnectionScrambler.h>
#include <orla_contas/General.h>
#include <orla_contas/SecretMemory.h>
#include <orla_contas/StatementJob.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QWidget>

#include <dlfcn.h>

#include <cstdio>

namespace {

struct Component {
    void* handle = nullptr;
    orla::GeneralInterface* (*create)() = nullptr;
    void (*release)(orla::GeneralInterface*) = nullptr;
    int (*runJob)(orla::GeneralInterface*, const orla::StatementJob*, QString*) = nullptr;
    int (*runImport)(orla::GeneralInterface*, const orla::StatementJob*, QString*,
                     QString*) = nullptr;
    int (*temporaryFolder)(QString*, QString*) = nullptr;
    orla::RegisterComponentEntry registerComponent = nullptr;
    orla::RegisterObjectEntry registerObject = nullptr;
    orla::RegisterCostComponentEntry registerCostComponent = nullptr;
};

// The component beside the program (the build folder), else where it is installed
// (bin/../lib); a path of our own, never the loader's search.
QString ComponentPath() {
    const QDir programs(QCoreApplication::applicationDirPath());
    const QString library = QStringLiteral("liborla_contas.so");
    const QString beside = programs.filePath(library);
    if (QFileInfo::exists(beside))
        return beside;
    return QDir::cleanPath(
        programs.filePath(QStringLiteral(ORLA_INSTALLED_COMPONENT_DIR "/") + library));
}

bool LoadComponent(Component& component, QString* error) {
    const QString path = ComponentPath();
    component.handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!component.handle) {
        *error = QString::fromLocal8Bit(dlerror());
        return false;
    }
    component.create = reinterpret_cast<orla::GeneralInterface* (*)()>(
        dlsym(component.handle, kOrlaCreateGeneral));
    component.release = reinterpret_cast<void (*)(orla::GeneralInterface*)>(
        dlsym(component.handle, kOrlaReleaseGeneral));
    component.runJob =
        reinterpret_cast<int (*)(orla::GeneralInterface*, const orla::StatementJob*, QString*)>(
            dlsym(component.handle, kOrlaRunStatementJob));
    component.runImport =
        reinterpret_cast<int (*)(orla::GeneralInterface*, const orla::StatementJob*, QString*,
                                 QString*)>(dlsym(component.handle, kOrlaRunImportJob));
    component.temporaryFolder = reinterpret_cast<int (*)(QString*, QString*)>(
        dlsym(component.handle, kOrlaTemporaryFolder));
    component.registerComponent = reinterpret_cast<orla::RegisterComponentEntry>(
        dlsym(component.handle, kOrlaRegisterComponent));
    component.registerObject =
        reinterpret_cast<orla::RegisterObjectEntry>(dlsym(component.handle, kOrlaRegisterObject));
    component.registerCostComponent = reinterpret_cast<orla::RegisterCostComponentEntry>(
        dlsym(component.handle, kOrlaRegisterCostComponent));
    if (!component.create || !component.release || !component.runJob || !component.runImport ||
        !component.temporaryFolder || !component.registerComponent || !component.registerObject ||
        !component.registerCostComponent) {
        *error = QStringLiteral("%1 não exporta as entradas do componente.").arg(path);
        return false;
    }
    return true;
}

void Print(FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", qUtf8Printable(text));
}

bool HasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool Connect(orla::GeneralInterface* general, const orla::HostOptions& o) {
    using orla::ConnectionScrambler;
    const QString password = ConnectionScrambler::Scramble(o.password);
    if (o.database.isEmpty())
        return general->Login(o.user, password);
    return general->SQLConnect(o.user, password, o.dbUser,
                               ConnectionScrambler::Scramble(o.dbPassword), o.catalog, o.database,
                               o.secondary, 0);
}

}  // namespace

int main(int argc, char* argv[]) {
    orla::FilterPlatformChatter();
    // Without a display the same job runs offscreen.
    const bool display = HasDisplay();
    if (!display && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orla Contas"));
    QApplication::setApplicationVersion(QStringLiteral(ORLA_VERSION));
    // The module speaks Portuguese: a machine without a locale of its own gets Portugal's.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Portugal));

    orla::HostOptions options;
    QString message;
    if (!orla::ParseHostOptions(QApplication::arguments(), options, &message)) {
        Print(options.answered ? stdout : stderr, message);
        return options.answered ? 0 : 2;
    }
    QStringList notes;
    orla::ReadPasswords(options, &notes);
    for (const QString& note : notes)
        Print(stderr, note);
    // An import says 1 when lines are left without a pair: its errors are 2.
    const bool importing = !options.job.importPath.isEmpty();
    const int failure = importing ? 2 : 1;
    Component component;
    if (!LoadComponent(component, &message)) {
        Print(stderr, QStringLiteral("Não foi possível carregar o componente: %1").arg(message));
        return failure;
    }
    // The suite's other components are not here: a source record opens in a read-only
    // viewer, and a new cost says that the cost component is missing.
    orla::RegisterRecordViewers(component.registerComponent, component.registerObject);
    orla::RegisterCostPlaceholder(component.registerCostComponent);
    orla::GeneralInterface* general = component.create();
    const QString where = options.database.isEmpty()
                              ? QStringLiteral("à base de dados indicada nas definições")
                              : QStringLiteral("a ") + options.database;
    const QString who = options.user.isEmpty() ? QStringLiteral("sem utilizador")
                                               : QStringLiteral("como ") + options.user;
    const bool connected = Connect(general, options);
    orla::Wipe(options.password);  // the component holds them scrambled from here on
    orla::Wipe(options.dbPassword);
    if (!connected) {
        Print(stderr, QStringLiteral("Não foi possível ligar %1 %2.").arg(where, who));
        component.release(general);
        return failure;
    }
    Print(stdout, QStringLiteral("Ligado %1 %2.").arg(where, who));

    int status = 0;
    if (importing) {
        QString report;
        status = component.runImport(general, &options.job, &report, &message);
        if (!report.isEmpty())
            Print(stdout, report);
        if (!message.isEmpty())
            Print(stderr, message);
    } else if (options.jobRequested || !display) {
        orla::StatementJob job = options.job;
        // Without a folder of the user's the files go to the user's private temporary one;
        // the folder the user named is made when missing.
        job.chosenFolder = options.jobRequested || !options.outputFolder.isEmpty();
        QString outputFolder = options.outputFolder;
        const bool ready = options.jobRequested ? true
                           : outputFolder.isEmpty()
                               ? component.temporaryFolder(&outputFolder, &message) == 0
                               : orla::MakeOutputFolder(outputFolder, &message);
        if (!ready) {
            Print(stderr, message);
            component.release(general);
            return 1;
        }
        if (!options.jobRequested) {
            const QDir folder(outputFolder);
            job.csvPath = folder.absoluteFilePath(QStringLiteral("extrato.csv"));
            job.screenshotPath = folder.absoluteFilePath(QStringLiteral("extrato.png"));
            job.reportPath = folder.absoluteFilePath(QStringLiteral("extrato.doc"));
            job.pdfPath = folder.absoluteFilePath(QStringLiteral("extrato.pdf"));
        }
        status = component.runJob(general, &job, &message);
        if (status != 0) {
            Print(stderr, message);
        } else {
            if (!job.csvPath.isEmpty())
                Print(stdout, QStringLiteral("Extrato: %1").arg(job.csvPath));
            if (!job.screenshotPath.isEmpty())
                Print(stdout, QStringLiteral("Imagem: %1").arg(job.screenshotPath));
            if (!job.reportPath.isEmpty())
                Print(stdout, QStringLiteral("Relatório: %1").arg(job.reportPath));
            if (!job.pdfPath.isEmpty())
                Print(stdout, QStringLiteral("PDF: %1").arg(job.pdfPath));
        }
    } else {
        general->Show();
        QApplication::setQuitOnLastWindowClosed(true);
        bool shown = false;
        for (QWidget* window : QApplication::topLevelWidgets())
            shown = shown || window->isVisible();
        status = shown ? app.exec() : 1;
    }
    component.release(general);
    return status;
}
