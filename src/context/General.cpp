#include "context/General.h"

#include "context/Context.h"
#include "context/ErrorReport.h"
#include "context/ServerRace.h"

#include <orla_contas/ConnectionScrambler.h>

namespace orla {
namespace {

ErrorSite GeneralSite(const char* procedure) {
    return {QStringLiteral("General"), QString::fromLatin1(procedure),
            ReportFilter::NotZeroNor3709};
}

bool SharedConnectionOpen() {
    return Data().SqlServer.State() == Connection::adStateOpen;
}

}  // namespace

General::General() = default;
General::~General() = default;

bool General::Login(const QString&, const QString&) {
    // Connecting from the settings comes with the settings store; until then
    // only a connection already made by SQLConnect counts.
    bool result = false;
    Guard(GeneralSite("Login"), [&] { result = Context().Connected && SharedConnectionOpen(); });
    return result;
}

void General::Show() {
    // The statement window is not part of this build yet: Show only proves the login.
    Guard(GeneralSite("Show"), [&] { Login(QString(), QString()); });
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
