// SQLConnect (program key, context, connection strings, the race of the two servers, the proof
// of the user's credentials), then the shared connection's check and re-establishment.
#include "BackendSpy.h"
#include "Recorders.h"
#include "TestDatabase.h"
#include "component/General.h"
#include "context/Context.h"
#include "context/SharedConnection.h"

#include <orla_contas/ConnectionScrambler.h>

#include <QFile>
#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

QString S(const QString& plain) {
    return ConnectionScrambler::Scramble(plain);
}

bool Connect(General& general, const QString& primary, const QString& secondary = QString(),
             qint32 flags = 0, const QString& userPassword = kAppPassword) {
    return general.SQLConnect(kAppUser, S(userPassword), kDbLogin, S(kDbPassword),
                              QStringLiteral("Orla"), primary, secondary, flags);
}

const QStringList kSucceeded{"ShowReconnecting", "HideReconnecting", "ReconnectSucceeded"};
const QStringList kFailed{"ShowReconnecting", "HideReconnecting", "ReconnectFailed"};

void ConnectTo(const QString& primary, const QString& secondary = QString()) {
    // The primary must win the race: the secondary answers late.
    ScopedBackendSpy spy;
    if (!secondary.isEmpty())
        spy->setBehaviour(secondary, {1000, false});
    General general;
    QVERIFY(Connect(general, primary, secondary));
}

// Moves the database file away, so the server no longer answers, or back.
void TakeDown(const TestDatabase& db, bool down = true) {
    const QString away = db.path() + QStringLiteral(".fora");
    QVERIFY(down ? QFile::rename(db.path(), away) : QFile::rename(away, db.path()));
}

}  // namespace

class TestGeneral : public QObject {
    Q_OBJECT

  private slots:
    void init() { ResetComponentState(); }
    void cleanup() { ResetComponentState(); }

    void connectFillsTheContextAndTheSharedConnection() {
        TestDatabase db;
        General general;
        QVERIFY(Connect(general, db.path()));
        // The context's values are checked where a component is handed them.
        const ContextValues& c = Context();
        QVERIFY(c.Connected && !c.UseSecondary);
        QCOMPARE(c.ProgramKey, QStringLiteral("Contabilidade"));  // flags 0
        const QString master =
            "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=orla;"
            "Password=orla-db'pw;Encrypt=yes;Initial Catalog=Orla;Data Source=" +
            db.path() + ";Connect Timeout=15";
        QCOMPARE(ConnectionScrambler::Unscramble(c.MasterConnectionString), master);
        QVERIFY(!c.MasterConnectionString.contains(QStringLiteral("orla-db'pw")));
        QCOMPARE(ConnectionScrambler::Unscramble(c.SecondaryConnectionString),
                 QString(master).replace(db.path(), QString()));
        // The shared connection runs on the database login, never the user's;
        // once open, its string no longer shows the password.
        QCOMPARE(Data().SqlServer.ConnectionString(),
                 QString(master).remove(QStringLiteral("Password=orla-db'pw;")));
        QCOMPARE(Data().SqlServer.State(), int(Connection::adStateOpen));
    }

    // The secondary wins when the primary fails while the secondary is still
    // connecting, or when the primary answers late.
    void secondaryWins_data() {
        QTest::addColumn<bool>("primaryMissing");
        QTest::newRow("primary cannot open") << true;
        QTest::newRow("primary answers late") << false;
    }
    void secondaryWins() {
        QFETCH(bool, primaryMissing);
        TestDatabase db;
        TestDatabase late(QStringLiteral("primario.db"));
        const QString primary = primaryMissing ? db.folder() + "/em-falta.db" : late.path();
        ScopedBackendSpy spy;
        spy->setBehaviour(primaryMissing ? db.path() : primary,
                          {primaryMissing ? 150 : 1500, false});
        General general;
        QVERIFY(Connect(general, primary, db.path()));
        QVERIFY(Context().UseSecondary);
        QCOMPARE(Context().cnDataSource, primary);
        QCOMPARE(Context().cnDataSourceSecondary, db.path());
        QCOMPARE(Data().SqlServer.ConnectionString(),
                 ConnectionScrambler::Unscramble(Context().SecondaryConnectionString)
                     .remove(QStringLiteral("Password=orla-db'pw;")));
        QCOMPARE(Data().SqlServer.State(), int(Connection::adStateOpen));
        QCOMPARE(spy->attempts().last(), db.path());  // the user is proved on the secondary
    }

    void wrongCredentialsAreRefused_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("dbPassword");
        QTest::newRow("wrong password") << kAppUser << "errada" << kDbPassword;
        QTest::newRow("quote in the name") << "o'neil" << kAppPassword << kDbPassword;
        QTest::newRow("wrong database login") << kAppUser << kAppPassword << "x";
    }
    void wrongCredentialsAreRefused() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, dbPassword);
        TestDatabase db;
        ScopedServicesRecorder services;
        General general;
        QVERIFY(!general.SQLConnect(user, S(password), kDbLogin, S(dbPassword),
                                    QStringLiteral("Orla"), db.path(), QString(), 0));
        QVERIFY(Context().User.isEmpty());
        QVERIFY(!Context().Connected);
        QCOMPARE(Data().SqlServer.State(), int(Connection::adStateClosed));
        QVERIFY(services->reports.isEmpty());
    }

    // Once connected, the same user connects again at once whatever the other arguments;
    // another user must prove its own credentials and never inherits the first one's session.
    void secondConnectReturnsTrueWithoutRebuilding_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("result");
        QTest::newRow("same user") << kAppUser << "x" << true;
        QTest::newRow("other user, wrong password") << "orla"
                                                    << "x" << false;
        QTest::newRow("crafted name") << kAppUser + ";" << kAppPassword << false;
    }
    void secondConnectReturnsTrueWithoutRebuilding() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(bool, result);
        TestDatabase db;
        TestDatabase other(QStringLiteral("outro.db"));
        General general;
        QVERIFY(Connect(general, db.path()));
        const ContextValues before = Context();
        ScopedBackendSpy spy;
        General second;  // the context belongs to the component, not the object
        QCOMPARE(
            second.SQLConnect(user, S(password), QStringLiteral("outro"), S(QStringLiteral("y")),
                              QStringLiteral("Outra"), other.path(), QString(), 1),
            result);
        QCOMPARE(Context().ProgramKey, before.ProgramKey);
        QCOMPARE(Context().User, before.User);
        QCOMPARE(Context().MasterConnectionString, before.MasterConnectionString);
        QCOMPARE(spy->attempts().size(), user == kAppUser ? 0 : 1);  // only the user's proof
        QVERIFY(second.Login(QString(), QString()));
    }

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
};

QTEST_MAIN(TestGeneral)
#include "tst_general.moc"
