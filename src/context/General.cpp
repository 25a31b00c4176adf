#include "context/General.h"

#include "common/Registry.h"
#include "context/Context.h"
#include "context/ServerRace.h"
#include "platform/services/ErrorReport.h"
#include "platform/services/Prompts.h"
#include "security/Permissions.h"
#include "statement/frmMain.h"

#include <orla_contas/ConnectionScrambler.h>

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

}  // namespace

General::General() : frmMain_(std::make_unique<frmMain>()) {}
General::~General() = default;

bool General::Login(const QString& User, const QString& Password) {
    bool result = false;
    Guard(GeneralSite("Login"), [&] {
        ContextValues& c = Context();
        if (c.Connected && SharedConnectionOpen()) {
            result = true;
            return;
        }
        if (!ReadLoginSettings())
            return;
        // Proves the application user's credentials on the configured server.
        Connection trial(BuildConnectionString(User, ConnectionScrambler::Unscramble(Password),
                                               c.cnDataSource, kPlainSeparator));
        if (Try([&] { trial.Open(); }))
            return;
        c.User = User;
        c.Password = Password;
        if (!trial.ConnectionString().isEmpty()) {
            if (!SharedConnectionOpen()) {
                Data().SqlServer.SetConnectionString(
                    BuildConnectionString(c.cnUser, ConnectionScrambler::Unscramble(c.cnPassword),
                                          c.cnDataSource, kPlainSeparator));
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
            CurrentPrompts().MsgBox(
                QStringLiteral("Não tem permissões para abrir este registo, contacte o "
                               "administrador do sistema para que este lhe estabeleça as "
                               "permissões necessárias."),
                vb::Critical | vb::SystemModal, QStringLiteral("Sistema de Segurança"));
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
        ContextValues& c = Context();
        if (c.Connected && SharedConnectionOpen()) {
            result = true;
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
        const QString dbPassword = ConnectionScrambler::Unscramble(c.cnPassword);
        c.MasterConnectionString = ConnectionScrambler::Scramble(
            BuildConnectionString(c.cnUser, dbPassword, c.cnDataSource, kEncryptSeparator));
        c.SecondaryConnectionString = ConnectionScrambler::Scramble(BuildConnectionString(
            c.cnUser, dbPassword, c.cnDataSourceSecondary, kEncryptSeparator));

        const RaceWinner winner =
            RaceServers(ConnectionScrambler::Unscramble(c.MasterConnectionString),
                        c.cnDataSourceSecondary.isEmpty()
                            ? QString()
                            : ConnectionScrambler::Unscramble(c.SecondaryConnectionString));
        if (winner == RaceWinner::None)
            return;
        const bool secondaryWon = winner == RaceWinner::Secondary;

        // Proves the application user's own credentials on the winning server.
        Connection userTrial(BuildConnectionString(
            User, ConnectionScrambler::Unscramble(Password),
            secondaryWon ? c.cnDataSourceSecondary : c.cnDataSource, kEncryptSeparator));
        const std::optional<OrlaError> refused = OpenAndWait(userTrial);
        if (!refused) {
            c.UseSecondary = secondaryWon;
            c.User = User;
            c.Password = Password;
            Data().SqlServer.SetConnectionString(ConnectionScrambler::Unscramble(
                secondaryWon ? c.SecondaryConnectionString : c.MasterConnectionString));
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
