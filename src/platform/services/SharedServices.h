// The suite's shared services: the error reporter and the four notices of a
// reconnection. A new object is made for each use and released after it.
#pragma once

#include <QString>

#include <functional>
#include <memory>

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

using SharedServicesFactory = std::function<std::unique_ptr<SharedServices>()>;

// The factory in use: a logging reporter unless a test installed its double.
SharedServicesFactory& CurrentSharedServicesFactory();
std::unique_ptr<SharedServices> MakeLoggingSharedServices();

// The log file of the default reporter, beside the settings' shadow store.
QString SharedServicesLogPath();

}  // namespace orla
