#include "context/Context.h"

#include "security/Permissions.h"

namespace orla {
namespace {

// The shared connection's string before any connect, as the data environment was designed.
const QString kDesignConnectionString =
    QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=False;Data Source=SERVER;");

}  // namespace

ContextValues& Context() {
    static ContextValues values;
    return values;
}

DataEnvironment::DataEnvironment() : SqlServer(kDesignConnectionString) {}

DataEnvironment& Data() {
    // Lives as long as the loaded component: never destroyed, so no static
    // destructor runs after the database drivers are gone.
    static DataEnvironment* data = new DataEnvironment;
    return *data;
}

void ResetComponentState() {
    Data().SqlServer.Close();
    Data().SqlServer.SetConnectionString(kDesignConnectionString);
    Context() = ContextValues();
    ResetSecurityPolicyCache();
}

QString BuildConnectionString(const QString& login, const QString& plainPassword,
                              const QString& server, const QString& separator) {
    return QLatin1String("Provider=SQLOLEDB.1;") + QLatin1String("Persist Security Info=") +
           Context().PersistSecurityInfo + QLatin1String(";") + QLatin1String("User ID=") + login +
           QLatin1String(";") + QLatin1String("Password=") + plainPassword + separator +
           QLatin1String("Initial Catalog=") + Context().cnInitialCatalog + QLatin1String(";") +
           QLatin1String("Data Source=") + server + QLatin1String(";") +
           QLatin1String("Connect Timeout=15");
}

}  // namespace orla
