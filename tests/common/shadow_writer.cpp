// Writes settings through the shadow store: for i = 1..count, the value
// "<name>.<i>" = i (a new entry each time) and "<name>" = i (one entry
// rewritten each time); and "<name>.<i>" = i to the registry alone. Exits
// with 1 when any write was refused.
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
    for (int i = 1; i <= count; ++i) {
        const QString value = QString::number(i);
        if (!orla::DefinirValorString(key, name + QLatin1Char('.') + value, value) ||
            !orla::DefinirValorString(key, name, value) ||
            !orla::DefinirValorString(key, name + QLatin1Char('.') + value, value, true)) {
            std::fprintf(stderr, "%s: write %d refused\n", qPrintable(name), i);
            return 1;
        }
    }
    return 0;
}
