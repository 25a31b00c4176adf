#include "RecordingMailClient.h"

namespace orla::test {

void RecordingMailClient::Send(const MailMessage& message, QWidget*) {
    messages.append(message);
}

ScopedMailClient::ScopedMailClient() {
    auto client = std::make_unique<RecordingMailClient>();
    client_ = client.get();
    SetMailClient(std::move(client));
}

ScopedMailClient::~ScopedMailClient() {
    SetMailClient(nullptr);
}

}  // namespace orla::test
