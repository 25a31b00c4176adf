// Writes settings, for i = 1..count: first "<name>.<i>" = i to the registry
// alone, then through the shadow store the value "<name>.<i>" = i (a new entry
// each time) and "<name>" = i (one entry rewritten each time). Exits with 1
// when any write was refused.
#include "common/Registry.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: shadow_writer NAME COUNT\n");
        return 2;
    }
    const QString key = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Contabilidade");
    const QString& name = args[1];
    const int count = args[2].toInt();
    for (bool registryOnly : {true, false}) {
        for (int i = 1; i <= count; ++i) {
            const QString value = QString::number(i);
            const QString numbered = name + QLatin1Char('.') + value;
            if (!orla::DefinirValorString(key, numbered, value, registryOnly) ||
                (!registryOnly && !orla::DefinirValorString(key, name, value))) {
                std::fprintf(stderr, "%s: write %d refused\n", qPrintable(name), i);
                return 1;
            }
        }
    }
    return 0;
}
