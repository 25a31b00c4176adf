// Security policies of the demo users and groups, the permission condition,
// the once-per-run cache, and user names holding quotes.
#include "DemoFixture.h"
#include "Recorders.h"
#include "context/Context.h"
#include "security/Permissions.h"

#include <QTest>

using namespace orla;
using namespace orla::test;

class TestPermissions : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { ResetComponentState(); }

    void policiesOfTheDemoUsers_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("policy");
        QTest::addColumn<bool>("granted");
        QTest::newRow("ana opens the window") << "ana"
                                              << "#2301" << true;
        QTest::newRow("ana sees protected accounts") << "ana"
                                                     << "#2302" << true;
        QTest::newRow("rui opens the window") << "rui"
                                              << "#2301" << true;
        QTest::newRow("rui does not see protected accounts") << "rui"
                                                             << "#2302" << false;
        QTest::newRow("joao may not open the window") << "joao"
                                                      << "#2301" << false;
        QTest::newRow("joao sees protected accounts") << "joao"
                                                      << "#2302" << true;
        QTest::newRow("marta without groups holds everything") << "marta"
                                                               << "#2301" << true;
        QTest::newRow("marta holds #2302 too") << "marta"
                                               << "#2302" << true;
        QTest::newRow("unknown user holds everything") << "ninguem"
                                                       << "#2302" << true;
        QTest::newRow("empty user holds nothing") << ""
                                                  << "#2301" << false;
        QTest::newRow("code in other case") << "ana"
                                            << "#2301 " << false;
        QTest::newRow("unknown code") << "ana"
                                      << "#9999" << false;
    }
    void policiesOfTheDemoUsers() {
        QFETCH(QString, user);
        QFETCH(QString, policy);
        QFETCH(bool, granted);
        DemoFixture demo;
        ScopedServicesRecorder services;
        QCOMPARE(CheckSecurityPolicy(user, policy), granted);
        QVERIFY(services.log().reports.isEmpty());
    }

    void conditionText() {
        DemoFixture demo;
        QCOMPARE(ReadPermitionsDef("ana", "users_groups"),
                 QStringLiteral("( (users_groups Like '%U-ANA%'  OR users_groups LIKE "
                                "'%G-CONTAB%' ) )"));
        QCOMPARE(ReadPermitionsDef("joao", "users_groups"),
                 QStringLiteral("( (users_groups Like '%U-JOAO%'  OR users_groups LIKE "
                                "'%G-COMERC%'  OR users_groups LIKE '%G-CONSUL%' ) )"));
        QCOMPARE(ReadPermitionsDef("marta", "users_groups"), QString());
    }

    void userWhoseGroupsHoldNoPolicyGetsNone() {
        DemoFixture demo;
        demo.exec({"INSERT INTO tbGroups (group_id, code, descrit) VALUES (90, 'G-VAZIO', 'Vazio')",
                   "INSERT INTO tbUsers (user_id, code, descrit) VALUES (90, 'U-ZECA', 'zeca')",
                   "INSERT INTO tbGroups_Users_Links (group_id, user_id) VALUES (90, 90)"});
        QVERIFY(!CheckSecurityPolicy("zeca", "#2301"));
        QVERIFY(!CheckSecurityPolicy("zeca", "#2302"));
    }

    void quoteInTheUserNameNeitherBreaksNorInjects_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("granted");
        QTest::newRow("user with a quote in a restricted group") << "O'Neil" << false;
        QTest::newRow("injection attempt is just a name") << "x' OR '1'='1" << true;
    }
    void quoteInTheUserNameNeitherBreaksNorInjects() {
        QFETCH(QString, user);
        QFETCH(bool, granted);
        DemoFixture demo;
        demo.exec({"INSERT INTO tbGroups (group_id, code, descrit) VALUES (91, 'G-D''AVILA', 'x')",
                   "INSERT INTO tbUsers (user_id, code, descrit) VALUES (91, 'U-O''NEIL', "
                   "'O''Neil')",
                   "INSERT INTO tbGroups_Users_Links (group_id, user_id) VALUES (91, 91)",
                   "INSERT INTO tbSecurityPolicies (code, descrit, users_groups) VALUES "
                   "('#7001', 'x', 'G-D''AVILA')"});
        ScopedServicesRecorder services;
        // O'Neil's group holds only #7001; the injection text is an unknown user, who holds all.
        QCOMPARE(CheckSecurityPolicy(user, "#2301"), granted);
        QVERIFY(services.log().reports.isEmpty());
        if (user == "O'Neil") {
            QVERIFY(CheckSecurityPolicy(user, "#7001"));
            QCOMPARE(ReadPermitionsDef(user, "users_groups"),
                     QStringLiteral("( (users_groups Like '%U-O' + CHAR(39) + 'NEIL%'  OR "
                                    "users_groups LIKE '%G-D' + CHAR(39) + 'AVILA%' ) )"));
        }
    }

    void cacheIsNotRefreshedWithinARun() {
        DemoFixture demo;
        QVERIFY(CheckSecurityPolicy("rui", "#2301"));
        demo.exec({"DELETE FROM tbSecurityPolicies"});
        QVERIFY(CheckSecurityPolicy("rui", "#2301"));
        ResetSecurityPolicyCache();  // a new run
        QVERIFY(!CheckSecurityPolicy("rui", "#2301"));
    }

    void failedFirstReadIsRetried() {
        DemoFixture demo;
        Data().SqlServer.Close();
        Context().MasterConnectionString.clear();  // no reconnection possible
        ScopedServicesRecorder services;
        QVERIFY(!CheckSecurityPolicy("ana", "#2301"));
        QVERIFY(services.log().reports.isEmpty());  // 3709 is not reported
        Data().SqlServer.Open();
        QVERIFY(CheckSecurityPolicy("ana", "#2301"));
    }

    void brokenPolicyTableIsReported() {
        DemoFixture demo;
        demo.exec({"DROP TABLE tbSecurityPolicies"});
        ScopedServicesRecorder services;
        QVERIFY(!CheckSecurityPolicy("ana", "#2301"));
        QCOMPARE(services.log().reports.size(), 1);
        const QStringList texts = services.log().reports.first().texts;
        QCOMPARE(texts.at(2), QStringLiteral("modCheckPermissions"));
        QCOMPARE(texts.at(3), QStringLiteral("CheckSecurityPolicy"));
        QVERIFY2(texts.at(4).startsWith("Error Number = -2147217900 | Description = "),
                 qPrintable(texts.at(4)));
    }
};

QTEST_MAIN(TestPermissions)
#include "tst_permissions.moc"
