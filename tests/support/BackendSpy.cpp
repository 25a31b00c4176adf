#include "BackendSpy.h"

#include "platform/db/SqliteBackend.h"

#include <QThread>

namespace orla::test {
namespace {

class SpyBackend : public SqliteBackend {
  public:
    SpyBackend(const ConnectionString& settings, std::shared_ptr<ScopedBackendSpy::Shared> shared)
        : SqliteBackend(settings), shared_(std::move(shared)) {}

    void Probe(int timeoutSeconds) const override {
        ServerBehaviour behaviour;
        {
            QMutexLocker lock(&shared_->mutex);
            shared_->attempts << Settings().DataSource();
            shared_->timeouts << timeoutSeconds;
            behaviour = shared_->behaviours.value(Settings().DataSource());
        }
        QThread::msleep(behaviour.delayMs);
        if (behaviour.refuse)
            throw OrlaError(err::kProviderFailure, QStringLiteral("Server refused (test)."));
        SqliteBackend::Probe(timeoutSeconds);
    }

  private:
    std::shared_ptr<ScopedBackendSpy::Shared> shared_;
};

}  // namespace

ScopedBackendSpy::ScopedBackendSpy() {
    CurrentBackendFactory() = [shared = shared_, fallback = previous_](const ConnectionString& s) {
        if (s.EmbeddedPath().isEmpty())
            return fallback(s);
        return std::unique_ptr<Backend>(std::make_unique<SpyBackend>(s, shared));
    };
}

void ScopedBackendSpy::setBehaviour(const QString& dataSource, ServerBehaviour behaviour) {
    QMutexLocker lock(&shared_->mutex);
    shared_->behaviours.insert(dataSource, behaviour);
}

QStringList ScopedBackendSpy::attempts() const {
    QMutexLocker lock(&shared_->mutex);
    return shared_->attempts;
}

QList<int> ScopedBackendSpy::timeouts() const {
    QMutexLocker lock(&shared_->mutex);
    return shared_->timeouts;
}

void ScopedBackendSpy::clear() {
    QMutexLocker lock(&shared_->mutex);
    shared_->attempts.clear();
    shared_->timeouts.clear();
}

}  // namespace orla::test
