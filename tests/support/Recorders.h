// Test doubles of the platform services: a shared-services recorder and
// scripted prompts, installed for the lifetime of a scope.
#pragma once

#include "platform/services/Prompts.h"
#include "platform/services/SharedServices.h"

#include <QList>
#include <QStringList>

#include <memory>

namespace orla::test {

struct Report {
    QStringList texts;  // product, application, module, procedure, message
};

// Everything the shared services were told, in order.
struct ServicesLog {
    QList<Report> reports;
    QStringList notices;  // "ShowReconnecting", "HideReconnecting", ...
};

class ScopedServicesRecorder {
  public:
    ScopedServicesRecorder();
    ~ScopedServicesRecorder();
    const ServicesLog& log() const { return *log_; }

  private:
    std::shared_ptr<ServicesLog> log_;
    SharedServicesFactory previous_;
};

struct PromptCall {
    QString text;
    QString title;
    int style = 0;
};

// Prompts that answer from a script (vb::OK when it runs out) and record
// every call; an input box answers from `inputs` (empty when it runs out).
class ScriptedPrompts : public Prompts {
  public:
    int MsgBox(const QString& prompt, int style, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;

    QList<int> answers;
    QStringList inputs;
    QList<PromptCall> calls;
};

class ScopedPrompts {
  public:
    ScopedPrompts();
    ~ScopedPrompts();
    ScriptedPrompts& prompts() { return *prompts_; }

  private:
    ScriptedPrompts* prompts_;
};

}  // namespace orla::test
