// Watches the opens of embedded-database connections: records every trial
// (asynchronous) open by data source and timeout, and can make a server slow or refuse.
#pragma once

#include "Recorders.h"
#include "platform/db/Backend.h"

#include <QHash>
#include <QMutex>
#include <QStringList>

#include <memory>

namespace orla::test {

struct ServerBehaviour {
    int delayMs = 0;
    bool refuse = false;
};

class BackendSpy : public BackendFactory {
  public:
    std::unique_ptr<Backend> Make(const ConnectionString& settings) const override;
    void setBehaviour(const QString& dataSource, ServerBehaviour behaviour);
    // Data sources of every trial open, in the order they started.
    QStringList attempts() const;
    // The connection timeout of each of those opens, in seconds.
    QList<int> timeouts() const;

    // Shared with the backends made, which probe on worker threads and may outlive the spy.
    struct Shared {
        mutable QMutex mutex;
        QHash<QString, ServerBehaviour> behaviours;
        QStringList attempts;
        QList<int> timeouts;
    };

  private:
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
};
using ScopedBackendSpy = ScopedService<BackendFactory, BackendSpy>;

}  // namespace orla::test
