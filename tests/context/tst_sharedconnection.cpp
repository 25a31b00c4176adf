// The shared connection's check and re-establishment, and the server date.
#include "BackendSpy.h"
#include "Recorders.h"
#include "TestDatabase.h"
#include "context/Context.h"
#include "component/General.h"
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
        spy->setBehaviour(secondary, {1000, false});
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

    void checkAndReopen_data() {
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("reconnect");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QStringList>("notices");
        QTest::newRow("open: left alone") << false << true << "" << QStringList();
        QTest::newRow("reopened") << true << true << "" << kSucceeded;
        QTest::newRow("only told without reconnect")
            << true << false << "A ligação ao servidor SQL não está presente." << QStringList();
    }
    void checkAndReopen() {
        QFETCH(bool, closed);
        QFETCH(bool, reconnect);
        QFETCH(QString, result);
        QFETCH(QStringList, notices);
        TestDatabase db;
        ConnectTo(db.path());
        if (closed)
            Data().SqlServer.Close();
        Data().SqlServer.SetConnectionTimeout(33);
        ScopedServicesRecorder services;
        ScopedBackendSpy spy;
        QCOMPARE(CheckSQLConnection(nullptr, nullptr, true, reconnect, false, false), result);
        QCOMPARE(services->notices, notices);
        QCOMPARE(spy->attempts(), closed && reconnect ? QStringList{db.path()} : QStringList());
        QCOMPARE(Data().SqlServer.State(),
                 int(closed && !reconnect ? Connection::adStateClosed : Connection::adStateOpen));
        QCOMPARE(Data().SqlServer.ConnectionTimeout(), 33);  // restored
        QVERIFY(services->reports.isEmpty());
    }

    // At most eight attempts: the first waits 240 seconds, every other one 10,
    // with or without a secondary server (P primary, S secondary).
    void reconnectionAttempts_data() {
        QTest::addColumn<bool>("withSecondary");
        QTest::addColumn<QString>("down");
        QTest::addColumn<QString>("attempts");
        QTest::newRow("no secondary: the primary four times") << false << "PS"
                                                              << "PPPP";
        QTest::newRow("both down") << true << "PS"
                                   << "PSSSSSSS";
        QTest::newRow("primary down: the secondary") << true << "P"
                                                     << "PS";
    }
    void reconnectionAttempts() {
        QFETCH(bool, withSecondary);
        QFETCH(QString, down);
        QFETCH(QString, attempts);
        const TestDatabase primary(QStringLiteral("primario.db"));
        const TestDatabase secondary(QStringLiteral("secundario.db"));
        ConnectTo(primary.path(), withSecondary ? secondary.path() : QString());
        Data().SqlServer.Close();
        for (QChar server : down)
            TakeDown(server == 'P' ? primary : secondary);
        ScopedServicesRecorder services;
        ScopedBackendSpy spy;
        const bool reached = down.size() == 1;
        QCOMPARE(CheckSharedConnection(),
                 reached ? QString()
                         : QStringLiteral("[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does "
                                          "not exist or access denied."));
        QCOMPARE(services->notices, reached ? kSucceeded : kFailed);
        QStringList tried;
        for (QChar server : attempts)
            tried << (server == 'P' ? primary : secondary).path();
        QCOMPARE(spy->attempts(), tried);
        QCOMPARE(spy->timeouts(), QList<int>{240} + QList<int>(attempts.size() - 1, 10));
        if (reached) {  // on the other server; the context keeps where it started
            QCOMPARE(Data().SqlServer.ConnectionString(),
                     ConnectionScrambler::Unscramble(Context().SecondaryConnectionString)
                         .remove(QStringLiteral("Password=orla-db'pw;")));
            QVERIFY(!Context().UseSecondary);
            return;
        }
        // After a failure the next call starts again from the beginning.
        TakeDown(withSecondary ? secondary : primary, false);
        QCOMPARE(CheckSharedConnection(), QString());
    }

    void insideATransactionNothingIsReopened() {
        TestDatabase db;
        ConnectTo(db.path());
        Data().SqlServer.Execute(QStringLiteral("BEGIN TRANSACTION"));
        ScopedBackendSpy spy;
        QCOMPARE(CheckSharedConnection(), QString());
        QVERIFY(spy->attempts().isEmpty());
        // Still the same open transaction: there is one to roll back.
        QVERIFY(!Try([] { Data().SqlServer.Execute(QStringLiteral("ROLLBACK TRANSACTION")); }));
    }

    void connectingConnectionAnswersDots() {
        TestDatabase db;
        ConnectTo(db.path());
        Data().SqlServer.Close();
        ScopedBackendSpy spy;
        spy->setBehaviour(db.path(), {1000, false});
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
