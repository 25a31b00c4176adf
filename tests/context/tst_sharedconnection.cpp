// The shared connection's check and re-establishment, the server date and
// the transaction probe.
#include "BackendSpy.h"
#include "Recorders.h"
#include "TestDatabase.h"
#include "context/Context.h"
#include "context/General.h"
#include "context/SharedConnection.h"

#include <orla_contas/ConnectionScrambler.h>

#include <QFile>
#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

const QStringList kSucceeded{"ShowReconnecting", "HideReconnecting", "ReconnectSucceeded"};
const QStringList kFailed{"ShowReconnecting", "HideReconnecting", "ReconnectFailed"};

void ConnectTo(const QString& primary, const QString& secondary = QString()) {
    // The primary must win the race: the secondary answers late.
    ScopedBackendSpy spy;
    if (!secondary.isEmpty())
        spy.setBehaviour(secondary, {1000, false});
    General general;
    QVERIFY(general.SQLConnect(kAppUser, ConnectionScrambler::Scramble(kAppPassword), kDbLogin,
                               ConnectionScrambler::Scramble(kDbPassword), QStringLiteral("Orla"),
                               primary, secondary, 0));
}

// Moves the database file away, so the server no longer answers, or back.
void TakeDown(const TestDatabase& db, bool down = true) {
    const QString away = db.path() + QStringLiteral(".fora");
    QVERIFY(down ? QFile::rename(db.path(), away) : QFile::rename(away, db.path()));
}

}  // namespace

class TestSharedConnection : public QObject {
    Q_OBJECT

  private slots:
    void init() { ResetComponentState(); }
    void cleanup() { ResetComponentState(); }

    void healthyConnectionIsUsable() {
        TestDatabase db;
        ConnectTo(db.path());
        ScopedServicesRecorder services;
        ScopedBackendSpy spy;
        QCOMPARE(CheckSharedConnection(), QString());
        QVERIFY(services.log().notices.isEmpty());
        QVERIFY(spy.attempts().isEmpty());
    }

    void closedConnection_data() {
        QTest::addColumn<bool>("reconnect");
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QStringList>("notices");
        QTest::newRow("reopened") << true << false << "" << kSucceeded;
        QTest::newRow("reopened quietly") << true << true << "" << QStringList();
        QTest::newRow("only told without reconnect")
            << false << false << "A ligação ao servidor SQL não está presente." << QStringList();
    }
    void closedConnection() {
        QFETCH(bool, reconnect);
        QFETCH(bool, quiet);
        QFETCH(QString, result);
        QFETCH(QStringList, notices);
        TestDatabase db;
        ConnectTo(db.path());
        Data().SqlServer.Close();
        Data().SqlServer.SetConnectionTimeout(33);
        ScopedServicesRecorder services;
        ScopedBackendSpy spy;
        QCOMPARE(CheckSQLConnection(nullptr, nullptr, true, reconnect, quiet, false), result);
        QCOMPARE(services.log().notices, notices);
        QCOMPARE(spy.attempts(), reconnect ? QStringList{db.path()} : QStringList());
        QCOMPARE(Data().SqlServer.State(),
                 int(reconnect ? Connection::adStateOpen : Connection::adStateClosed));
        QCOMPARE(Data().SqlServer.ConnectionTimeout(), 33);  // restored
        QVERIFY(services.log().reports.isEmpty());
    }

    // Eight attempts at most: the first waits 240 seconds, every other one 10,
    // with or without a secondary server.
    void unrecoverableGivesUpAfterBoundedAttempts_data() {
        QTest::addColumn<bool>("withSecondary");
        QTest::newRow("no secondary: the primary again") << false;
        QTest::newRow("secondary down too") << true;
    }
    void unrecoverableGivesUpAfterBoundedAttempts() {
        QFETCH(bool, withSecondary);
        TestDatabase primary(QStringLiteral("primario.db"));
        TestDatabase secondary(QStringLiteral("secundario.db"));
        ConnectTo(primary.path(), withSecondary ? secondary.path() : QString());
        Data().SqlServer.Close();
        TakeDown(primary);
        TakeDown(secondary);
        ScopedServicesRecorder services;
        ScopedBackendSpy spy;
        QCOMPARE(CheckSharedConnection(),
                 QStringLiteral("[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does not "
                                "exist or access denied."));
        QCOMPARE(services.log().notices, kFailed);
        const int attempts = withSecondary ? 8 : 4;
        QCOMPARE(spy.attempts(),
                 QStringList{primary.path()} +
                     QStringList(attempts - 1, withSecondary ? secondary.path() : primary.path()));
        QCOMPARE(spy.timeouts(), QList<int>{240} + QList<int>(attempts - 1, 10));
        QVERIFY(services.log().reports.isEmpty());

        // The next call starts again from the beginning.
        TakeDown(withSecondary ? secondary : primary, false);
        services.clear();
        QCOMPARE(CheckSharedConnection(), QString());
        QCOMPARE(services.log().notices, kSucceeded);
    }

    void reconnectionReachesTheOtherServer() {
        TestDatabase primary(QStringLiteral("primario.db"));
        TestDatabase secondary(QStringLiteral("secundario.db"));
        ConnectTo(primary.path(), secondary.path());
        Data().SqlServer.Close();
        TakeDown(primary);
        ScopedBackendSpy spy;
        QCOMPARE(CheckSharedConnection(), QString());
        QCOMPARE(spy.attempts(), QStringList({primary.path(), secondary.path()}));
        QCOMPARE(spy.timeouts(), QList<int>({240, 10}));
        QCOMPARE(Data().SqlServer.ConnectionString(),
                 ConnectionScrambler::Unscramble(Context().SecondaryConnectionString));
        QVERIFY(!Context().UseSecondary);  // the context keeps where it started
    }

    void insideATransactionNothingIsReopened() {
        TestDatabase db;
        ConnectTo(db.path());
        Data().SqlServer.Execute(QStringLiteral("BEGIN TRANSACTION"));
        QVERIFY(InTransaction());
        ScopedBackendSpy spy;
        QCOMPARE(CheckSharedConnection(), QString());
        QVERIFY(spy.attempts().isEmpty());
        QVERIFY(InTransaction());  // still the same open transaction
        Data().SqlServer.Execute(QStringLiteral("ROLLBACK TRANSACTION"));
        QVERIFY(!InTransaction());
        Data().SqlServer.Close();
        QVERIFY(!InTransaction());
    }

    void contextWithoutMasterStringNeverReconnects() {
        TestDatabase db;
        Data().SqlServer.SetConnectionString(QStringLiteral("Data Source=") + db.path());
        ScopedServicesRecorder services;
        QCOMPARE(CheckSharedConnection(), QString());
        QCOMPARE(Data().SqlServer.State(), int(Connection::adStateClosed));
        QVERIFY(services.log().notices.isEmpty());
    }

    void connectingConnectionAnswersDots() {
        TestDatabase db;
        ConnectTo(db.path());
        Data().SqlServer.Close();
        ScopedBackendSpy spy;
        spy.setBehaviour(db.path(), {1000, false});
        Data().SqlServer.Open(Connection::adAsyncConnect);
        QCOMPARE(CheckSharedConnection(), QStringLiteral("..."));
        WaitWhileConnecting(Data().SqlServer);
        QCOMPARE(Data().SqlServer.State(), int(Connection::adStateOpen));
    }

    void otherConnectionIsCheckedNotTheShared() {
        TestDatabase db;
        ConnectTo(db.path());
        Connection own(QStringLiteral("Data Source=") + db.path());
        QCOMPARE(CheckSQLConnection(nullptr, &own, true, true, false, false), QString());
        QCOMPARE(own.State(), int(Connection::adStateOpen));
    }

    void serverDate() {
        TestDatabase db;
        QCOMPARE(GetServerDate(), QDateTime(QDate(1900, 1, 1), QTime(0, 0)));
        ConnectTo(db.path());
        const QDateTime now = QDateTime::currentDateTime();
        const QDateTime server = GetServerDate();
        // The server's wall-clock time, whatever zone this machine is in.
        const QDateTime wallClock(now.date(), now.time(), Qt::UTC);
        QVERIFY2(qAbs(QDateTime(server.date(), server.time(), Qt::UTC).secsTo(wallClock)) < 120,
                 qPrintable(server.toString(Qt::ISODate)));
        Data().SqlServer.Close();
        QCOMPARE(GetServerDate(), QDateTime(QDate(1900, 1, 1), QTime(0, 0)));
    }
};

QTEST_MAIN(TestSharedConnection)
#include "tst_sharedconnection.moc"
