// The component-wide context every window reads, and the data environment
// holding the shared connection. Both belong to the loaded component and
// outlive any one General object.
#pragma once

#include "platform/db/Connection.h"

#include <QString>

namespace orla {

struct ContextValues {
    QString User;
    QString Password;  // scrambled, as the host passed it
    bool Connected = false;
    QString PersistSecurityInfo;
    QString cnUser;
    QString cnPassword;  // scrambled
    QString cnInitialCatalog;
    QString cnDataSource;
    QString cnDataSourceSecondary;
    bool UseSecondary = false;
    QString ProgramKey;
    QString MasterConnectionString;     // scrambled
    QString SecondaryConnectionString;  // scrambled
};

ContextValues& Context();

// The shared connection's string before any connect, as the data environment was designed.
inline const QString kDesignConnectionString =
    QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=False;Data Source=SERVER;");

struct DataEnvironment {
    Connection SqlServer{kDesignConnectionString};
};

// The data environment, created on first use.
DataEnvironment& Data();

// The separators written after the password in the two kinds of string.
inline const QString kEncryptSeparator = QStringLiteral(";Encrypt=yes;");
inline const QString kPlainSeparator = QStringLiteral(";");

// A connection string of the system's layout for the context's catalogue, from a scrambled
// password to a scrambled string: the plain password exists only while the string is made.
ScrambledString BuildConnectionString(const QString& login, const QString& scrambledPassword,
                                      const QString& server, const QString& separator);

}  // namespace orla
