// Connection strings in the "Key=Value;Key=Value" form of the original data
// layer. Keys compare without case; the last occurrence of a key wins. A value
// that holds ";", braces or a control character is written braced, as ODBC
// does ("{a;b}}c}" for "a;b}c"), so no name or password can add, drop or
// change a key.
#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace orla {

class ConnectionString {
  public:
    static ConnectionString Parse(const QString& text);
    // A value as it is written after "Key=": itself, or braced when it must be.
    static QString Quote(const QString& value);

    // The value of the key's last occurrence; the password is held scrambled and given plain.
    QString Value(const QString& key) const;
    bool Has(const QString& key) const;

    QString DataSource() const { return Value(QStringLiteral("Data Source")); }
    QString UserId() const { return Value(QStringLiteral("User ID")); }
    QString Password() const { return Value(QStringLiteral("Password")); }
    QString InitialCatalog() const { return Value(QStringLiteral("Initial Catalog")); }
    // "Encrypt=yes" (or "true"): the connection must be encrypted.
    bool Encrypt() const;
    // "Persist Security Info=True" (or "yes"); absent means False.
    bool PersistSecurityInfo() const;
    // The string again, without its password.
    QString WithoutPassword() const;

    // The file of an embedded database ("sqlite:PATH" or a path ending ".db"),
    // or an empty text when the data source names a server.
    QString EmbeddedPath() const;

  private:
    QList<QPair<QString, QString>> pairs_;
};

}  // namespace orla
