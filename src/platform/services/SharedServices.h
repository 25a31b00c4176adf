// The suite's shared services: the error reporter and the four notices of a
// reconnection.
#pragma once

#include "platform/ServiceSlot.h"

#include <QString>

class QWidget;

namespace orla {

class SharedServices {
  public:
    virtual ~SharedServices();
    virtual void ReportError(QString& product, QString& application, QString& module,
                             QString& procedure, QString& message) = 0;
    virtual void ShowReconnecting(QWidget* form) = 0;
    virtual void HideReconnecting(QWidget* form) = 0;
    virtual void ReconnectSucceeded(QWidget* form) = 0;
    virtual void ReconnectFailed(QWidget* form) = 0;
};

// A reporter that logs (to the error output and to OrlaContas.log beside the
// settings' shadow store) unless a test puts its double in.
extern template class ServiceSlot<SharedServices>;

inline SharedServices& CurrentSharedServices() {
    return ServiceSlot<SharedServices>::Current();
}

}  // namespace orla
