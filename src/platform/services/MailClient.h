// Mail: a message composed by the program and handed to the user's mail
// program, where the user reads, changes and sends it. Behind a service so
// that tests record the message instead of starting programs.
#pragma once

#include "platform/ServiceSlot.h"

#include <QString>

class QWidget;

namespace orla {

struct MailMessage {
    QString recipAddress;  // may be empty: the user fills it in
    QString subject;
    QString noteText;            // the body; line breaks as "\n\r", "\r\n" or "\n"
    QString attachmentName;      // the name the recipient sees
    QString attachmentPathName;  // the file attached
    bool receiptRequested = false;
};

class MailClient {
  public:
    virtual ~MailClient();
    // Opens the message in the user's mail program for an interactive send.
    // The owner is the window any message belongs to (may be null).
    virtual void Send(const MailMessage& message, QWidget* owner) = 0;
};

// The desktop's mail program unless a test puts its double in.
extern template class ServiceSlot<MailClient>;

inline MailClient& CurrentMailClient() {
    return ServiceSlot<MailClient>::Current();
}

// The message as an unsent draft (RFC 5322, MIME) with the attachment's bytes
// in base64; a receipt is asked of the sender's address (`from`) when it is known.
QByteArray MailDraft(const MailMessage& message, const QByteArray& attachment, const QString& from);

}  // namespace orla
