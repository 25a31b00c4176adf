// A mail program that records every message handed to it and starts nothing,
// installed for the lifetime of a scope.
#pragma once

#include "platform/services/MailClient.h"

#include <QList>

namespace orla::test {

class RecordingMailClient : public MailClient {
  public:
    void Send(const MailMessage& message, QWidget* owner) override;
    QList<MailMessage> messages;
};

class ScopedMailClient {
  public:
    ScopedMailClient();
    ~ScopedMailClient();
    RecordingMailClient& client() { return *client_; }

  private:
    RecordingMailClient* client_;
};

}  // namespace orla::test
