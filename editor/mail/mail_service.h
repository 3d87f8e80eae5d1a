// The mail system under the mail client: a store to read (IMAP, POP3 or a
// Maildir folder, chosen by URL) and a transport to send (SMTP). The client
// windows speak only to this interface; the library behind it does MIME and
// the protocols. Calls block: the windows run them off the UI thread (see
// mail_task.h), one at a time; Cancel may be called from any thread.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

namespace vrayu::mail {

// Recipient types of the compose buffer and of fetched messages.
inline constexpr int kRecipientTo = 1;
inline constexpr int kRecipientCc = 2;
// Attachment types: 0 is a data file (the only kind mail carries here).
inline constexpr int kAttachmentDataFile = 0;

struct Recipient {
    int type = kRecipientTo;
    QString name;     // display name ("" when the message gave none)
    QString address;  // e-mail address ("" until resolved)
};

struct Attachment {
    QString name;      // file name shown to the user
    QString path;      // file on disk (outgoing), or "" for a fetched one
    int position = 0;  // character of the note text the attachment stands at
    int type = kAttachmentDataFile;
    QByteArray data;  // decoded contents of a fetched attachment
};

// A message of the store.
struct MailMessage {
    bool unread = true;
    QString senderName;  // display name, else the address
    QString senderAddress;
    QString subject;       // decoded
    QString noteText;      // the first text part, decoded (ISO-8859-1 text keeps its bytes as U+0000..U+00FF)
    QString dateReceived;  // "YYYY/MM/DD HH:MM", local time
    std::vector<Recipient> recipients;
    std::vector<Attachment> attachments;
};

// The compose buffer: what "Send" hands to the transport.
struct OutgoingMessage {
    QString subject;
    QString noteText;
    std::vector<Recipient> recipients;
    std::vector<Attachment> attachments;
    bool returnReceipt = false;
};

// Where the mail lives and who the user is. User name and password are held
// in memory only.
struct Account {
    QString storeUrl;  // "maildir:///home/me/Maildir", "imap://host:143", "imaps://...", "pop3://..."
    QString smtpUrl;   // "smtp://host:587" (STARTTLS when offered), "smtps://host:465"
    QString sender;    // From address of sent mail
    QString userName;
    QString password;
};

// Outcome of a mail call: number 0 is success. A server's refusal carries
// its 3-digit reply code; other failures carry one of the numbers below.
struct MailError {
    int number = 0;
    QString text;
    bool Ok() const { return number == 0; }
};

inline constexpr int kErrorFailure = 1;      // anything else the library reports
inline constexpr int kErrorConnection = 2;   // cannot connect, or the connection dropped
inline constexpr int kErrorTimedOut = 3;     // no answer in time
inline constexpr int kErrorCancelled = 4;    // the user cancelled
inline constexpr int kErrorCertificate = 5;  // the server's certificate does not verify
inline constexpr int kErrorLogin = 6;        // user name or password refused
inline constexpr int kErrorNotLoggedOn = 7;  // no session
inline constexpr int kErrorNoMessage = 8;    // message index out of range
inline constexpr int kErrorAttachment = 9;   // an attachment file cannot be read

class MailService {
public:
    virtual ~MailService() = default;

    // Connects the store and checks the transport (when a SMTP URL is set).
    virtual MailError Logon(const Account& account) = 0;
    virtual MailError Logoff() = 0;
    virtual bool LoggedOn() const = 0;
    // Every message of the inbox, read and unread, in store order.
    virtual MailError Fetch(std::vector<MailMessage>& messages) = 0;
    // Index into the last fetch.
    virtual MailError MarkRead(int index) = 0;
    // Moves the message to the store's trash, or deletes and expunges it
    // where there is none; later indices move down by one.
    virtual MailError Delete(int index) = 0;
    virtual MailError Send(const OutgoingMessage& message) = 0;
    // Abandons the running call (it returns kErrorCancelled).
    virtual void Cancel() = 0;
};

// The libvmime implementation; `timeoutSeconds` bounds every wait on a server.
std::unique_ptr<MailService> CreateMailService(int timeoutSeconds = 30);

// The MIME form of a message as it is sent (for the composer hand-over and tests).
QByteArray BuildMime(const OutgoingMessage& message, const QString& sender, MailError* error = nullptr);
// A message parsed from its MIME form.
MailMessage ParseMime(const QByteArray& mime);

}  // namespace vrayu::mail
