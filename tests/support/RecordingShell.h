// A shell that records every verb asked of it and starts nothing, installed
// for the lifetime of a scope.
#pragma once

#include "platform/services/Shell.h"

#include <QList>
#include <QPointer>
#include <QWidget>

namespace orla::test {

struct ShellCall {
    QString verb;
    QString file;
    QString workingFolder;
    QPointer<QWidget> owner;
};

class RecordingShell : public Shell {
  public:
    bool ShellExecute(const QString& verb, const QString& file, const QString& workingFolder,
                      QWidget* owner) override;

    QList<ShellCall> calls;
    bool result = true;  // what every call answers
};

class ScopedShell {
  public:
    ScopedShell();
    ~ScopedShell();
    RecordingShell& shell() { return *shell_; }

  private:
    RecordingShell* shell_;
};

}  // namespace orla::test
