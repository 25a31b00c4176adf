#include "component/General.h"

#include "common/Registry.h"
#include "context/Context.h"
#include "context/ServerRace.h"
#include "platform/db/ConnectionString.h"
#include "platform/services/ErrorReport.h"
#include "platform/services/QtTranslations.h"
#include "security/Permissions.h"
#include "statement/frmMain.h"

#include <orla_contas/ConnectionScrambler.h>
#include <orla_contas/SecretMemory.h>

namespace orla {
namespace {

ErrorSite GeneralSite(const char* procedure) {
    return {QStringLiteral("General"), QString::fromLatin1(procedure),
            ReportFilter::NotZeroNor3709};
}

// Reads the program key and the database settings, stopping at the first that
// is missing; the values read so far stay in the context.
bool ReadLoginSettings() {
    ContextValues& c = Context();
    const OptionalString programKey =
        ObterValorString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Shared\\OUT"),
                         QStringLiteral("DataServer"));
    if (!programKey)
        return false;
    c.ProgramKey = *programKey;
    const QString key = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\") + c.ProgramKey;
    const std::pair<const char*, QString*> settings[] = {{"dtSecurityInfo", &c.PersistSecurityInfo},
                                                         {"dtUser", &c.cnUser},
                                                         {"dtPassword", &c.cnPassword},
                                                         {"dtInitialCatalog", &c.cnInitialCatalog},
                                                         {"dtDataSource", &c.cnDataSource}};
    for (const auto& [name, field] : settings) {
        const OptionalString value = ObterValorString(key, QString::fromLatin1(name));
        if (!value)
            return false;
        *field = *value;
    }
    return true;
}

bool SharedConnectionOpen() {
    return Data().SqlServer.State() == Connection::adStateOpen;
}

// Makes the user the trial connection proved the context's user. The name comes back from the
// trial's own string, so the rights are computed for exactly the login that was checked; a name
// that did not come back unchanged is refused.
bool TakeProvenUser(Connection& trial, const QString& User, const QString& Password) {
    if (ConnectionString::Parse(trial.ConnectionString()).UserId() != User)
        return false;
    Context().User = User;
    Context().Password = Password;
    return true;
}

// A user other than the connected one: proved with the user's own credentials on the server
// the shared connection uses, never let in on the first user's session.
bool ProveOtherUser(const QString& User, const QString& Password) {
    const ContextValues& c = Context();
    const bool fromSqlConnect = !c.MasterConnectionString.isEmpty();
    Connection trial(BuildConnectionString(
        User, Password, c.UseSecondary ? c.cnDataSourceSecondary : c.cnDataSource,
        fromSqlConnect ? kEncryptSeparator : kPlainSeparator));
    const bool proved = !OpenAndWait(trial) && TakeProvenUser(trial, User, Password);
    trial.Close();
    return proved;
}

// Whether a connect call finds the component connected already; it then answers for the user
// it names (an empty name asks for the connected user).
std::optional<bool> AlreadyConnected(const QString& User, const QString& Password) {
    if (!Context().Connected || !SharedConnectionOpen())
        return std::nullopt;
    if (User.isEmpty() || User == Context().User)
        return true;
    return ProveOtherUser(User, Password);
}

}  // namespace

General::General() {
    InstallQtTranslations();  // Qt's standard buttons and dialogs speak Portuguese too
    frmMain_ = std::make_unique<frmMain>();
}
General::~General() = default;

bool General::Login(const QString& User, const QString& Password) {
    bool result = false;
    Guard(GeneralSite("Login"), [&] {
        DisableCoreDumps();  // passwords are held from here on
        ContextValues& c = Context();
        if (const std::optional<bool> connected = AlreadyConnected(User, Password)) {
            result = *connected;
            return;
        }
        if (!ReadLoginSettings())
            return;
        // Proves the application user's credentials on the configured server.
        Connection trial(BuildConnectionString(User, Password, c.cnDataSource, kPlainSeparator));
        if (Try([&] { trial.Open(); }) || !TakeProvenUser(trial, User, Password)) {
            trial.Close();
            return;
        }
        if (!trial.ConnectionString().isEmpty()) {
            if (!SharedConnectionOpen()) {
                Data().SqlServer.SetConnectionString(
                    BuildConnectionString(c.cnUser, c.cnPassword, c.cnDataSource, kPlainSeparator));
                Data().SqlServer.Open();
            }
            c.Connected = true;
            result = true;
        }
        trial.Close();
    });
    return result;
}

void General::Show() {
    Guard(GeneralSite("Show"), [&] {
        if (!Login(QString(), QString()))
            return;
        if (!CheckSecurityPolicy(Context().User, QStringLiteral("#2301"))) {
            ShowNoPermission();
            return;
        }
        if (!frmMain_->IsLoaded())
            frmMain_->Load();
        frmMain_->show();
        frmMain_->raise();
    });
}

bool General::SQLConnect(const QString& User, const QString& Password, const QString& cnUser,
                         const QString& cnPassword, const QString& cnInitialCatalog,
                         const QString& cnDataSource, const QString& cnDataSourceSecondary,
                         qint32 Flags) {
    bool result = false;
    Guard(GeneralSite("SQLConnect"), [&] {
        DisableCoreDumps();  // passwords are held from here on
        ContextValues& c = Context();
        if (const std::optional<bool> connected = AlreadyConnected(User, Password)) {
            result = *connected;
            return;
        }
        if (Flags == 0)
            c.ProgramKey = QStringLiteral("Contabilidade");
        if (Flags == 1)
            c.ProgramKey = QStringLiteral("Salvian");
        c.PersistSecurityInfo = QStringLiteral("False");
        c.cnUser = cnUser;
        c.cnPassword = cnPassword;
        c.cnInitialCatalog = cnInitialCatalog;
        c.cnDataSource = cnDataSource;
        c.cnDataSourceSecondary =
            cnDataSourceSecondary == cnDataSource ? QString() : cnDataSourceSecondary;
        c.UseSecondary = false;
        c.MasterConnectionString =
            BuildConnectionString(c.cnUser, c.cnPassword, c.cnDataSource, kEncryptSeparator).text;
        c.SecondaryConnectionString =
            BuildConnectionString(c.cnUser, c.cnPassword, c.cnDataSourceSecondary,
                                  kEncryptSeparator)
                .text;

        const RaceWinner winner = RaceServers(
            {c.MasterConnectionString},
            {c.cnDataSourceSecondary.isEmpty() ? QString() : c.SecondaryConnectionString});
        if (winner == RaceWinner::None)
            return;
        const bool secondaryWon = winner == RaceWinner::Secondary;

        // Proves the application user's own credentials on the winning server.
        Connection userTrial(BuildConnectionString(
            User, Password, secondaryWon ? c.cnDataSourceSecondary : c.cnDataSource,
            kEncryptSeparator));
        if (!OpenAndWait(userTrial) && TakeProvenUser(userTrial, User, Password)) {
            c.UseSecondary = secondaryWon;
            Data().SqlServer.SetConnectionString(ScrambledString{
                secondaryWon ? c.SecondaryConnectionString : c.MasterConnectionString});
            Data().SqlServer.Open();
            c.Connected = true;
            result = true;
        }
        userTrial.Close();
    });
    return result;
}

}  // namespace orla

extern "C" {

orla::GeneralInterface* OrlaContas_CreateGeneral() {
    return new orla::General();
}

void OrlaContas_ReleaseGeneral(orla::GeneralInterface* general) {
    delete general;
}
}
