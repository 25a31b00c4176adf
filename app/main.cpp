// orla-contas: the host program. It loads the component library with dlopen,
// creates General through the plain C factory and connects it to a database,
// as the suite's own host does.
#include <orla_contas/ConnectionScrambler.h>
#include <orla_contas/General.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>

#include <dlfcn.h>

#include <cstdio>

namespace {

struct Component {
    void* handle = nullptr;
    orla::GeneralInterface* (*create)() = nullptr;
    void (*release)(orla::GeneralInterface*) = nullptr;
};

bool LoadComponent(Component& component, QString* error) {
    const QString path =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("liborla_contas.so"));
    component.handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!component.handle) {
        *error = QString::fromLocal8Bit(dlerror());
        return false;
    }
    component.create = reinterpret_cast<orla::GeneralInterface* (*)()>(
        dlsym(component.handle, kOrlaCreateGeneral));
    component.release = reinterpret_cast<void (*)(orla::GeneralInterface*)>(
        dlsym(component.handle, kOrlaReleaseGeneral));
    if (!component.create || !component.release) {
        *error = QStringLiteral("%1 não exporta a fábrica de General.").arg(path);
        return false;
    }
    return true;
}

void Print(FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", qUtf8Printable(text));
}

}  // namespace

int main(int argc, char* argv[]) {
    // Without a display the same job runs offscreen.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orla Contas"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Contas bancárias: extratos e conciliação."));
    parser.addHelpOption();
    const QCommandLineOption database(QStringLiteral("database"),
                                      QStringLiteral("Base de dados (ficheiro .db ou servidor)."),
                                      QStringLiteral("origem"));
    const QCommandLineOption secondary(QStringLiteral("secundario"),
                                       QStringLiteral("Servidor secundário."),
                                       QStringLiteral("origem"));
    const QCommandLineOption catalog(QStringLiteral("catalogo"),
                                     QStringLiteral("Nome da base de dados no servidor."),
                                     QStringLiteral("nome"), QStringLiteral("Orla"));
    const QCommandLineOption user(QStringLiteral("utilizador"),
                                  QStringLiteral("Utilizador da aplicação."),
                                  QStringLiteral("nome"), QStringLiteral("ana"));
    const QCommandLineOption password(QStringLiteral("senha"),
                                      QStringLiteral("Senha do utilizador da aplicação."),
                                      QStringLiteral("senha"), QStringLiteral("ana-2024"));
    const QCommandLineOption dbUser(QStringLiteral("login-bd"),
                                    QStringLiteral("Login da base de dados."),
                                    QStringLiteral("nome"), QStringLiteral("orla"));
    const QCommandLineOption dbPassword(QStringLiteral("senha-bd"),
                                        QStringLiteral("Senha do login da base de dados."),
                                        QStringLiteral("senha"), QStringLiteral("orla-demo"));
    parser.addOptions({database, secondary, catalog, user, password, dbUser, dbPassword});
    parser.process(app);

    if (!parser.isSet(database)) {
        Print(stderr, QStringLiteral("Indique a base de dados com --database."));
        return 2;
    }

    Component component;
    QString error;
    if (!LoadComponent(component, &error)) {
        Print(stderr, QStringLiteral("Não foi possível carregar o componente: %1").arg(error));
        return 1;
    }

    orla::GeneralInterface* general = component.create();
    using orla::ConnectionScrambler;
    const bool connected = general->SQLConnect(
        parser.value(user), ConnectionScrambler::Scramble(parser.value(password)),
        parser.value(dbUser), ConnectionScrambler::Scramble(parser.value(dbPassword)),
        parser.value(catalog), parser.value(database), parser.value(secondary), 0);
    int status = 0;
    if (connected) {
        Print(stdout, QStringLiteral("Ligado a %1 (base de dados %2) como %3, login %4.")
                          .arg(parser.value(database), parser.value(catalog), parser.value(user),
                               parser.value(dbUser)));
    } else {
        Print(stderr, QStringLiteral("Não foi possível ligar a %1 como %2.")
                          .arg(parser.value(database), parser.value(user)));
        status = 1;
    }
    component.release(general);
    return status;
}
