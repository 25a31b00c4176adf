// Security policies of users and groups (what the statement window's users
// may do is tested with the window), the once-per-run cache, user names
// holding quotes, and tables that cannot be read.
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
        const struct {
            const char *row, *user, *policy;
            bool granted;
        } rows[] = {
            {"joao sees protected accounts", "joao", "#2302", true},
            {"marta without groups holds everything", "marta", "#2301", true},
            {"unknown user holds everything", "ninguem", "#2302", true},
            {"empty user holds nothing", "", "#2301", false},
            {"code with letters", "ana", "#CB01", true},
            {"code in other case", "ana", "#cb01", false},
            {"user name in other case is the same user", "JOAO", "#2301", false},
            {"unknown code", "ana", "#9999", false},
        };
        for (const auto& r : rows)
            QTest::newRow(r.row) << QString(r.user) << QString(r.policy) << r.granted;
    }
    void policiesOfTheDemoUsers() {
        QFETCH(QString, user);
        QFETCH(QString, policy);
        QFETCH(bool, granted);
        DemoFixture demo;
        demo.exec(
            {"INSERT INTO tbSecurityPolicies (code, descrit, users_groups) VALUES "
             "('#CB01', 'x', 'G-CONTAB')"});
        ScopedServicesRecorder services;
        QCOMPARE(CheckSecurityPolicy(user, policy), granted);
        QVERIFY(services->reports.isEmpty());
    }

    void quoteInTheUserNameNeitherBreaksNorInjects_data() {
        QTest::addColumn<QString>("user");
        QTest::newRow("a quote in the name") << "O'Neil";
        // Read unescaped, this would find ana's groups, which open the window.
        QTest::newRow("an injection attempt is just a name") << "x' OR tbUsers.descrit = 'ana";
    }
    void quoteInTheUserNameNeitherBreaksNorInjects() {
        QFETCH(QString, user);
        DemoFixture demo;
        QString name = user;
        demo.exec({"INSERT INTO tbGroups (group_id, code, descrit) VALUES (91, 'G-D''AVILA', 'x')",
                   "INSERT INTO tbUsers (user_id, code, descrit) VALUES (91, 'U-O''NEIL', '" +
                       name.replace("'", "''") + "')",
                   "INSERT INTO tbGroups_Users_Links (group_id, user_id) VALUES (91, 91)",
                   "INSERT INTO tbSecurityPolicies (code, descrit, users_groups) VALUES "
                   "('#7001', 'x', 'G-D''AVILA')"});
        ScopedServicesRecorder services;
        // The user's only group holds #7001 alone: a user whose groups hold
        // neither policy of the window.
        QVERIFY(!CheckSecurityPolicy(user, "#2301"));
        QVERIFY(CheckSecurityPolicy(user, "#7001"));
        QVERIFY(services->reports.isEmpty());
    }

    void unreadableTableDeniesAndCachesNothing_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("procedure");
        QTest::newRow("policies") << "tbSecurityPolicies"
                                  << "CheckSecurityPolicy";
        QTest::newRow("group links") << "tbGroups_Users_Links"
                                     << "ReadPermitionsDef";
    }
    void unreadableTableDeniesAndCachesNothing() {
        QFETCH(QString, table);
        QFETCH(QString, procedure);
        DemoFixture demo;
        demo.exec({"ALTER TABLE " + table + " RENAME TO tbFora"});
        ScopedServicesRecorder services;
        QVERIFY(!CheckSecurityPolicy("joao", "#2302"));
        QCOMPARE(services->reports.size(), 1);
        const QStringList texts = services->reports.first().texts;
        QCOMPARE(texts.at(2), QStringLiteral("modCheckPermissions"));
        QCOMPARE(texts.at(3), procedure);
        QVERIFY2(texts.at(4).startsWith("Error Number = -2147217900 | Description = "),
                 qPrintable(texts.at(4)));
        // Once the table is back, joao's own policies are read.
        demo.exec({"ALTER TABLE tbFora RENAME TO " + table});
        QVERIFY(CheckSecurityPolicy("joao", "#2302"));
        QVERIFY(!CheckSecurityPolicy("joao", "#2301"));
    }
};

QTEST_MAIN(TestPermissions)
#include "tst_permissions.moc"
