#include "Recorders.h"

namespace orla::test {
namespace {

class RecordingServices : public SharedServices {
  public:
    explicit RecordingServices(std::shared_ptr<ServicesLog> log) : log_(std::move(log)) {}
    void ReportError(QString& product, QString& application, QString& module, QString& procedure,
                     QString& message) override {
        log_->reports.append({{product, application, module, procedure, message}});
    }
    void ShowReconnecting(QWidget*) override {
        log_->notices << QStringLiteral("ShowReconnecting");
    }
    void HideReconnecting(QWidget*) override {
        log_->notices << QStringLiteral("HideReconnecting");
    }
    void ReconnectSucceeded(QWidget*) override {
        log_->notices << QStringLiteral("ReconnectSucceeded");
    }
    void ReconnectFailed(QWidget*) override { log_->notices << QStringLiteral("ReconnectFailed"); }

  private:
    std::shared_ptr<ServicesLog> log_;
};

}  // namespace

ScopedServicesRecorder::ScopedServicesRecorder()
    : log_(std::make_shared<ServicesLog>()), previous_(CurrentSharedServicesFactory()) {
    std::shared_ptr<ServicesLog> log = log_;
    CurrentSharedServicesFactory() = [log] { return std::make_unique<RecordingServices>(log); };
}

ScopedServicesRecorder::~ScopedServicesRecorder() {
    CurrentSharedServicesFactory() = previous_;
}

int ScriptedPrompts::MsgBox(const QString& prompt, int style, const QString& title) {
    calls.append({prompt, title, style});
    return answers.isEmpty() ? vb::OK : answers.takeFirst();
}

QString ScriptedPrompts::InputBox(const QString& prompt, const QString& title, const QString&) {
    calls.append({prompt, title, 0});
    return inputs.isEmpty() ? QString() : inputs.takeFirst();
}

ScopedPrompts::ScopedPrompts() {
    auto prompts = std::make_unique<ScriptedPrompts>();
    prompts_ = prompts.get();
    SetPrompts(std::move(prompts));
}

ScopedPrompts::~ScopedPrompts() {
    SetPrompts(nullptr);
}

}  // namespace orla::test
