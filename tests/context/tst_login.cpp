// Login from the settings: the chain of values, the proof of the user's
// credentials, the shared connection on the database login, no reconnection
// afterwards, and the policies of whoever logs in next.
#include "DemoFixture.h"
#include "Recorders.h"
#include "SettingsSandbox.h"
#include "common/Registry.h"
#include "component/General.h"
#include "context/Context.h"
#include "context/SharedConnection.h"
#include "security/Permissions.h"

#include <orla_contas/ConnectionScrambler.h>
#include <orla_contas/SecretMemory.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include <QFile>

#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

const QString kOut = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Shared\\OUT");
const QString kProgram = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Contabilidade");

// Writes the settings a host leaves for Login, leaving out the one named.
void WriteSettings(const QString& database, const QString& missing = QString()) {
    const QList<QPair<QString, QString>> values{
        {"dtSecurityInfo", "False"},
        {"dtUser", "orla"},
        {"dtPassword", ConnectionScrambler::Scramble("orla-demo")},
        {"dtInitialCatalog", "Orla"},
        {"dtDataSource", database}};
    if (missing != "DataServer")
        QVERIFY(DefinirValorString(kOut, "DataServer", "Contabilidade"));
    for (const auto& [name, value] : values) {
        if (name != missing)
            QVERIFY(DefinirValorString(kProgram, name, value));
    }
}

// A demo database and the settings that point Login to it.
struct LoginSetup {
    explicit LoginSetup(const QString& missing = QString()) { WriteSettings(demo.path(), missing); }
    SettingsSandbox folders;
    DemoFixture demo{false};
};

// Whether the text stands anywhere in the process's writable memory, in UTF-8 or UTF-16, apart
// from the copies the search itself holds. Memory is read a piece at a time into a mapping of
// its own, outside what it reads, so the search never finds its own copies.
// AddressSanitizer's shadow of the address space (x86-64): terabytes of its own bookkeeping,
// never our data, and too large to read.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORLA_ASAN_SHADOW
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define ORLA_ASAN_SHADOW
#endif
#ifdef ORLA_ASAN_SHADOW
constexpr quintptr kShadowFrom = 0x7fff8000, kShadowTo = 0x10007fff8000;
#else
constexpr quintptr kShadowFrom = 0, kShadowTo = 0;
#endif

bool InWritableMemory(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const QByteArray utf16(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    const QList<const char*> ours{utf8.constData(), utf16.constData(),
                                  reinterpret_cast<const char*>(text.utf16())};
    const size_t piece = 1 << 20, overlap = 256;
    auto* buffer = static_cast<char*>(
        mmap(nullptr, piece + overlap, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    QFile maps("/proc/self/maps");
    const int memory = open("/proc/self/mem", O_RDONLY);
    bool found =
        buffer == MAP_FAILED || memory < 0 || !maps.open(QIODevice::ReadOnly);  // undecided
    for (const QByteArray& line : found ? QList<QByteArray>() : maps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 2 || !fields[1].startsWith("rw") || line.contains("[v"))
            continue;
        const QList<QByteArray> range = fields[0].split('-');
        const quintptr from = range[0].toULongLong(nullptr, 16);
        const quintptr to = range[1].toULongLong(nullptr, 16);
        if (from >= kShadowFrom && to <= kShadowTo)
            continue;
        for (quintptr at = from; at < to && !found; at += piece) {
            const size_t length = std::min<size_t>(piece + overlap, to - at);
            if (at < quintptr(buffer) + piece + overlap && at + length > quintptr(buffer))
                continue;  // the search's own copies
            const ssize_t got = pread(memory, buffer, length, off_t(at));
            for (const QByteArray* needle : {&utf8, &utf16}) {
                for (char* hit = buffer; got > 0 && !found;) {
                    hit = static_cast<char*>(memmem(hit, size_t(buffer + got - hit),
                                                    needle->constData(), size_t(needle->size())));
                    if (!hit)
                        break;
                    found = !ours.contains(reinterpret_cast<const char*>(at + (hit - buffer)));
                    ++hit;
                }
            }
        }
    }
    if (memory >= 0)
        close(memory);
    if (buffer != MAP_FAILED)
        munmap(buffer, piece + overlap);
    return found;
}

bool LoginAs(const QString& user, const QString& password) {
    General general;
    return general.Login(user, ConnectionScrambler::Scramble(password));
}

}  // namespace

class TestLogin : public QObject {
    Q_OBJECT

  private slots:
    void init() { ResetComponentState(); }
    void cleanup() { ResetComponentState(); }

    // A missing setting ends the chain there; refused credentials leave the
    // settings read. Either way nobody is logged in and nothing is reported.
    void loginRefused_data() {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("catalog");
        const struct {
            const char *row, *missing, *user, *password, *catalog;
        } rows[] = {
            {"no DataServer", "DataServer", "ana", "ana-2024", ""},
            {"no dtDataSource", "dtDataSource", "ana", "ana-2024", "Orla"},
            {"wrong password", "", "ana", "errada", "Orla"},
            // A name never adds a key to the string: each is refused, not read as rui.
            {"a second User ID", "", "x;User ID=rui", "rui-2024", "Orla"},
            {"braces", "", "{rui}", "rui-2024", "Orla"},
        };
        for (const auto& r : rows)
            QTest::newRow(r.row) << QString(r.missing) << QString(r.user) << QString(r.password)
                                 << QString(r.catalog);
    }
    void loginRefused() {
        QFETCH(QString, missing);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, catalog);
        LoginSetup setup(missing);
        ScopedServicesRecorder services;
        QVERIFY(!LoginAs(user, password));
        QCOMPARE(Context().ProgramKey, QString(missing == "DataServer" ? "" : "Contabilidade"));
        QCOMPARE(Context().cnInitialCatalog, catalog);
        QVERIFY(!Context().Connected);
        QVERIFY(Context().User.isEmpty());
        QCOMPARE(Data().SqlServer.State(), int(Connection::adStateClosed));
        QVERIFY(services->reports.isEmpty());
        if (catalog == "Orla") {  // the values read before the failure stay
            QCOMPARE(Context().PersistSecurityInfo, QStringLiteral("False"));
            QCOMPARE(Context().cnUser, QStringLiteral("orla"));
            QCOMPARE(Context().cnPassword, ConnectionScrambler::Scramble("orla-demo"));
        }
    }

    // Once a password is held the process writes no core, and the connection strings that
    // carry the passwords are nowhere in memory in clear.
    void secretsStayOutOfCoresAndMemory() {
        LoginSetup setup;
        QVERIFY(LoginAs("ana", "ana-2024"));
        QCOMPARE(prctl(PR_GET_DUMPABLE), 0);
        rlimit core{};
        QCOMPARE(getrlimit(RLIMIT_CORE, &core), 0);
        QCOMPARE(core.rlim_cur, rlim_t(0));
        const QString key = QStringLiteral("Password=");
        QVERIFY(!InWritableMemory(key + "orla-demo"));
        QVERIFY(!InWritableMemory(key + "ana-2024"));

        qputenv("ORLA_SENHA_TESTE", "ana-2024");
        const char* value = getenv("ORLA_SENHA_TESTE");
        WipeEnvironmentVariable("ORLA_SENHA_TESTE");
        QVERIFY(!qEnvironmentVariableIsSet("ORLA_SENHA_TESTE"));
        QCOMPARE(QByteArray(value, 8), QByteArray(8, '\0'));
    }

    // Once ana is in, a login for someone else proves that user's own credentials: it never
    // passes on ana's session, and the rights follow the user who proved them.
    void anotherUserProvesItself_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("userAfter");
        QTest::newRow("wrong password") << "rui"
                                        << "WRONG" << false << "ana";
        QTest::newRow("crafted name") << "rui;"
                                      << "rui-2024" << false << "ana";
        QTest::newRow("right password") << "rui"
                                        << "rui-2024" << true << "rui";
        QTest::newRow("same user") << "ana"
                                   << "ana-2024" << true << "ana";
    }
    void anotherUserProvesItself() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(bool, result);
        QFETCH(QString, userAfter);
        LoginSetup setup;
        QVERIFY(LoginAs("ana", "ana-2024"));
        QVERIFY(CheckSecurityPolicy(Context().User, "#2302"));
        QCOMPARE(LoginAs(user, password), result);
        QCOMPARE(Context().User, userAfter);
        QCOMPARE(CheckSecurityPolicy(Context().User, "#2302"), userAfter == "ana");
        QCOMPARE(Data().SqlServer.State(), int(Connection::adStateOpen));
    }

    void afterADropOnlyLoginConnectsAgainAndPoliciesFollowTheUser() {
        LoginSetup setup;
        QVERIFY(LoginAs("ana", "ana-2024"));
        QVERIFY(CheckSecurityPolicy(Context().User, "#2301"));
        Data().SqlServer.Close();
        ScopedServicesRecorder services;
        QCOMPARE(CheckSharedConnection(), QString());  // the check never reconnects it
        QCOMPARE(Data().SqlServer.State(), int(Connection::adStateClosed));
        QVERIFY(services->notices.isEmpty());
        QVERIFY(LoginAs("joao", "joao-2024"));
        QCOMPARE(Context().User, QStringLiteral("joao"));
        QVERIFY(!CheckSecurityPolicy(Context().User, "#2301"));  // joao's own, read again
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
