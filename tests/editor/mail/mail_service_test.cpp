// The mail service against real servers: what an SMTP server receives, a
// refusal, IMAP logon, fetch, read flag and delete on Dovecot, and a local
// Maildir.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "mail_servers.h"
#include "mail_service.h"

namespace vrayu::mail {
namespace {

using test::ImapServer;
using test::SmtpServer;

QByteArray GlyphBytes() {
    QByteArray b;
    for (int c = 0x80; c < 0x100; ++c) b += static_cast<char>(c);
    return b + "\r\nsvAgatam";
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return f.fileName();
}

Account SmtpAccount(const SmtpServer& smtp, const QString& user = {}, const QString& password = {}) {
    return {"", smtp.Url(), "me@example.org", user, password};
}

TEST(MailService, SmtpReceivesGlyphCodesAttachmentsSubjectAndReceipt) {
    QTemporaryDir dir;
    SmtpServer smtp(dir.filePath("smtp"), false, "ravi", "secret");
    SKIP_IF_MISSING(smtp);
    ASSERT_GT(smtp.Port(), 0);
    auto service = CreateMailService(10);
    // Sending needs no store: a session is made by logging on to a Maildir.
    for (const char* sub : {"md/cur", "md/new", "md/tmp"}) QDir().mkpath(dir.filePath(sub));
    Account account = SmtpAccount(smtp, "ravi", "secret");
    account.storeUrl = "maildir://localhost" + dir.filePath("md");
    ASSERT_TRUE(service->Logon(account).Ok());

    OutgoingMessage m;
    m.subject = QString::fromUtf8("స్వాగతం hello");
    m.noteText = "**" + QString::fromLatin1(GlyphBytes());
    m.recipients = {{kRecipientTo, "Sita", "sita@example.org"}, {kRecipientCc, "Rama", "rama@example.org"}};
    const QByteArray binary("\x00\xFF\xD8\x01 jpeg", 10);
    m.attachments = {{"a.htm", WriteFile(dir, "a.htm", "<html>x</html>\r\n"), 0, 0, {}},
                     {"b.jpg", WriteFile(dir, "b.jpg", binary), 1, 0, {}}};
    m.returnReceipt = true;
    const MailError e = service->Send(m);
    ASSERT_TRUE(e.Ok()) << e.text.toStdString();

    const QByteArray raw = smtp.Received();
    ASSERT_FALSE(raw.isEmpty());
    EXPECT_TRUE(raw.contains("Disposition-Notification-To: me@example.org")) << raw.toStdString();
    EXPECT_TRUE(raw.toLower().contains("charset=iso-8859-1"));
    EXPECT_TRUE(raw.toLower().contains("content-transfer-encoding: base64"));
    const MailMessage got = ParseMime(raw);
    EXPECT_EQ(got.subject, m.subject);
    // The "*" marks give way to the attachments; every byte arrives as sent.
    EXPECT_EQ(got.noteText.toLatin1(), GlyphBytes());
    ASSERT_EQ(got.attachments.size(), 2u);
    EXPECT_EQ(got.attachments[0].name, "a.htm");
    EXPECT_EQ(got.attachments[0].data, "<html>x</html>\r\n");
    EXPECT_EQ(got.attachments[1].data, binary);
    ASSERT_EQ(got.recipients.size(), 2u);
    EXPECT_EQ(got.recipients[1].type, kRecipientCc);
    EXPECT_EQ(got.senderAddress, "me@example.org");
}

TEST(MailService, RefusalCarriesTheServersNumberAndDeadPortTheConnectionNumber) {
    QTemporaryDir dir;
    SmtpServer smtp(dir.filePath("smtp"), true);
    SKIP_IF_MISSING(smtp);
    auto service = CreateMailService(5);
    for (const char* sub : {"md/cur", "md/new", "md/tmp"}) QDir().mkpath(dir.filePath(sub));
    Account account = SmtpAccount(smtp);
    account.storeUrl = "maildir://localhost" + dir.filePath("md");
    const MailError logon = service->Logon(account);
    ASSERT_TRUE(logon.Ok()) << logon.text.toStdString();
    OutgoingMessage m;
    m.noteText = "x";
    m.recipients = {{kRecipientTo, "s", "s@example.org"}};
    EXPECT_EQ(service->Send(m).number, 554);
    m.attachments = {{"gone", dir.filePath("gone"), 0, 0, {}}};
    EXPECT_EQ(service->Send(m).number, kErrorAttachment);

    // Logon checks the transport: a port nobody listens on fails at once.
    account.smtpUrl = QString("smtp://127.0.0.1:%1").arg(test::FreePort());
    EXPECT_EQ(service->Logon(account).number, kErrorConnection);
}

TEST(MailService, ImapFetchReadFlagAndDeleteToTrash) {
    QTemporaryDir dir;
    ImapServer imap(dir.filePath("imap"), "secret");
    SKIP_IF_MISSING(imap);
    ASSERT_TRUE(imap.Started()) << imap.Log().toStdString();
    OutgoingMessage m;
    m.subject = QString::fromUtf8("తెలుగు subject");
    m.noteText = QString::fromLatin1("\xB3\xC2\xED body");
    m.recipients = {{kRecipientTo, "Sita", "sita@example.org"}};
    imap.Deliver("sita", BuildMime(m, "Ravi <ravi@example.org>"), "1.eml");
    m.subject.clear();
    imap.Deliver("sita", BuildMime(m, "ravi@example.org"), "2.eml");

    auto service = CreateMailService(10);
    EXPECT_EQ(service->Logon({imap.Url(), "", "", "sita", "wrong"}).number, kErrorLogin);
    const MailError logon = service->Logon({imap.Url(), "", "", "sita", "secret"});
    ASSERT_TRUE(logon.Ok()) << logon.text.toStdString() << imap.Log().toStdString();
    std::vector<MailMessage> list;
    ASSERT_TRUE(service->Fetch(list).Ok());
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].subject, QString::fromUtf8("తెలుగు subject"));
    EXPECT_EQ(list[0].senderName, "Ravi");
    EXPECT_EQ(list[1].senderName, "ravi@example.org");
    EXPECT_EQ(list[0].noteText.toLatin1(), "\xB3\xC2\xED body");
    EXPECT_EQ(list[0].dateReceived.size(), 16);
    EXPECT_TRUE(list[0].unread && list[1].unread);

    ASSERT_TRUE(service->MarkRead(1).Ok());
    ASSERT_TRUE(service->Delete(0).Ok());
    EXPECT_EQ(service->Delete(5).number, kErrorNoMessage);
    ASSERT_TRUE(service->Fetch(list).Ok());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_FALSE(list[0].unread);
    EXPECT_TRUE(list[0].subject.isEmpty());
    EXPECT_EQ(imap.FileCount("sita", ".Trash"), 1);
    EXPECT_TRUE(service->Logoff().Ok());
    EXPECT_EQ(service->Fetch(list).number, kErrorNotLoggedOn);
}

TEST(MailService, CertificateThatDoesNotVerifyIsRefused) {
    QTemporaryDir dir;
    ImapServer imap(dir.filePath("imap"), "secret", /*tls=*/true);
    SKIP_IF_MISSING(imap);
    ASSERT_TRUE(imap.Started()) << imap.Log().toStdString();
    auto service = CreateMailService(10);
    const MailError e = service->Logon({imap.ImapsUrl(), "", "", "sita", "secret"});
    EXPECT_EQ(e.number, kErrorCertificate) << e.text.toStdString();
    EXPECT_TRUE(e.text.contains("certificate could not be verified")) << e.text.toStdString();
    EXPECT_FALSE(service->LoggedOn());
}

TEST(MailService, LocalMaildirReadsMarksAndDeletesToItsTrash) {
    QTemporaryDir dir;
    const QString md = dir.filePath("Maildir");
    for (const char* sub : {"/cur", "/new", "/tmp"}) QDir().mkpath(md + sub);
    OutgoingMessage m;
    m.subject = "local";
    m.noteText = "note";
    m.recipients = {{kRecipientTo, "", "me@example.org"}};
    WriteFile(dir, "Maildir/new/100.host", BuildMime(m, "x@example.org"));
    auto service = CreateMailService(5);
    const MailError e = service->Logon({"maildir://localhost" + md, "", "", "", ""});
    ASSERT_TRUE(e.Ok()) << e.text.toStdString();
    std::vector<MailMessage> list;
    ASSERT_TRUE(service->Fetch(list).Ok());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].subject, "local");
    ASSERT_TRUE(service->MarkRead(0).Ok());
    ASSERT_TRUE(service->Fetch(list).Ok());
    EXPECT_FALSE(list[0].unread);
    ASSERT_TRUE(service->Delete(0).Ok());
    ASSERT_TRUE(service->Fetch(list).Ok());
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(QDir(md + "/cur").entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(QDir(md + "/new").entryList(QDir::Files).isEmpty());
    EXPECT_EQ(
        QDir(md + "/.Trash/cur").entryList(QDir::Files).size() + QDir(md + "/.Trash/new").entryList(QDir::Files).size(),
        1);
    // A folder that is no Maildir is refused at logon.
    EXPECT_EQ(service->Logon({"maildir://localhost" + dir.filePath("none"), "", "", "", ""}).number, kErrorFailure);
}

}  // namespace
}  // namespace vrayu::mail
