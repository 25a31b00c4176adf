// Watches the opens of embedded-database connections: records every trial
// (asynchronous) open by data source and timeout, and can make a server slow or refuse.
#pragma once

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

class ScopedBackendSpy {
  public:
    ScopedBackendSpy();
    ~ScopedBackendSpy() { CurrentBackendFactory() = previous_; }
    void setBehaviour(const QString& dataSource, ServerBehaviour behaviour);
    // Data sources of every trial open, in the order they started.
    QStringList attempts() const;
    // The connection timeout of each of those opens, in seconds.
    QList<int> timeouts() const;
    void clear();

    struct Shared {
        mutable QMutex mutex;
        QHash<QString, ServerBehaviour> behaviours;
        QStringList attempts;
        QList<int> timeouts;
    };

  private:
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
    BackendFactory previous_ = CurrentBackendFactory();
};

}  // namespace orla::test
