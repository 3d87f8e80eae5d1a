// MailService over libvmime: stores and transports by URL, MIME built and
// parsed by the library. Every wait on a server goes through a deadline
// that also carries the user's cancel.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QTimeZone>
#include <atomic>
#include <chrono>
#include <mutex>
#include <vmime/net/smtp/SMTPExceptions.hpp>
#include <vmime/platforms/posix/posixHandler.hpp>
#include <vmime/security/cert/certificateException.hpp>
#include <vmime/vmime.hpp>

#include "mail_service.h"

namespace vrayu::mail {
namespace {

namespace cert = vmime::security::cert;
using vmime::net::folder;
using vmime::net::messageSet;

void UsePosixPlatform() {
    static std::once_flag once;
    std::call_once(once, [] { vmime::platform::setHandler<vmime::platforms::posix::posixHandler>(); });
}

std::string Utf8(const QString& s) { return s.toStdString(); }
QString FromUtf8(const std::string& s) { return QString::fromStdString(s); }

// The root certificates of the system's store (Debian's bundle).
std::shared_ptr<cert::defaultCertificateVerifier> SystemVerifier() {
    static const auto verifier = [] {
        auto v = std::make_shared<cert::defaultCertificateVerifier>();
        std::vector<std::shared_ptr<cert::X509Certificate>> roots;
        QFile bundle("/etc/ssl/certs/ca-certificates.crt");
        if (bundle.open(QIODevice::ReadOnly)) {
            const QByteArray all = bundle.readAll();
            static const QByteArray begin = "-----BEGIN CERTIFICATE-----", end = "-----END CERTIFICATE-----";
            for (qsizetype from = all.indexOf(begin); from >= 0; from = all.indexOf(begin, from + 1)) {
                const qsizetype to = all.indexOf(end, from);
                if (to < 0) break;
                const QByteArray pem = all.mid(from, to + end.size() - from);
                try {
                    if (auto c = cert::X509Certificate::import(reinterpret_cast<const vmime::byte_t*>(pem.constData()),
                                                               pem.size()))
                        roots.push_back(c);
                } catch (const vmime::exception&) {
                }
            }
        }
        v->setX509RootCAs(roots);
        return v;
    }();
    return verifier;
}

// Gives up a wait when the server is silent for too long or the user cancelled.
class Deadline : public vmime::net::timeoutHandler {
public:
    Deadline(const std::atomic<bool>& cancelled, int seconds) : cancelled_(cancelled), seconds_(seconds) {}
    bool isTimeOut() override {
        return cancelled_ || std::chrono::steady_clock::now() - start_ > std::chrono::seconds(seconds_);
    }
    void resetTimeOut() override { start_ = std::chrono::steady_clock::now(); }
    bool handleTimeOut() override { return false; }

private:
    const std::atomic<bool>& cancelled_;
    int seconds_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

class DeadlineFactory : public vmime::net::timeoutHandlerFactory {
public:
    DeadlineFactory(const std::atomic<bool>& cancelled, int seconds) : cancelled_(cancelled), seconds_(seconds) {}
    std::shared_ptr<vmime::net::timeoutHandler> create() override {
        return std::make_shared<Deadline>(cancelled_, seconds_);
    }

private:
    const std::atomic<bool>& cancelled_;
    int seconds_;
};

// "maildir:" alone names ~/Maildir.
std::string StoreUrl(const QString& url) {
    if (url.trimmed().isEmpty() || url.trimmed() == "maildir:")
        return Utf8("maildir://localhost" + QDir::homePath() + "/Maildir");
    return Utf8(url.trimmed());
}

// The library reads a Maildir in the Courier layout (inbox in the root
// folder, subfolders ".Name" marked by a "maildirfolder" file) only when it
// finds such a subfolder; otherwise it takes the root for a folder tree
// whose inbox is "inbox". A root that is itself a mail folder gets the usual
// ".Trash" subfolder, as Maildir++ mail programs make it. Returns "" or why
// the folder cannot be used.
QString PrepareMaildir(const QString& root) {
    const QDir dir(root);
    if (!dir.exists("cur") || !dir.exists("new") || !dir.exists("tmp")) return "No Maildir (cur, new, tmp) at " + root;
    for (const QString& sub : dir.entryList({".*"}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        if (QFileInfo::exists(root + '/' + sub + "/maildirfolder")) return {};
    const QString trash = root + "/.Trash";
    for (const char* part : {"/cur", "/new", "/tmp"})
        if (!QDir().mkpath(trash + part)) return "Cannot make the trash folder " + trash;
    QFile marker(trash + "/maildirfolder");
    if (!marker.open(QIODevice::WriteOnly)) return "Cannot make the trash folder " + trash;
    return {};
}

bool Loopback(const vmime::utility::url& url) {
    const std::string& host = url.getHost();
    return host.empty() || host == "localhost" || host == "127.0.0.1" || host == "::1";
}

// TLS when the server offers it, required (so a password never crosses the
// network in clear) unless the server is on this machine; certificates are
// checked against the system's store.
void Configure(vmime::net::service& service, const vmime::utility::url& url, const Account& account,
               const std::atomic<bool>& cancelled, int timeoutSeconds) {
    service.setProperty("connection.tls", true);
    service.setProperty("connection.tls.required", !Loopback(url));
    if (!account.userName.isEmpty()) {
        service.setProperty("options.need-authentication", true);
        service.setProperty("auth.username", Utf8(account.userName));
        service.setProperty("auth.password", Utf8(account.password));
    }
    service.setCertificateVerifier(SystemVerifier());
    service.setTimeoutHandlerFactory(std::make_shared<DeadlineFactory>(cancelled, timeoutSeconds));
}

// The 3-digit reply code at the start of a server's answer, or 0.
int ReplyCode(const std::string& response) {
    if (response.size() >= 3 && std::isdigit(static_cast<unsigned char>(response[0])) &&
        std::isdigit(static_cast<unsigned char>(response[1])) && std::isdigit(static_cast<unsigned char>(response[2])))
        return std::stoi(response.substr(0, 3));
    return 0;
}

template <class F>
MailError Guard(const std::atomic<bool>& cancelled, F&& body) {
    auto fail = [](int number, const QString& text) { return MailError{number, text}; };
    try {
        body();
        return {};
    } catch (const MailError& e) {
        return e;
    } catch (const cert::certificateException& e) {
        return fail(kErrorCertificate,
                    QString("The server's certificate could not be verified against the system's certificate "
                            "store (%1); the connection was refused.")
                        .arg(FromUtf8(e.what())));
    } catch (const vmime::exceptions::operation_timed_out&) {
        if (cancelled) return fail(kErrorCancelled, "Cancelled.");
        return fail(kErrorTimedOut, "The mail server did not answer in time.");
    } catch (const vmime::exceptions::operation_cancelled&) {
        return fail(kErrorCancelled, "Cancelled.");
    } catch (const vmime::exceptions::authentication_error& e) {
        return fail(kErrorLogin, "The user name or password was refused: " + FromUtf8(e.response()).trimmed());
    } catch (const vmime::exceptions::authentication_exception& e) {
        return fail(kErrorLogin, "The user name or password was refused: " + FromUtf8(e.what()));
    } catch (const vmime::net::smtp::SMTPCommandError& e) {
        return fail(e.statusCode() ? e.statusCode() : kErrorFailure,
                    "The server refused: " + FromUtf8(e.response()).trimmed());
    } catch (const vmime::exceptions::command_error& e) {
        const int code = ReplyCode(e.response());
        return fail(code ? code : kErrorFailure, "The server refused: " + FromUtf8(e.response()).trimmed());
    } catch (const vmime::exceptions::socket_exception& e) {
        if (cancelled) return fail(kErrorCancelled, "Cancelled.");
        return fail(kErrorConnection, "The connection to the mail server failed or was lost: " + FromUtf8(e.what()));
    } catch (const vmime::exceptions::tls_exception& e) {
        return fail(kErrorConnection, "The secure connection to the mail server failed: " + FromUtf8(e.what()));
    } catch (const vmime::exception& e) {
        if (cancelled) return fail(kErrorCancelled, "Cancelled.");
        return fail(kErrorFailure, FromUtf8(e.what()));
    } catch (const std::exception& e) {
        return fail(kErrorFailure, FromUtf8(e.what()));
    }
}

QString StoreDateText(const vmime::datetime& d) {
    const QDateTime t(QDate(d.getYear(), d.getMonth(), d.getDay()), QTime(d.getHour(), d.getMinute(), d.getSecond()),
                      QTimeZone(d.getZone() * 60));
    return t.toLocalTime().toString("yyyy/MM/dd HH:mm");
}

QString DecodedText(const vmime::contentHandler& content, const vmime::charset& charset) {
    std::string bytes;
    vmime::utility::outputStreamStringAdapter out(bytes);
    content.extract(out);
    const std::string name = vmime::utility::stringUtils::toLower(charset.getName());
    if (name == "iso-8859-1" || name == "us-ascii" || name == "latin1")
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (name == "utf-8") return FromUtf8(bytes);
    std::string utf8;
    try {
        vmime::charset::convert(bytes, utf8, charset, vmime::charset(vmime::charsets::UTF_8));
    } catch (const vmime::exception&) {
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    return FromUtf8(utf8);
}

void AddRecipients(const vmime::header& header, const char* field, int type, std::vector<Recipient>& out) {
    if (!header.hasField(field)) return;
    const auto list = header.findField(field)->getValue<vmime::addressList>()->toMailboxList();
    for (size_t i = 0; i < list->getMailboxCount(); ++i) {
        const auto mbox = list->getMailboxAt(i);
        out.push_back({type, FromUtf8(mbox->getName().getConvertedText(vmime::charsets::UTF_8)),
                       FromUtf8(mbox->getEmail().toString())});
    }
}

MailMessage FromParsed(const std::shared_ptr<vmime::message>& msg) {
    MailMessage m;
    const auto header = msg->getHeader();
    if (header->hasField(vmime::fields::FROM)) {
        const auto from = header->From()->getValue<vmime::mailbox>();
        m.senderAddress = FromUtf8(from->getEmail().toString());
        m.senderName = FromUtf8(from->getName().getConvertedText(vmime::charsets::UTF_8)).trimmed();
        if (m.senderName.isEmpty()) m.senderName = m.senderAddress;
    }
    if (header->hasField(vmime::fields::SUBJECT))
        m.subject = FromUtf8(header->Subject()->getValue<vmime::text>()->getConvertedText(vmime::charsets::UTF_8));
    if (header->hasField(vmime::fields::DATE))
        m.dateReceived = StoreDateText(*header->Date()->getValue<vmime::datetime>());
    AddRecipients(*header, vmime::fields::TO, kRecipientTo, m.recipients);
    AddRecipients(*header, vmime::fields::CC, kRecipientCc, m.recipients);

    const vmime::messageParser parser(msg);
    std::shared_ptr<const vmime::textPart> text;
    for (const auto& part : parser.getTextPartList()) {
        if (part->getType().getSubType() == vmime::mediaTypes::TEXT_PLAIN) {
            text = part;
            break;
        }
        if (!text) text = part;
    }
    if (text) {
        if (const auto html = std::dynamic_pointer_cast<const vmime::htmlTextPart>(text);
            html && html->getPlainText() && !html->getPlainText()->isEmpty())
            m.noteText = DecodedText(*html->getPlainText(), html->getCharset());
        else m.noteText = DecodedText(*text->getText(), text->getCharset());
    }
    for (const auto& att : parser.getAttachmentList()) {
        Attachment a;
        a.name = FromUtf8(att->getName().getConvertedText(vmime::charset(vmime::charsets::UTF_8)));
        if (a.name.isEmpty()) a.name = "attachment";
        std::string bytes;
        vmime::utility::outputStreamStringAdapter out(bytes);
        att->getData()->extract(out);
        a.data = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
        a.position = static_cast<int>(m.attachments.size());
        m.attachments.push_back(std::move(a));
    }
    return m;
}

// The note as it goes on the wire: each attachment takes the place of the
// character at its position (the "*" that Send puts there).
QString NoteWithoutPlaceholders(const OutgoingMessage& message) {
    QString note = message.noteText;
    std::vector<int> positions;
    for (const auto& a : message.attachments) positions.push_back(a.position);
    std::sort(positions.rbegin(), positions.rend());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    for (int p : positions)
        if (p >= 0 && p < note.size()) note.remove(p, 1);
    return note;
}

bool AllLatin1(const QString& s) {
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

std::shared_ptr<vmime::message> BuildMessage(const OutgoingMessage& message, const QString& sender) {
    vmime::messageBuilder mb;
    vmime::mailbox from;
    from.parse(Utf8(sender));  // "Name <address>" or a bare address
    mb.setExpeditor(from);
    for (const auto& r : message.recipients) {
        const bool named = !r.name.isEmpty() && r.name != r.address;
        auto box =
            named ? std::make_shared<vmime::mailbox>(vmime::text(vmime::word(Utf8(r.name), vmime::charsets::UTF_8)),
                                                     vmime::emailAddress(Utf8(r.address)))
                  : std::make_shared<vmime::mailbox>(vmime::emailAddress(Utf8(r.address)));
        (r.type == kRecipientCc ? mb.getCopyRecipients() : mb.getRecipients()).appendAddress(box);
    }
    mb.setSubject(*vmime::text::newFromString(Utf8(message.subject), vmime::charset(vmime::charsets::UTF_8)));
    // Glyph codes are bytes: ISO-8859-1 carries them unchanged. Text beyond
    // it (typed by the user) goes as UTF-8 rather than being dropped.
    const QString note = NoteWithoutPlaceholders(message);
    const bool latin1 = AllLatin1(note);
    const QByteArray bytes = latin1 ? note.toLatin1() : note.toUtf8();
    mb.getTextPart()->setCharset(vmime::charset(latin1 ? vmime::charsets::ISO8859_1 : vmime::charsets::UTF_8));
    mb.getTextPart()->setText(std::make_shared<vmime::stringContentHandler>(bytes.toStdString()));
    const QMimeDatabase types;
    for (const auto& a : message.attachments) {
        QFile file(a.path);
        if (!file.open(QIODevice::ReadOnly))
            throw MailError{kErrorAttachment, "The attachment cannot be read: " + a.path};
        const QByteArray data = file.readAll();
        const QString name = a.name.isEmpty() || a.name == a.path ? QFileInfo(a.path).fileName() : a.name;
        mb.appendAttachment(
            std::make_shared<vmime::fileAttachment>(std::make_shared<vmime::stringContentHandler>(data.toStdString()),
                                                    vmime::word(Utf8(name), vmime::charsets::UTF_8),
                                                    vmime::mediaType(Utf8(types.mimeTypeForFile(a.path).name())),
                                                    vmime::text(), vmime::encoding(vmime::encodingTypes::BASE64)));
    }
    auto msg = mb.construct();
    if (message.returnReceipt) {
        vmime::mailboxList to;
        to.appendMailbox(std::make_shared<vmime::mailbox>(from));
        msg->getHeader()->DispositionNotificationTo()->setValue(to);
    }
    return msg;
}

class VmimeMailService final : public MailService {
public:
    explicit VmimeMailService(int timeoutSeconds) : timeout_(timeoutSeconds) { UsePosixPlatform(); }
    ~VmimeMailService() override { Logoff(); }

    MailError Logon(const Account& account) override {
        std::lock_guard lock(mutex_);
        cancelled_ = false;
        CloseStore();
        const MailError e = Guard(cancelled_, [&] {
            account_ = account;
            session_ = vmime::net::session::create();
            const vmime::utility::url url(StoreUrl(account.storeUrl));
            if (url.getProtocol() == "maildir")
                if (const QString why = PrepareMaildir(FromUtf8(url.getPath())); !why.isEmpty())
                    throw MailError{kErrorFailure, why};
            auto store = session_->getStore(url);
            if (!store) throw MailError{kErrorFailure, "No mail store for " + account.storeUrl};
            Configure(*store, url, account, cancelled_, timeout_);
            if (url.getProtocol() == "maildir") store->setProperty("server.rootpath", url.getPath());
            store->connect();
            store_ = store;
            // A Maildir's inbox is its root folder.
            inbox_ = url.getProtocol() == "maildir" ? store_->getRootFolder() : store_->getDefaultFolder();
            inbox_->open(folder::MODE_READ_WRITE);
            if (!account.smtpUrl.trimmed().isEmpty()) {
                auto transport = Transport();
                transport->connect();
                transport->disconnect();
            }
        });
        if (!e.Ok()) CloseStore();
        return e;
    }

    MailError Logoff() override {
        std::lock_guard lock(mutex_);
        cancelled_ = false;
        const MailError e = Guard(cancelled_, [&] {
            if (inbox_ && inbox_->isOpen()) inbox_->close(false);
            if (store_ && store_->isConnected()) store_->disconnect();
        });
        CloseStore();
        return e;
    }

    bool LoggedOn() const override {
        std::lock_guard lock(mutex_);
        return static_cast<bool>(inbox_);
    }

    MailError Fetch(std::vector<MailMessage>& out) override {
        std::lock_guard lock(mutex_);
        cancelled_ = false;
        return Guard(cancelled_, [&] {
            RequireSession();
            out.clear();
            messages_.clear();
            // Mail that arrived since the last look: a Maildir folder is
            // scanned again when it opens; a server reports it on any command.
            if (store_->getProtocolName() == "maildir") {
                inbox_->close(false);
                inbox_->open(folder::MODE_READ_WRITE);
            } else {
                store_->noop();
            }
            if (inbox_->getMessageCount() == 0) return;
            messages_ = inbox_->getMessages(messageSet::byNumber(1, -1));
            inbox_->fetchMessages(messages_, vmime::net::fetchAttributes::FLAGS);
            for (const auto& m : messages_) {
                std::string raw;
                vmime::utility::outputStreamStringAdapter os(raw);
                m->extract(os, nullptr, 0, static_cast<size_t>(-1), /*peek=*/true);
                auto parsed = std::make_shared<vmime::message>();
                parsed->parse(raw);
                MailMessage mm = FromParsed(parsed);
                const int flags = m->getFlags();
                mm.unread = !(flags & vmime::net::message::FLAG_SEEN);
                out.push_back(std::move(mm));
            }
        });
    }

    MailError MarkRead(int index) override {
        std::lock_guard lock(mutex_);
        cancelled_ = false;
        return Guard(cancelled_, [&] {
            RequireMessage(index);
            try {
                inbox_->setMessageFlags(messageSet::byNumber(index + 1), vmime::net::message::FLAG_SEEN,
                                        vmime::net::message::FLAG_MODE_ADD);
            } catch (const vmime::exceptions::operation_not_supported&) {
                // POP3 keeps no read flag.
            }
        });
    }

    MailError Delete(int index) override {
        std::lock_guard lock(mutex_);
        cancelled_ = false;
        return Guard(cancelled_, [&] {
            RequireMessage(index);
            const auto set = messageSet::byNumber(index + 1);
            if (const auto trash = Trash()) inbox_->copyMessages(trash->getFullPath(), set);
            inbox_->deleteMessages(set);
            try {
                inbox_->expunge();
            } catch (const vmime::exceptions::operation_not_supported&) {
                // POP3 removes deleted messages when the session ends.
            }
            messages_.erase(messages_.begin() + index);
        });
    }

    MailError Send(const OutgoingMessage& message) override {
        std::lock_guard lock(mutex_);
        cancelled_ = false;
        return Guard(cancelled_, [&] {
            if (!session_) throw MailError{kErrorNotLoggedOn, "Not logged on."};
            if (message.recipients.empty()) throw MailError{kErrorFailure, "The note has no recipient."};
            auto msg = BuildMessage(message, account_.sender);
            auto transport = Transport();
            transport->connect();
            transport->send(msg);
            transport->disconnect();
        });
    }

    void Cancel() override { cancelled_ = true; }

private:
    std::shared_ptr<vmime::net::transport> Transport() {
        if (account_.smtpUrl.trimmed().isEmpty()) throw MailError{kErrorFailure, "No outgoing mail server is set."};
        const vmime::utility::url url(Utf8(account_.smtpUrl.trimmed()));
        auto transport = session_->getTransport(url);
        if (!transport) throw MailError{kErrorFailure, "No mail transport for " + account_.smtpUrl};
        Configure(*transport, url, account_, cancelled_, timeout_);
        return transport;
    }

    // The folder marked as trash, else one named "Trash"; none for the inbox itself.
    std::shared_ptr<folder> Trash() {
        std::shared_ptr<folder> named;
        try {
            for (const auto& f : store_->getRootFolder()->getFolders(true)) {
                if (f->getFullPath() == inbox_->getFullPath()) continue;
                if (f->getAttributes().getSpecialUse() == vmime::net::folderAttributes::SPECIALUSE_TRASH) return f;
                if (!named && vmime::utility::stringUtils::toLower(f->getName().getBuffer()) == "trash") named = f;
            }
        } catch (const vmime::exceptions::operation_not_supported&) {
        }
        return named;
    }

    void RequireSession() const {
        if (!inbox_) throw MailError{kErrorNotLoggedOn, "Not logged on."};
    }
    void RequireMessage(int index) const {
        RequireSession();
        if (index < 0 || index >= static_cast<int>(messages_.size()))
            throw MailError{kErrorNoMessage, "No such message."};
    }
    void CloseStore() {
        messages_.clear();
        inbox_.reset();
        store_.reset();
    }

    mutable std::mutex mutex_;
    std::atomic<bool> cancelled_{false};
    int timeout_;
    Account account_;
    std::shared_ptr<vmime::net::session> session_;
    std::shared_ptr<vmime::net::store> store_;
    std::shared_ptr<folder> inbox_;
    std::vector<std::shared_ptr<vmime::net::message>> messages_;
};

}  // namespace

std::unique_ptr<MailService> CreateMailService(int timeoutSeconds) {
    return std::make_unique<VmimeMailService>(timeoutSeconds);
}

QByteArray BuildMime(const OutgoingMessage& message, const QString& sender, MailError* error) {
    UsePosixPlatform();
    std::atomic<bool> never{false};
    QByteArray out;
    const MailError e =
        Guard(never, [&] { out = QByteArray::fromStdString(BuildMessage(message, sender)->generate()); });
    if (error) *error = e;
    return out;
}

MailMessage ParseMime(const QByteArray& mime) {
    UsePosixPlatform();
    auto msg = std::make_shared<vmime::message>();
    msg->parse(mime.toStdString());
    return FromParsed(msg);
}

}  // namespace vrayu::mail
