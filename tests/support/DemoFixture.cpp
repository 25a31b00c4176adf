#include "DemoFixture.h"

#include "DemoDatabase.h"
#include "TestDatabase.h"
#include "context/Context.h"
#include "context/General.h"

#include <orla_contas/ConnectionScrambler.h>

#include <QDir>

namespace orla::test {

DemoFixture::DemoFixture(bool connect) : path_(dir_.filePath(QStringLiteral("demo.db"))) {
    QString error;
    const bool made = CreateDemoDatabase(path_, &error);
    if (!made)
        qFatal("demo database: %s", qPrintable(error));
    if (!connect)
        return;
    ResetComponentState();
    General general;
    const bool connected = general.SQLConnect(
        QStringLiteral("ana"), ConnectionScrambler::Scramble(QStringLiteral("ana-2024")),
        QStringLiteral("orla"), ConnectionScrambler::Scramble(QStringLiteral("orla-demo")),
        QStringLiteral("Orla"), path_, QString(), 0);
    if (!connected)
        qFatal("demo database: SQLConnect failed");
}

DemoFixture::~DemoFixture() {
    ResetComponentState();
}

void DemoFixture::exec(const QStringList& statements) const {
    ExecOnFile(path_, statements);
}

ScopedSettingsFolders::ScopedSettingsFolders() {
    QDir().mkpath(commonAppData());
    QDir().mkpath(registry());
    qputenv("ORLA_COMMON_APPDATA", commonAppData().toUtf8());
    qputenv("ORLA_REGISTRY_DIR", registry().toUtf8());
}

ScopedSettingsFolders::~ScopedSettingsFolders() {
    qunsetenv("ORLA_COMMON_APPDATA");
    qunsetenv("ORLA_REGISTRY_DIR");
}

}  // namespace orla::test
