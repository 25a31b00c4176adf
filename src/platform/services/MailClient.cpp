#include "platform/services/MailClient.h"

#include "platform/Folders.h"
#include "platform/SharedFiles.h"
#include "platform/services/Prompts.h"
#include "platform/services/Shell.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>
#include <optional>

namespace orla {
namespace {

const QByteArray kCrLf("\r\n");

// Every line break the body may hold ("\n\r" as the system writes it, CR LF, LF) as one LF.
QString WithLineFeeds(QString text) {
    text.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// Base64 in lines of 76 characters, each ended by CR LF.
QByteArray Base64Lines(const QByteArray& bytes) {
    const QByteArray encoded = bytes.toBase64();
    QByteArray lines;
    for (qsizetype at = 0; at < encoded.size(); at += 76)
        lines += encoded.mid(at, 76) + kCrLf;
    return lines;
}

// A header value: as it is when plain ASCII, else UTF-8 encoded words of at
// most 75 characters, folded onto lines of their own.
QByteArray HeaderText(const QString& text) {
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() >= 0x20 && c.unicode() < 0x7F;
    if (ascii)
        return text.toLatin1();
    QByteArrayList words;
    QByteArray chunk;
    // A character at a time, a surrogate pair (an emoji) being one: a word
    // never splits a character.
    for (qsizetype at = 0; at < text.size(); ++at) {
        const qsizetype units =
            text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate() ? 2
                                                                                                : 1;
        chunk += QStringView(text).mid(at, units).toUtf8();
        at += units - 1;
        if (chunk.size() >= 42) {
            words << "=?UTF-8?B?" + chunk.toBase64() + "?=";
            chunk.clear();
        }
    }
    if (!chunk.isEmpty())
        words << "=?UTF-8?B?" + chunk.toBase64() + "?=";
    return words.join(kCrLf + ' ');
}

QByteArray ContentType(const QString& name) {
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return "application/pdf";
    if (suffix == QLatin1String("doc"))
        return "application/msword";
    return "application/octet-stream";
}

// The attachment's name as a bare file name, never a path.
QString AttachmentFileName(const MailMessage& message) {
    const QString name = QFileInfo(message.attachmentName).fileName();
    return name.isEmpty() || name.startsWith(QLatin1Char('.'))
               ? QFileInfo(message.attachmentPathName).fileName()
               : name;
}

void Tell(const QString& text, QWidget* owner) {
    if (HasDisplay())
        CurrentPrompts().MsgBox(text, vb::Exclamation,
                                owner ? owner->windowTitle() : QCoreApplication::applicationName());
    else
        std::fprintf(stderr, "%s\n", qUtf8Printable(text));
}

// xdg-email opens the desktop's mail program with the message ready; when it is
// missing or fails (it does on a machine without a desktop), a draft of the
// message is written and opened instead. Both work on a copy of the attachment
// under its own name, in a folder of this program's own in the user's private
// temporary folder. The folder goes at once when nothing could be handed to a
// mail program; once handed, the mail program reads it later, and a later run
// removes it (RemoveStaleWorkFolders).
class DesktopMail : public MailClient {
  public:
    void Send(const MailMessage& message, QWidget* owner) override {
        // A new folder of the user's own (mode 0700, a fresh name): nothing can stand in it.
        QString why;
        const QString temp = PrivateTempPath(&why);
        std::optional<QTemporaryDir> folder;
        if (!temp.isEmpty()) {
            folder.emplace(temp + QStringLiteral("/orla-mail-XXXXXX"));
            if (!folder->isValid())
                why = folder->errorString();
        }
        if (!why.isEmpty()) {
            Tell(QStringLiteral("Não foi possível preparar a mensagem: %1").arg(why), owner);
            return;
        }
        const QFileInfo source(message.attachmentPathName);
        const std::optional<QByteArray> bytes =
            SharedFolder(source.absolutePath()).read(source.fileName());
        if (!bytes) {
            Tell(QStringLiteral("Não foi possível ler o anexo %1.").arg(source.filePath()), owner);
            return;
        }
        const QString attachment = folder->filePath(AttachmentFileName(message));
        if (!WriteNew(attachment, *bytes)) {
            Tell(QStringLiteral("Não foi possível escrever o anexo %1.").arg(attachment), owner);
            return;
        }
        const QString draft = folder->filePath(QStringLiteral("Mensagem.eml"));
        const QByteArray draftBytes = MailDraft(message, *bytes, qEnvironmentVariable("EMAIL"));
        const QString xdgEmail = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
        if (xdgEmail.isEmpty()) {
            folder->setAutoRemove(!OpenDraft(draft, draftBytes, owner));
            return;
        }
        // The mail program reads the files after this returns.
        folder->setAutoRemove(false);
        // The text goes as arguments of their own, never through a shell. xdg-email
        // has no way to ask for a receipt: the draft, when it is needed, has it.
        QStringList arguments{QStringLiteral("--utf8"),
                              QStringLiteral("--subject"),
                              message.subject,
                              QStringLiteral("--body"),
                              WithLineFeeds(message.noteText),
                              QStringLiteral("--attach"),
                              attachment};
        if (!message.recipAddress.isEmpty())
            arguments << message.recipAddress;
        auto* process = new QProcess;
        process->setStandardInputFile(QProcess::nullDevice());
        QPointer<QWidget> window(owner);
        const auto fallBack = [process, draft, draftBytes, window,
                               made = folder->path()](bool failed) {
            process->deleteLater();
            if (failed && !OpenDraft(draft, draftBytes, window))
                QDir(made).removeRecursively();
        };
        QObject::connect(process, &QProcess::finished, qApp,
                         [fallBack](int code, QProcess::ExitStatus status) {
                             fallBack(status != QProcess::NormalExit || code != 0);
                         });
        QObject::connect(process, &QProcess::errorOccurred, qApp,
                         [fallBack](QProcess::ProcessError error) {
                             if (error == QProcess::FailedToStart)
                                 fallBack(true);
                         });
        process->start(xdgEmail, arguments);
    }

  private:
    static bool WriteNew(const QString& path, const QByteArray& bytes) {
        return WriteWholeFile(path, bytes, Placement::Private) == 0;
    }

    // True when the shell was handed the draft.
    static bool OpenDraft(const QString& draft, const QByteArray& bytes, QWidget* owner) {
        if (!WriteNew(draft, bytes)) {
            Tell(QStringLiteral("O programa de correio não abriu e não foi possível escrever a "
                                "mensagem em %1.")
                     .arg(draft),
                 owner);
            return false;
        }
        // The shell tells the user when nothing can open it, with the draft's path.
        return CurrentShell().ShellExecute(QStringLiteral("open"), draft, QFileInfo(draft).path(),
                                           owner);
    }
};

}  // namespace

MailClient::~MailClient() = default;

template <>
std::unique_ptr<MailClient> MakeDefaultService<MailClient>() {
    return std::make_unique<DesktopMail>();
}
template class ServiceSlot<MailClient>;

QByteArray MailDraft(const MailMessage& message, const QByteArray& attachment,
                     const QString& from) {
    const QByteArray boundary =
        "=_orla_" + QByteArray::number(QRandomGenerator::global()->generate64(), 16);
    const QString name = AttachmentFileName(message);
    QByteArray draft;
    const auto header = [&draft](const QByteArray& field, const QByteArray& value) {
        draft += field + ": " + value + kCrLf;
    };
    // Mail programs open a draft marked unsent ready to be edited and sent.
    header("X-Unsent", "1");
    if (!message.recipAddress.isEmpty())
        header("To", HeaderText(message.recipAddress));
    header("Subject", HeaderText(message.subject));
    if (message.receiptRequested && !from.isEmpty())
        header("Disposition-Notification-To", HeaderText(from));
    header("MIME-Version", "1.0");
    header("Content-Type", "multipart/mixed; boundary=\"" + boundary + '"');
    draft += kCrLf + "--" + boundary + kCrLf;
    header("Content-Type", "text/plain; charset=UTF-8");
    header("Content-Transfer-Encoding", "base64");
    draft += kCrLf + Base64Lines(WithLineFeeds(message.noteText)
                                     .replace(QLatin1Char('\n'), QLatin1String("\r\n"))
                                     .toUtf8());
    draft += "--" + boundary + kCrLf;
    header("Content-Type", ContentType(name) + "; name=\"" + HeaderText(name) + '"');
    header("Content-Disposition", "attachment; filename=\"" + HeaderText(name) + '"');
    header("Content-Transfer-Encoding", "base64");
    draft += kCrLf + Base64Lines(attachment);
    draft += "--" + boundary + "--" + kCrLf;
    return draft;
}

}  // namespace orla
