#include "platform/db/Connection.h"

#include "platform/db/Backend.h"

#include <orla_contas/ConnectionScrambler.h>
#include <orla_contas/SecretMemory.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

namespace orla {
namespace {

// Opens run on a pool of their own, so a slow server never starves other work.
QThreadPool& OpenPool() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool();
        p->setMaxThreadCount(8);
        return p;
    }();
    return *pool;
}

}  // namespace

Connection::Connection() = default;

Connection::Connection(const QString& connectionString)
    : connectionString_{ConnectionScrambler::Scramble(connectionString)} {}

Connection::Connection(const ScrambledString& connectionString)
    : connectionString_(connectionString) {}

Connection::~Connection() = default;

QString Connection::ConnectionString() const {
    QString plain = ConnectionScrambler::Unscramble(connectionString_.text);
    const orla::ConnectionString settings = orla::ConnectionString::Parse(plain);
    if (!opened_ || settings.PersistSecurityInfo())
        return plain;
    Wipe(plain);
    return settings.WithoutPassword();
}

void Connection::SetConnectionString(const ScrambledString& text) {
    if (State() != adStateClosed)
        throw err::ObjectOpen();
    connectionString_ = text;
    opened_ = false;
}

int Connection::State() {
    if (pending_.isValid()) {
        if (!pending_.isFinished())
            return adStateConnecting;
        FinishAsyncOpen();
    }
    return backend_ && backend_->IsOpen() ? adStateOpen : adStateClosed;
}

void Connection::Open(int options) {
    if (State() != adStateClosed)
        throw err::ObjectOpen();
    asyncError_.reset();
    QString plain = ConnectionScrambler::Unscramble(connectionString_.text);
    const orla::ConnectionString settings = orla::ConnectionString::Parse(plain);
    Wipe(plain);
    if (settings.DataSource().trimmed().isEmpty())
        throw OrlaError(err::kProviderFailure,
                        QStringLiteral("[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does "
                                       "not exist or access denied."));
    backend_ = ServiceSlot<BackendFactory>::Current().Make(settings);
    if (options != adOptionUnspecified && (options & adAsyncConnect)) {
        // The worker only proves the server and login on a connection of its
        // own; the usable connection is opened here, on the owner's thread.
        std::shared_ptr<const Backend> backend = backend_;
        const int timeout = timeout_;
        pending_ = QtConcurrent::run(
            &OpenPool(), [backend, timeout] { return Try([&] { backend->Probe(timeout); }); });
        return;
    }
    backend_->Open(timeout_);
    opened_ = true;
}

void Connection::FinishAsyncOpen() {
    std::optional<OrlaError> failure = pending_.result();
    pending_ = {};
    if (!failure)
        failure = Try([&] { backend_->Open(timeout_); });
    opened_ = opened_ || !failure;
    asyncError_ = failure;
}

std::optional<OrlaError> Connection::AsyncError() {
    State();
    return asyncError_;
}

void Connection::Close() {
    // An open still running is abandoned: its worker keeps its own backend alive.
    pending_ = {};
    if (backend_)
        backend_->Close();
}

std::optional<qint64> Connection::DataVersion() {
    return State() == adStateOpen ? backend_->DataVersion() : std::nullopt;
}

Backend& Connection::OpenBackend() {
    if (State() != adStateOpen)
        throw err::ConnectionClosed();
    return *backend_;
}

ConsistentRead::ConsistentRead(Connection& connection) {
    if (connection.State() == Connection::adStateOpen && connection.backend_->BeginConsistentRead())
        backend_ = connection.backend_;
}

ConsistentRead::~ConsistentRead() {
    if (backend_)
        backend_->EndConsistentRead();
}

WriteTransaction::WriteTransaction(Connection& connection) {
    connection.OpenBackend().BeginWrite();
    backend_ = connection.backend_;
}

WriteTransaction::~WriteTransaction() {
    if (backend_)
        backend_->EndWrite(false);
}

void WriteTransaction::Commit() {
    std::shared_ptr<Backend> backend = std::move(backend_);
    backend->EndWrite(true);
}

void WaitWhile(const std::function<bool()>& busy) {
    while (busy()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
}

void WaitWhileConnecting(Connection& connection) {
    WaitWhile([&] { return connection.State() == Connection::adStateConnecting; });
}

}  // namespace orla
