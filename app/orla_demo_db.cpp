// orla-demo-db PATH: makes the demo database at PATH (replacing any file there), writes
// the settings that let a host connect to it with Login, and prints its path; on
// failure prints the error to stderr and exits 1.
#include "DemoDatabase.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2 || args.at(1).isEmpty() || args.at(1).startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr,
                     "usage: orla-demo-db PATH\n"
                     "Creates the Orla Contas demo database (SQLite) at PATH.\n");
        return 1;
    }

    const QString path = QFileInfo(args.at(1)).absoluteFilePath();
    QString error;
    if (!orla::CreateDemoDatabase(path, &error)) {
        std::fprintf(stderr, "orla-demo-db: %s\n", qUtf8Printable(error));
        return 1;
    }
    if (!orla::WriteDemoSettings(path, &error)) {
        std::fprintf(stderr, "orla-demo-db: %s\n", qUtf8Printable(error));
        return 1;
    }
    std::printf("%s\n", qUtf8Printable(path));
    return 0;
}
