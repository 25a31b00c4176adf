// The embedded database: an SQLite file named by the data source. Statements
// are rewritten from SQL Server's dialect; logins are checked against the
// file's logins table as a server would.
#pragma once

#include "platform/db/Backend.h"
#include "platform/db/ServerSemantics.h"
#include "platform/db/SqlServerDialect.h"

namespace orla {

class SqliteBackend : public Backend {
  public:
    using Backend::Backend;
    // False also once the file is no longer where it was opened (removed, renamed, replaced):
    // what is written then would go to a file nobody opens again.
    bool IsOpen() const override;
    QString Translate(const QString& sql) const override;
    void Executed(const QString& sql) override;
    std::optional<qint64> DataVersion() override;
    void BeginWrite() override;

  protected:
    QSqlDatabase Configure(const QString& name, int timeoutSeconds) const override;
    void Connect(QSqlDatabase& db) const override;

  private:
    void CheckLogin(QSqlDatabase& db) const;

    // Registered on each connection this backend opens; only its own one runs statements.
    mutable ServerSession session_;
    // The date columns of the open file, read again whenever its schema changes.
    mutable ColumnTypes columns_;
    mutable std::optional<qint64> schemaVersion_;
};

}  // namespace orla
