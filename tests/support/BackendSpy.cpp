#include "BackendSpy.h"

#include "platform/db/SqliteBackend.h"

#include <QThread>

namespace orla::test {
namespace {

class SpyBackend : public SqliteBackend {
  public:
    SpyBackend(const ConnectionString& settings, std::shared_ptr<BackendSpy::Shared> shared)
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
    std::shared_ptr<BackendSpy::Shared> shared_;
};

}  // namespace

std::unique_ptr<Backend> BackendSpy::Make(const ConnectionString& settings) const {
    if (settings.EmbeddedPath().isEmpty())
        return BackendFactory::Make(settings);
    return std::make_unique<SpyBackend>(settings, shared_);
}

void BackendSpy::setBehaviour(const QString& dataSource, ServerBehaviour behaviour) {
    QMutexLocker lock(&shared_->mutex);
    shared_->behaviours.insert(dataSource, behaviour);
}

QStringList BackendSpy::attempts() const {
    QMutexLocker lock(&shared_->mutex);
    return shared_->attempts;
}

QList<int> BackendSpy::timeouts() const {
    QMutexLocker lock(&shared_->mutex);
    return shared_->timeouts;
}

}  // namespace orla::test
