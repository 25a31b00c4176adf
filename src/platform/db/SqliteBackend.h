// The embedded database: an SQLite file named by the data source. Statements
// are rewritten from SQL Server's dialect; logins are checked against the
// file's logins table as a server would.
#pragma once

#include "platform/db/Backend.h"

namespace orla {

class SqliteBackend : public Backend {
  public:
    using Backend::Backend;
    QString Translate(const QString& sql) const override;

  protected:
    QSqlDatabase Configure(const QString& name, int timeoutSeconds) const override;
    void Connect(QSqlDatabase& db) const override;

  private:
    void CheckLogin(QSqlDatabase& db) const;
};

}  // namespace orla
