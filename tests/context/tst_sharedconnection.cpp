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

const QStringList kSucceeded{QStringLiteral("ShowReconnecting"), QStringLiteral("HideReconnecting"),
                             QStringLiteral("ReconnectSucceeded")};
const QStringList kFailed{QStringLiteral("ShowReconnecting"), QStringLiteral("HideReconnecting"),
                          QStringLiteral("ReconnectFailed")};
const QString kServerMissing = QStringLiteral(
    "[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does not exist or access denied.");

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

// Moves the database file away, so the server no longer answers.
void TakeDown(const TestDatabase& db) {
    QVERIFY(QFile::rename(db.path(), db.path() + QStringLiteral(".fora")));
}

void BringBack(const TestDatabase& db) {
    QVERIFY(QFile::rename(db.path() + QStringLiteral(".fora"), db.path()));
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

    void closedConnectionIsReopened() {
        TestDatabase db;
        ConnectTo(db.path());
        Data().SqlServer.Close();
        Data().SqlServer.SetConnectionTimeout(33);
        ScopedServicesRecorder services;
        ScopedBackendSpy spy;
        QCOMPARE(CheckSharedConnection(), QString());
        QCOMPARE(services.log().notices, kSucceeded);
        QCOMPARE(spy.attempts(), QStringList{db.path()});
        QCOMPARE(Data().SqlServer.State(), int(Connection::adStateOpen));
        QCOMPARE(Data().SqlServer.ConnectionTimeout(), 33);  // restored
        QVERIFY(services.log().reports.isEmpty());
    }

    void withoutReconnectTheCheckOnlyTells() {
        TestDatabase db;
        ConnectTo(db.path());
        Data().SqlServer.Close();
        ScopedServicesRecorder services;
        QCOMPARE(CheckSQLConnection(nullptr, nullptr, true, false, false, false),
                 QStringLiteral("A ligação ao servidor SQL não está presente."));
        QVERIFY(services.log().notices.isEmpty());
        QCOMPARE(Data().SqlServer.State(), int(Connection::adStateClosed));
    }

    void quietReconnectionSendsNoNotices() {
        TestDatabase db;
        ConnectTo(db.path());
        Data().SqlServer.Close();
        ScopedServicesRecorder services;
        QCOMPARE(CheckSQLConnection(nullptr, nullptr, true, true, true, false), QString());
        QVERIFY(services.log().notices.isEmpty());
        QCOMPARE(Data().SqlServer.State(), int(Connection::adStateOpen));
    }

    void unrecoverableWithoutSecondaryRetriesThePrimary() {
        TestDatabase db;
        ConnectTo(db.path());
        Data().SqlServer.Close();
        TakeDown(db);
        ScopedServicesRecorder services;
        ScopedBackendSpy spy;
        QCOMPARE(CheckSharedConnection(), kServerMissing);
        QCOMPARE(services.log().notices, kFailed);
        QCOMPARE(spy.attempts(), QStringList(4, db.path()));
        QVERIFY(services.log().reports.isEmpty());

        // The next call starts again from the beginning and now succeeds.
        BringBack(db);
        services.clear();
        QCOMPARE(CheckSharedConnection(), QString());
        QCOMPARE(services.log().notices, kSucceeded);
    }

    void unrecoverableWithSecondaryTriesBothWithinEightAttempts() {
        TestDatabase primary(QStringLiteral("primario.db"));
        TestDatabase secondary(QStringLiteral("secundario.db"));
        ConnectTo(primary.path(), secondary.path());
        QVERIFY(!Context().UseSecondary);
        Data().SqlServer.Close();
        TakeDown(primary);
        TakeDown(secondary);
        ScopedServicesRecorder services;
        ScopedBackendSpy spy;
        QCOMPARE(CheckSharedConnection(), kServerMissing);
        QCOMPARE(services.log().notices, kFailed);
        QStringList expected{primary.path()};
        for (int i = 0; i < 7; ++i)
            expected << secondary.path();
        QCOMPARE(spy.attempts(), expected);
    }

    void reconnectionReachesTheOtherServer() {
        TestDatabase primary(QStringLiteral("primario.db"));
        TestDatabase secondary(QStringLiteral("secundario.db"));
        ConnectTo(primary.path(), secondary.path());
        Data().SqlServer.Close();
        TakeDown(primary);
        ScopedServicesRecorder services;
        ScopedBackendSpy spy;
        QCOMPARE(CheckSharedConnection(), QString());
        QCOMPARE(spy.attempts(), QStringList({primary.path(), secondary.path()}));
        QCOMPARE(Data().SqlServer.ConnectionString(),
                 ConnectionScrambler::Unscramble(Context().SecondaryConnectionString)
                     .remove(QStringLiteral("Password=orla-db'pw;")));
        QVERIFY(!Context().UseSecondary);  // the context keeps where it started
        QCOMPARE(services.log().notices, kSucceeded);
    }

    void insideATransactionNothingIsReopened() {
        TestDatabase db;
        ConnectTo(db.path());
        Data().SqlServer.Execute(QStringLiteral("BEGIN TRANSACTION"));
        QVERIFY(InTransaction());
        ScopedServicesRecorder services;
        ScopedBackendSpy spy;
        QCOMPARE(CheckSharedConnection(), QString());
        QVERIFY(spy.attempts().isEmpty());
        QVERIFY(services.log().notices.isEmpty());
        QVERIFY(InTransaction());  // still the same open transaction
        Data().SqlServer.Execute(QStringLiteral("ROLLBACK TRANSACTION"));
        QVERIFY(!InTransaction());
    }

    void contextWithoutMasterStringNeverReconnects() {
        TestDatabase db;
        Data().SqlServer.SetConnectionString(QStringLiteral("Data Source=") + db.path());
        Data().SqlServer.Open();
        Data().SqlServer.Close();
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
        ScopedServicesRecorder services;
        QCOMPARE(CheckSQLConnection(nullptr, &own, true, false, false, false),
                 QStringLiteral("A ligação ao servidor SQL não está presente."));
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

    void inTransactionOnAClosedConnectionIsFalse() {
        Connection closed;
        QVERIFY(!InTransaction(&closed));
        QVERIFY(!InTransaction());
    }
};

QTEST_MAIN(TestSharedConnection)
#include "tst_sharedconnection.moc"
