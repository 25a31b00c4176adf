// Test doubles of the platform services, each put in its service's slot for
// the lifetime of a scope (ScopedService) and the replaced service put back after.
#pragma once

#include "platform/services/FileDialogs.h"
#include "platform/services/MailClient.h"
#include "platform/services/ModalDialogs.h"
#include "platform/services/Prompts.h"
#include "platform/services/SharedServices.h"
#include "platform/services/Shell.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace orla::test {

template <class Service, class Double>
class ScopedService {
  public:
    template <class... Args>
    explicit ScopedService(Args&&... args)
        : double_(new Double(std::forward<Args>(args)...)),
          previous_(ServiceSlot<Service>::Replace(std::unique_ptr<Service>(double_))) {}
    ~ScopedService() { ServiceSlot<Service>::Replace(std::move(previous_)); }
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;

    Double& operator*() const { return *double_; }
    Double* operator->() const { return double_; }

  private:
    Double* double_;  // owned by the slot
    std::unique_ptr<Service> previous_;
};

struct Report {
    QStringList texts;  // product, application, module, procedure, message
};

// Everything the shared services were told, in order.
class RecordingServices : public SharedServices {
  public:
    void ReportError(QString& product, QString& application, QString& module, QString& procedure,
                     QString& message) override;
    void ShowReconnecting(QWidget*) override { notices << QStringLiteral("ShowReconnecting"); }
    void HideReconnecting(QWidget*) override { notices << QStringLiteral("HideReconnecting"); }
    void ReconnectSucceeded(QWidget*) override { notices << QStringLiteral("ReconnectSucceeded"); }
    void ReconnectFailed(QWidget*) override { notices << QStringLiteral("ReconnectFailed"); }

    QList<Report> reports;
    QStringList notices;
};
using ScopedServicesRecorder = ScopedService<SharedServices, RecordingServices>;

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
using ScopedPrompts = ScopedService<Prompts, ScriptedPrompts>;

struct ShellCall {
    QString verb;
    QString file;
    QString workingFolder;
    QPointer<QWidget> owner;
};

// A shell that records every verb asked of it and starts nothing.
class RecordingShell : public Shell {
  public:
    bool ShellExecute(const QString& verb, const QString& file, const QString& workingFolder,
                      QWidget* owner) override {
        calls.append({verb, file, workingFolder, owner});
        return result;
    }

    QList<ShellCall> calls;
    bool result = true;  // what every call answers
};
using ScopedShell = ScopedService<Shell, RecordingShell>;

// A mail program that records every message handed to it and starts nothing.
class RecordingMailClient : public MailClient {
  public:
    void Send(const MailMessage& message, QWidget*) override { messages.append(message); }
    QList<MailMessage> messages;
};
using ScopedMailClient = ScopedService<MailClient, RecordingMailClient>;

// A save-as dialog that answers the next scripted path ("" for cancel, also
// when the script runs out) and records every request.
class ScriptedFileDialogs : public FileDialogs {
  public:
    QString GetSaveFileName(const SaveDialogRequest& request) override {
        requests.append(request);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QString GetOpenFileName(const SaveDialogRequest& request) override {
        return GetSaveFileName(request);
    }

    QStringList answers;
    QList<SaveDialogRequest> requests;
};
using ScopedFileDialogs = ScopedService<FileDialogs, ScriptedFileDialogs>;

// Acts on a dialog as a user would.
using ModalScript = std::function<void(QDialog&)>;

// Instead of blocking in the dialog's event loop, shows the dialog, lets the
// script act on it and returns the dialog's result. A dialog the script left
// open is hidden so that the caller goes on.
class ScriptedModalRunner : public ModalRunner {
  public:
    explicit ScriptedModalRunner(ModalScript script) : script_(std::move(script)) {}
    int Run(QDialog& dialog) override;

    QStringList shown;  // object names of the dialogs shown, in order

  private:
    ModalScript script_;
};
using ScopedModalScript = ScopedService<ModalRunner, ScriptedModalRunner>;

}  // namespace orla::test
