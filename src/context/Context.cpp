#include "context/Context.h"

#include "platform/db/ConnectionString.h"

#include <orla_contas/ConnectionScrambler.h>
#include <orla_contas/SecretMemory.h>

namespace orla {

ContextValues& Context() {
    static ContextValues values;
    return values;
}

DataEnvironment& Data() {
    // Lives as long as the loaded component: never destroyed, so no static
    // destructor runs after the database drivers are gone.
    static DataEnvironment* data = new DataEnvironment;
    return *data;
}

ScrambledString BuildConnectionString(const QString& login, const QString& scrambledPassword,
                                      const QString& server, const QString& separator) {
    // Values are quoted where they must be, so a name holding ";" cannot add a key of its own.
    const auto value = &ConnectionString::Quote;
    QString plain = ConnectionScrambler::Unscramble(scrambledPassword);
    QString password = value(plain);
    Wipe(plain);
    // Appended into room reserved once, so no copy of the password is left behind unwiped.
    QString text;
    text.reserve(512 + password.size() + login.size() + server.size() +
                 Context().cnInitialCatalog.size());
    for (const QString& part :
         {QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info="),
          value(Context().PersistSecurityInfo), QStringLiteral(";User ID="), value(login),
          QStringLiteral(";Password="), password, separator, QStringLiteral("Initial Catalog="),
          value(Context().cnInitialCatalog), QStringLiteral(";Data Source="), value(server),
          QStringLiteral(";Connect Timeout=15")})
        text += part;
    ScrambledString scrambled{ConnectionScrambler::Scramble(text)};
    Wipe(password);
    Wipe(text);
    return scrambled;
}

}  // namespace orla
