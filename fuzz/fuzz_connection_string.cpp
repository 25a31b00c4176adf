// Property: a data source, catalog, user name or password of any bytes (read as UTF-8),
// written into a connection string through ConnectionString::Quote, never adds, drops or
// changes a key: the string parses back to exactly the keys written, each with its value.
#include "platform/db/ConnectionString.h"

#include "FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

using orla::ConnectionString;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const auto next = [&] { return QString::fromStdString(input.ConsumeRandomLengthString(200)); };
    const QString source = next();
    const QString catalog = next();
    const QString user = next();
    const QString password = QString::fromStdString(input.ConsumeRemainingBytesAsString());

    const QString withoutPassword = QStringLiteral("Data Source=") +
                                    ConnectionString::Quote(source) +
                                    QStringLiteral(";Initial Catalog=") +
                                    ConnectionString::Quote(catalog) + QStringLiteral(";User ID=") +
                                    ConnectionString::Quote(user) + QStringLiteral(";Encrypt=yes");
    const QString text = withoutPassword + QStringLiteral(";Password=") +
                         ConnectionString::Quote(password) +
                         QStringLiteral(";Persist Security Info=True");
    const ConnectionString parsed = ConnectionString::Parse(text);

    FUZZ_CHECK(parsed.DataSource() == source);
    FUZZ_CHECK(parsed.InitialCatalog() == catalog);
    FUZZ_CHECK(parsed.UserId() == user);
    FUZZ_CHECK(parsed.Password() == password);
    FUZZ_CHECK(parsed.Encrypt());
    FUZZ_CHECK(parsed.PersistSecurityInfo());
    // The keys, in order and none more: the string again without its password is the one
    // written, with the last key after it.
    FUZZ_CHECK(parsed.WithoutPassword() ==
               withoutPassword + QStringLiteral(";Persist Security Info=True"));
    return 0;
}
