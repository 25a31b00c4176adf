#include "DemoFixture.h"

#include "DemoDatabase.h"
#include "TestDatabase.h"
#include "context/Context.h"
#include "component/General.h"

#include <orla_contas/ConnectionScrambler.h>

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

}  // namespace orla::test
