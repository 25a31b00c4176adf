// A SQL Server reached through ODBC (FreeTDS by default). Statements pass
// through unchanged. The ODBC connection text comes from a template whose
// %DRIVER%, %SERVER%, %DATABASE%, %USER%, %PASSWORD% and %TIMEOUT% fields are
// filled from the connection string, and an encrypted connection is required
// when the string says "Encrypt=yes"; ORLA_ODBC_CONNECT replaces the template
// (and the encryption request with it) and ORLA_ODBC_DRIVER the driver name.
#pragma once

#include "platform/db/Backend.h"

namespace orla {

class OdbcBackend : public Backend {
  public:
    using Backend::Backend;
    QString Translate(const QString& sql) const override { return sql; }
    OrlaError StatementError(const QSqlError& error) const override;
    bool BeginConsistentRead() override;
    void EndConsistentRead() override;
    void BeginWrite() override;
    void EndWrite(bool commit) override;

    // The ODBC connection text for the given timeout.
    QString OdbcConnectText(int timeoutSeconds) const;

  protected:
    QSqlDatabase Configure(const QString& name, int timeoutSeconds) const override;
    void Connect(QSqlDatabase& db) const override;
};

}  // namespace orla
