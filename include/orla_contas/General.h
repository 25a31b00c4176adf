// The component's one public class, General: a host creates it through the
// plain C factory below (after dlopen of liborla_contas), connects it with
// SQLConnect or Login, and asks it to Show the bank-account window.
#pragma once

#include <QString>

#define ORLA_EXPORT __attribute__((visibility("default")))

namespace orla {

class GeneralInterface {
  public:
    virtual ~GeneralInterface() = default;
    // Connects with the application user's credentials alone, the database
    // location coming from the settings. True when the shared connection is open.
    virtual bool Login(const QString& User, const QString& Password) = 0;
    // Opens the bank-account statement window.
    virtual void Show() = 0;
    // Connects to the database: passwords in scrambled form (ConnectionScrambler).
    // Flags 0 selects the accounting program's settings, 1 Salvian's.
    virtual bool SQLConnect(const QString& User, const QString& Password, const QString& cnUser,
                            const QString& cnPassword, const QString& cnInitialCatalog,
                            const QString& cnDataSource, const QString& cnDataSourceSecondary,
                            qint32 Flags) = 0;
};

}  // namespace orla

extern "C" {
// Creates a General object; release it with OrlaContas_ReleaseGeneral.
ORLA_EXPORT orla::GeneralInterface* OrlaContas_CreateGeneral();
ORLA_EXPORT void OrlaContas_ReleaseGeneral(orla::GeneralInterface* general);
}

// Names of the two entry points, for dlsym.
inline constexpr const char* kOrlaCreateGeneral = "OrlaContas_CreateGeneral";
inline constexpr const char* kOrlaReleaseGeneral = "OrlaContas_ReleaseGeneral";
