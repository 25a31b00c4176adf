// Faults survived, each made for real: the database locked, made read-only, moved away or its
// connection closed, and the settings' folders made unwritable, under the statement window; a
// report locked by another program; a writer killed halfway through a settings file, an export,
// a transfer or an untick.
#include "ScopedLocale.h"
#include "SettingsSandbox.h"
#include "StatementFixture.h"
#include "common/Registry.h"
#include "context/Context.h"
#include "platform/SharedFiles.h"
#include "platform/db/SqliteBackend.h"
#include "platform/db/Values.h"
#include "printing/RtfFill.h"
#include "statement/Reconciliation.h"
#include "statement/frmData.h"
#include "transfers/TransferRead.h"
#include "transfers/TransferWrite.h"
#include "transfers/frmTransferencia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QTest>

#include <algorithm>
#include <cstdio>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace orla;
using namespace orla::test;

namespace {

const QString kKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Contabilidade");
constexpr rlim_t kFileLimit = 64 * 1024;  // what a child killed while writing a file wrote

// Makes the fault; the function returned lifts it (empty when this machine cannot make it).
std::function<void()> MakeFault(const QString& fault, const QString& db) {
    if (fault == "locked") {
        auto locker = std::make_shared<QSqlDatabase>(
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), NewConnectionName()));
        locker->setDatabaseName(db);
        locker->open();
        QSqlQuery(*locker).exec("BEGIN EXCLUSIVE");
        return [locker] { locker->close(); };
    }
    if (fault == "moved") {
        QFile::rename(db, db + ".fora");
        return [db] { QFile::rename(db + ".fora", db); };
    }
    if (fault == "closed") {
        Data().SqlServer.Close();
        return [] {};
    }
    // The database's files, or the settings' folders, refusing writes.
    const QStringList paths =
        fault == "read-only"
            ? QStringList{db, db + "-wal"}
            : QStringList{qEnvironmentVariable("ORLA_COMMON_APPDATA") + "/Nexo Software",
                          qEnvironmentVariable("ORLA_REGISTRY_DIR")};
    const auto writable = [paths] {
        for (const QString& path : paths)
            SetReadOnly(path, false);
    };
    if (std::all_of(paths.begin(), paths.end(),
                    [](const QString& p) { return SetReadOnly(p, true); }))
        return writable;
    writable();
    return {};
}

// Everything the user was told: messages, the errors reported and the reconnection's notices.
QString Said(StatementFixture& f) {
    QStringList said = f.reports().notices;
    for (const PromptCall& call : f.prompts().calls)
        said << call.text;
    for (const Report& report : f.reports().reports)
        said << report.texts.value(4);
    return said.join('|');
}

// With ORLA_FAULT_STOP set, a child stops for good after its first UPDATE, saying so.
class StoppingBackend : public SqliteBackend {
  public:
    using SqliteBackend::SqliteBackend;
    void Executed(const QString& sql) override {
        SqliteBackend::Executed(sql);
        if (!sql.startsWith("UPDATE") || qEnvironmentVariableIsEmpty("ORLA_FAULT_STOP"))
            return;
        std::fputs("a meio\n", stdout);
        std::fflush(stdout);
        for (;;)
            ::pause();
    }
};
struct StoppingFactory : BackendFactory {
    std::unique_ptr<Backend> Make(const ConnectionString& settings) const override {
        return std::make_unique<StoppingBackend>(settings);
    }
};

// A child's write: a setting, or a transfer saved or a reconciliation taken away on the
// database ORLA_FAULT_DB; 0 when it was done.
int RunChild(const QString& job) {
    if (job == "settings")
        return DefinirValorString(kKey, "Conta_ID", "12") ? 0 : 1;
    ScopedService<BackendFactory, StoppingFactory> stopping;
    Connection connection("Data Source=" + qEnvironmentVariable("ORLA_FAULT_DB"));
    connection.Open();
    if (job == "untick")
        return Unreconcile(connection, {1, 1, 901}, WallClock(QDate::currentDate())) ? 0 : 1;
    const std::optional<Transfer> stored = ReadTransfer(connection, 904);
    Transfer changed = stored.value_or(Transfer());
    changed.data = changed.data->addDays(1);
    changed.obs = "Depois";
    return SaveTransfer(connection, 904, stored, changed, {}).outcome != TransferWritten::Written;
}

}  // namespace

class TestFaults : public QObject {
    Q_OBJECT
    ScopedLocale locale_{QStringLiteral("pt_PT")};

  public:
    // The test program run again with ORLA_FAULT_JOB set is a child writer, not the tests.
    static void initMain() {
        if (qEnvironmentVariableIsEmpty("ORLA_FAULT_JOB"))
            return;
        int code = 0, argc = 1;
        char name[] = "tst_faults";
        char* argv[] = {name, nullptr};
        {
            const QCoreApplication app(argc, argv);
            code = RunChild(qEnvironmentVariable("ORLA_FAULT_JOB"));
        }
        std::exit(code);
    }

  private slots:
    // The fault comes while the statement window is open on account 60; the user then ticks a
    // movement, refreshes the list, saves a new transfer or picks the next account. A refused
    // action is told, changes nothing stored and leaves the window showing what is stored; once
    // the fault is lifted the same action works. A closed connection is opened again.
    void theWindowSurvivesFaults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("told");  // part of what the user is told; empty: nothing
        QTest::addColumn<bool>("refused");
        const struct {
            const char *fault, *action, *told;
            bool refused;
        } rows[] = {{"locked", "tick", "database is locked", true},
                    {"locked", "refresh", "", false},
                    {"locked", "save", "database is locked", true},
                    {"read-only", "tick", "disk I/O error", true},
                    {"read-only", "save", "disk I/O error", true},
                    {"moved", "tick", "ReconnectFailed", true},
                    {"moved", "refresh", "ReconnectFailed", true},
                    {"moved", "save", "ReconnectFailed", true},
                    {"closed", "tick", "ReconnectSucceeded", false},
                    {"closed", "refresh", "ReconnectSucceeded", false},
                    {"closed", "save", "ReconnectSucceeded", false},
                    {"unwritable settings", "choose", "Conta_ID", true}};
        for (const auto& r : rows)
            QTest::addRow("%s: %s", r.fault, r.action)
                << r.fault << r.action << r.told << r.refused;
    }
    void theWindowSurvivesFaults() {
        QFETCH(QString, fault);
        QFETCH(QString, action);
        QFETCH(QString, told);
        QFETCH(bool, refused);
        StatementFixture f;
        f.add(1, 901, Day(-6), "8");
        Data().SqlServer.Close();
        Data().SqlServer.SetConnectionTimeout(1);  // a locked write waits a second
        Data().SqlServer.Open();
        f.open();
        f.add(1, 902, Day(-5), "9");               // listed by the next reading
        ScopedModalScript dialog([](QDialog& d) {  // the movement's own date, confirmed
            QTest::mouseClick(dynamic_cast<frmData&>(d).Command1, Qt::LeftButton);
        });
        QComboBox* accounts = f.window().FXConta_ID;
        if (action == "choose")
            QTest::keyClick(accounts, Qt::Key_Down);  // an account remembered
        QPointer<frmTransferencia> w = AbrirTransferencia(&f.window(), 0, 60);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->FXDestino_ID->setCurrentIndex(w->FXDestino_ID->findData(8));
        QTest::mouseClick(w->FXValor, Qt::LeftButton);
        QTest::keyClick(w->FXValor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w->FXValor, "80");
        const auto act = [&] {
            if (action == "tick")
                f.clickCheckBox(f.row("#11901"));
            else if (action == "refresh")
                QTest::mouseClick(f.window().FXConcil_Only, Qt::LeftButton);
            else if (action == "save")
                QTest::mouseClick(w->Command1, Qt::LeftButton);
            else
                QTest::keyClick(accounts, Qt::Key_Down);
        };
        const auto done = [&] {  // in the database or the settings, and the window shows it
            if (action == "tick")
                return f.window().ListModel()->Row(f.row("#11901")).checked &&
                       f.value(
                           "SELECT data_debito FROM tbDocumentos_Recibos WHERE recibo_id = "
                           "901") == Day(-6, "00:00:00");
            if (action == "save")
                return !w->isVisible() &&
                       f.value(
                           "SELECT COUNT(*) FROM tbContas_Bancarias_Transferencias WHERE "
                           "valor = 80") == 1;
            if (action == "choose")
                return ObterValorString(kKey, "Conta_ID") == accounts->currentData().toString();
            return f.row("#11902") >= 0;
        };
        std::function<void()> lift = MakeFault(fault, f.path());
        const auto lifted = qScopeGuard([&] {
            if (lift)
                lift();
        });
        if (!lift)
            QSKIP("only the root user can make a file that is open already refuse writes");
        act();
        const QString said = Said(f);
        QVERIFY2(told.isEmpty() ? said.isEmpty() : said.contains(told), qPrintable(said));
        if (refused) {
            std::exchange(lift, nullptr)();
            QVERIFY(!done() && w->isVisible() && (action == "choose" || f.row("#11901") >= 0));
            act();
        }
        QVERIFY2(done(), qPrintable(Said(f)));
    }

    // Another program holds the report with a lock on it, as LibreOffice does: the report is
    // not replaced ("Tem uma impressão aberta…" follows), and once the lock is gone it is.
    void aReportLockedByAnotherProgramIsKept() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Extrato_Conta.doc");
        WriteAll(path, "{\\rtf1 velho}");
        UniqueFd held(::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC));
        struct flock lock {};
        lock.l_type = F_WRLCK;  // held by the open file, so it stands against this process too
        QCOMPARE(::fcntl(held.get(), F_OFD_SETLK, &lock), 0);
        const auto refused = Try([&] { WriteReportFile(path, "{\\rtf1 novo}"); });
        QVERIFY(refused && refused->number == err::kPermissionDenied);
        QCOMPARE(ReadAll(path), "{\\rtf1 velho}");
        held = UniqueFd();
        WriteReportFile(path, "{\\rtf1 novo}");
        QCOMPARE(ReadAll(path), "{\\rtf1 novo}\r\n");
    }

    // A child writer is killed: a file's by the kernel once it has written kFileLimit bytes of
    // the new file, a database's after its first UPDATE. The old file or row stays byte for
    // byte (the new file's temporary, beside it, holds what was written); run again, it works.
    void aKilledWriterLeavesTheOldData_data() {
        QTest::addColumn<QString>("job");
        QTest::addColumn<QString>("what");  // the file, in the common folder, or the row's query
        QTest::newRow("settings") << "settings"
                                  << "Nexo Software/RegShadow.db";
        QTest::newRow("export") << "export"
                                << "e.csv";
        QTest::newRow("transfer") << "transfer"
                                  << "SELECT data || obs FROM "
                                     "tbContas_Bancarias_Transferencias WHERE trf_id = 904";
        QTest::newRow("untick") << "untick"
                                << "SELECT data_documento || data_debito FROM "
                                   "tbDocumentos_Recibos WHERE recibo_id = 901";
    }
    void aKilledWriterLeavesTheOldData() {
        QFETCH(QString, job);
        QFETCH(QString, what);
        StatementFixture f;
        f.add(1, 901, Day(-6), "8", Day(-2));
        f.exec(
            {"INSERT INTO tbContas_Bancarias_Transferencias (trf_id, data, data_destino, "
             "origem_id, destino_id, valor, obs, modo_pagamento_id) VALUES (904, '" +
                 Day(-3) + "', '" + Day(-3) + "', 60, 8, 75, 'Antes', 5)",
             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1500) "
             "INSERT INTO tbDocumentos_Recibos (recibo_id, armazem_id, documento_no, data, "
             "data_documento, contacto_id, conta_id, modo_pagamento_id, valor, referencia) "
             "SELECT 5000 + i, 1, 'R ' || i, '" +
                 Day(-3) + "', '" + Day(-3) + "', 1, 1, 1, 10, 'REF' FROM n"});
        // Settings long enough that a rewrite passes the limit, as the export of 1,500 receipts.
        QByteArray store;
        for (int i = 0; i < 2000; ++i)
            store += (kKey + QString(":Valor%1=%2\r\n").arg(i).arg(QString(60, 'x'))).toLatin1();
        const QString common = qEnvironmentVariable("ORLA_COMMON_APPDATA") + '/';
        WriteAll(common + "Nexo Software/RegShadow.db", store);
        WriteAll(common + "e.csv", "velho\r\n");
        const QString path = what.startsWith("SELECT") ? QString() : common + what;
        const auto state = [&] {
            return path.isEmpty() ? f.value(what).toByteArray() : ReadAll(path);
        };
        const QByteArray before = state();
        const ScopedEnv jobName("ORLA_FAULT_JOB", job), db("ORLA_FAULT_DB", f.path()),
            user("ORLA_SENHA", "rui-2024"), login("ORLA_SENHA_BD", "orla-demo");
        QProcess child;
        bool halfway = false;                 // a database's child stopped after its UPDATE
        const auto run = [&](bool stopped) {  // true when the write was done
            const ScopedEnv stop("ORLA_FAULT_STOP", stopped ? "1" : "");
            const bool limited = stopped && !path.isEmpty();
            child.setChildProcessModifier([limited] {
                const rlimit size{kFileLimit, kFileLimit}, core{0, 0};
                ::setrlimit(RLIMIT_CORE, &core);
                if (limited)
                    ::setrlimit(RLIMIT_FSIZE, &size);
            });
            if (job == "export")
                child.start(ORLA_HOST_BINARY,
                            {"--database", f.path(), "--login-bd", "orla", "--utilizador", "rui",
                             "--conta", "1", "--csv", path});
            else
                child.start(QCoreApplication::applicationFilePath(), {});
            while (stopped && path.isEmpty() && !child.canReadLine() && child.waitForReadyRead()) {
            }
            halfway = child.canReadLine() && child.readLine() == "a meio\n";
            if (halfway)
                child.kill();
            return child.waitForFinished(120000) && child.exitStatus() == QProcess::NormalExit &&
                   child.exitCode() == 0;
        };
        QVERIFY(!run(true));
        QVERIFY(child.exitStatus() == QProcess::CrashExit && halfway == path.isEmpty());
        QCOMPARE(state(), before);
        const QFileInfoList files = QFileInfo(path).dir().entryInfoList(QDir::Files | QDir::Hidden);
        QVERIFY(path.isEmpty() ||
                std::any_of(files.begin(), files.end(), [](const QFileInfo& file) {
                    return file.size() == kFileLimit;  // the new file's temporary, killed
                }));
        QVERIFY2(run(false), child.readAllStandardError().constData());
        QVERIFY(state() != before);
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
