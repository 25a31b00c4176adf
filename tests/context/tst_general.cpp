// SQLConnect: program key, context, connection strings, the race of the two
// servers and the proof of the user's credentials.
#include "BackendSpy.h"
#include "Recorders.h"
#include "TestDatabase.h"
#include "context/Context.h"
#include "component/General.h"

#include <orla_contas/ConnectionScrambler.h>

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
        const ContextValues& c = Context();
        QVERIFY(c.Connected);
        QCOMPARE(c.ProgramKey, QStringLiteral("Contabilidade"));  // flags 0
        QCOMPARE(c.User, kAppUser);
        QCOMPARE(c.Password, S(kAppPassword));
        QCOMPARE(c.cnPassword, S(kDbPassword));
        QCOMPARE(c.cnUser, kDbLogin);
        QCOMPARE(c.cnInitialCatalog, QStringLiteral("Orla"));
        QCOMPARE(c.PersistSecurityInfo, QStringLiteral("False"));
        QVERIFY(!c.UseSecondary);
        QCOMPARE(c.cnDataSourceSecondary, QString());

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

    void secondaryEqualToPrimaryGivesOneTrial() {
        TestDatabase db;
        ScopedBackendSpy spy;
        General general;
        QVERIFY(Connect(general, db.path(), db.path()));
        QCOMPARE(Context().cnDataSourceSecondary, QString());
        // One race trial plus the proof of the user's credentials.
        QCOMPARE(spy->attempts(), QStringList({db.path(), db.path()}));
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

    void noServerMeansFalseAndNoConnection() {
        TestDatabase db;
        ScopedBackendSpy spy;
        spy->setBehaviour(db.path(), {0, true});
        ScopedServicesRecorder services;
        General general;
        QVERIFY(!Connect(general, db.path(), QStringLiteral("/nao/existe/b.db"), 1));
        QCOMPARE(Context().ProgramKey, QStringLiteral("Salvian"));  // flags 1, all the same
        QVERIFY(!Context().Connected);
        QVERIFY(Context().User.isEmpty());
        QCOMPARE(Data().SqlServer.State(), int(Connection::adStateClosed));
        QVERIFY(!Context().MasterConnectionString.isEmpty());  // kept from before the race
        QVERIFY(services->reports.isEmpty());
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
};

QTEST_MAIN(TestGeneral)
#include "tst_general.moc"
