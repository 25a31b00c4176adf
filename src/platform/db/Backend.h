// A database backend behind a Connection: the embedded SQLite file or a SQL
// Server reached through ODBC. Each backend owns one Qt Sql connection, used
// only on the thread that opened it.
#pragma once

#include "platform/ServiceSlot.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/Error.h"

#include <QSqlDatabase>

#include <functional>
#include <memory>
#include <optional>

class QSqlError;

namespace orla {

class Backend {
  public:
    explicit Backend(ConnectionString settings) : settings_(std::move(settings)) {}
    virtual ~Backend();
    Backend(const Backend&) = delete;
    Backend& operator=(const Backend&) = delete;

    // Proves that the server can be reached and the login is accepted, on a
    // short-lived connection of its own. Safe to call from a worker thread.
    virtual void Probe(int timeoutSeconds) const;
    // Opens the backend's own connection on the calling thread.
    void Open(int timeoutSeconds);
    void Close();
    virtual bool IsOpen() const;
    QSqlDatabase Database() const { return db_; }

    // Opens a transaction in which the reads that follow see the database as of one moment;
    // false when none was opened (one already open, or a connection that cannot).
    virtual bool BeginConsistentRead();
    // Ends it: committed, or rolled back when the commit fails.
    virtual void EndConsistentRead();

    // Opens a transaction for statements that take effect together: what is read inside it
    // stays as read until the end. Throws OrlaError when none can be opened.
    virtual void BeginWrite();
    // Ends it: committed (throws OrlaError when the commit fails, everything then undone) or
    // rolled back.
    virtual void EndWrite(bool commit);

    // A number that changes whenever another connection committed a change to the database;
    // none when the server cannot tell.
    virtual std::optional<qint64> DataVersion() { return std::nullopt; }

    // The statement as this backend's server understands it.
    virtual QString Translate(const QString& sql) const = 0;
    // Called after a statement ran, with its text as the system wrote it.
    virtual void Executed(const QString& sql);
    // A failure of a statement, with the system's error number.
    virtual OrlaError StatementError(const QSqlError& error) const;

  protected:
    // Creates a named Qt Sql connection configured for this backend (not open).
    virtual QSqlDatabase Configure(const QString& name, int timeoutSeconds) const = 0;
    // Opens a configured connection and checks the login; throws on failure.
    virtual void Connect(QSqlDatabase& db) const = 0;
    const ConnectionString& Settings() const { return settings_; }

  private:
    // Removes the backend's Qt Sql connection, if it made one.
    void Forget();

    ConnectionString settings_;
    QSqlDatabase db_;
    QString name_;
};

// Makes the backend of each connection; a test puts a factory of its own in.
class BackendFactory {
  public:
    virtual ~BackendFactory();
    // SQLite for a connection string naming a file, ODBC otherwise. Called on
    // the thread that opens the connection.
    virtual std::unique_ptr<Backend> Make(const ConnectionString& settings) const;
};

extern template class ServiceSlot<BackendFactory>;

// A process-unique name for a Qt Sql connection.
QString NewConnectionName();

}  // namespace orla
