#include "platform/db/Backend.h"

#include "platform/db/OdbcBackend.h"
#include "platform/db/SqliteBackend.h"

#include <QSqlError>

#include <atomic>

namespace orla {

QString NewConnectionName() {
    static std::atomic<quint64> counter{0};
    return QStringLiteral("orla-%1").arg(++counter);
}

Backend::~Backend() {
    Close();
    Forget();
}

void Backend::Forget() {
    if (name_.isEmpty())
        return;
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
    name_.clear();
}

void Backend::Probe(int timeoutSeconds) const {
    const QString name = NewConnectionName();
    std::optional<OrlaError> failure;
    {
        QSqlDatabase db = Configure(name, timeoutSeconds);
        failure = Try([&] { Connect(db); });
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (failure)
        throw *failure;
}

void Backend::Open(int timeoutSeconds) {
    Close();
    Forget();
    name_ = NewConnectionName();
    db_ = Configure(name_, timeoutSeconds);
    Connect(db_);
}

void Backend::Close() {
    if (db_.isValid() && db_.isOpen())
        db_.close();
}

bool Backend::IsOpen() const {
    return db_.isValid() && db_.isOpen();
}

bool Backend::BeginConsistentRead() {
    return IsOpen() && db_.transaction();
}

void Backend::EndConsistentRead() {
    if (!db_.commit())
        db_.rollback();
}

void Backend::BeginWrite() {
    if (!IsOpen() || !db_.transaction())
        throw StatementError(db_.lastError());
}

void Backend::EndWrite(bool commit) {
    if (commit && db_.commit())
        return;
    const QSqlError failure = db_.lastError();
    db_.rollback();
    if (commit)
        throw StatementError(failure);
}

void Backend::Executed(const QString&) {}

OrlaError Backend::StatementError(const QSqlError& error) const {
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    return {err::kCommandFailed, text};
}

BackendFactory::~BackendFactory() = default;

std::unique_ptr<Backend> BackendFactory::Make(const ConnectionString& settings) const {
    if (!settings.EmbeddedPath().isEmpty())
        return std::make_unique<SqliteBackend>(settings);
    return std::make_unique<OdbcBackend>(settings);
}

template <>
std::unique_ptr<BackendFactory> MakeDefaultService<BackendFactory>() {
    return std::make_unique<BackendFactory>();
}
template class ServiceSlot<BackendFactory>;

}  // namespace orla
