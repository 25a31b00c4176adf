// A connection to the database, as the system uses it: a connection string,
// a timeout, a state (closed 0, open 1, connecting 2), synchronous or
// asynchronous opening, closing and executing statements.
#pragma once

#include "platform/db/Error.h"
#include "platform/db/Recordset.h"

#include <QFuture>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace orla {

class Backend;

// A connection string in the scrambled form in which it is kept in memory.
struct ScrambledString {
    QString text;
};

class Connection {
  public:
    enum State { adStateClosed = 0, adStateOpen = 1, adStateConnecting = 2 };
    static constexpr int adOptionUnspecified = -1;
    static constexpr int adAsyncConnect = 16;

    Connection();
    explicit Connection(const QString& connectionString);
    explicit Connection(const ScrambledString& connectionString);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Once the connection has opened, the password is read back only when the
    // string says "Persist Security Info=True".
    QString ConnectionString() const;
    // Throws 3705 while the connection is open or connecting.
    void SetConnectionString(const ScrambledString& text);
    int ConnectionTimeout() const { return timeout_; }
    void SetConnectionTimeout(int seconds) { timeout_ = seconds; }

    int State();
    // Opens with the present connection string. With adAsyncConnect the open
    // runs on a worker and the state reads connecting until it ends; its
    // failure is then found in AsyncError(). Throws OrlaError on a failed
    // synchronous open.
    void Open(int options = adOptionUnspecified);
    void Close();
    // The failure of the last asynchronous open, once it has ended.
    std::optional<OrlaError> AsyncError();

    // Runs a statement or query; a query's rows come back in the recordset
    // (closed for statements that return none). Throws OrlaError.
    Recordset Execute(const QString& sql);

    // Changes whenever another connection committed a change to the database since the last
    // reading; none when the connection is not open or its server cannot tell.
    std::optional<qint64> DataVersion();

  private:
    friend class Recordset;
    friend class ConsistentRead;
    friend class WriteTransaction;
    Backend& OpenBackend();
    void FinishAsyncOpen();

    // Kept scrambled: the password is plain only while it is handed to the driver.
    ScrambledString connectionString_;
    int timeout_ = 15;
    std::shared_ptr<Backend> backend_;
    QFuture<std::optional<OrlaError>> pending_;
    std::optional<OrlaError> asyncError_;
    bool opened_ = false;  // opened since the string was last set
};

// Several reads that see the database as of one moment, from construction to destruction:
// one read transaction on the embedded database; on SQL Server, snapshot isolation when the
// database allows it, else serializable. Inside a transaction already open it adds nothing.
class ConsistentRead {
  public:
    explicit ConsistentRead(Connection& connection);
    ~ConsistentRead();
    ConsistentRead(const ConsistentRead&) = delete;
    ConsistentRead& operator=(const ConsistentRead&) = delete;

  private:
    std::shared_ptr<Backend> backend_;  // set while a transaction of ours is open
};

// Statements that take effect together or not at all, from construction to Commit(); without
// it, destruction undoes them. What is read inside stays as read until the end. Throws
// OrlaError when the connection is not open or no transaction can be opened.
class WriteTransaction {
  public:
    explicit WriteTransaction(Connection& connection);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;
    // Throws OrlaError when the commit fails; everything is then undone.
    void Commit();

  private:
    std::shared_ptr<Backend> backend_;  // set while the transaction is open
};

// Waits, letting the event loop run, while `busy` answers true.
void WaitWhile(const std::function<bool()>& busy);
// Waits, letting the event loop run, while the connection is connecting.
void WaitWhileConnecting(Connection& connection);

}  // namespace orla
