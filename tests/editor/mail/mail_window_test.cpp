// The send command and the mail client windows with real servers: the three
// formats as the SMTP server receives them, the format dialog, logon and
// send failures, the unread count, reply and forward.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "editor_fixture.h"
#include "mail_format.h"
#include "mail_forms.h"
#include "mail_servers.h"
#include "mail_window.h"
#include "send_command.h"

namespace vrayu::mail {
namespace {

using test::ImapServer;
using test::SmtpServer;

// Glyph codes the Telugu pane holds ("svAgatam" and a few more).
const QString kGlyphs = QString::fromLatin1("\xB3\xC2\xED\x8F\xC1\x9C\xC1\xCF \xFE\xE0\x80");
const QByteArray kJpeg("\xFF\xD8\xFF\xE0 picture \x00\x01", 16);

class MailWindowTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        ProgramMailOptions() = MailOptions{};
        QDir().mkpath(Path("Maildir/cur"));
        QDir().mkpath(Path("Maildir/new"));
        QDir().mkpath(Path("Maildir/tmp"));
    }
    void TearDown() override {
        MailWindow::Unload();
        ProgramMailOptions() = MailOptions{};
        EditorFixture::TearDown();
    }
    void UseServers(const QString& store, const QString& smtp) {
        settings->setValue("Settings/MailStoreUrl", store);
        settings->setValue("Settings/MailSmtpUrl", smtp);
        settings->setValue("Settings/MailSender", "me@example.org");
        settings->setValue("Settings/MailNoteSite", "http://site.example");
        settings->sync();
    }
    QString LocalStore() { return "maildir://localhost" + Path("Maildir"); }
    // Runs the send command with the format answered in advance.
    void Send(const QString& format) {
        SendHooks hooks;
        hooks.askFormat = [format](QWidget*, bool) { return format; };
        hooks.exportJpeg = [this](DocumentWindow&, const QString& path) {
            jpegPath = path;
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(kJpeg);
        };
        SendDocument(Doc(), hooks);
    }
    NewMsg& Note() { return MailWindow::Instance().Composer(); }
    QString jpegPath;
};

TEST_F(MailWindowTest, ThreeFormatsArriveAsPreparedAndSendIsEnabled) {
    SmtpServer smtp(Path("smtp"));
    SKIP_IF_MISSING(smtp);
    UseServers(LocalStore(), smtp.Url());
    InstallSendCommand({});
    EXPECT_TRUE(Doc().Actions().Action("mnuFileSend")->isEnabled());
    Tel().SetTextTelugu(kGlyphs);
    Tel().SetTextEnglish("svAgatam");

    Send("text");
    ASSERT_TRUE(Note().isVisible());
    Note().SetTo("sita@example.org");
    ASSERT_TRUE(MailWindow::Instance().SendNote()) << LastPrompt().toStdString();
    const QString textNote =
        "The following text is in Vrayu Font.\r\nIf you don't have it visit http://site.example\r\n";
    // Byte for byte; a message of one part ends with the line end SMTP needs.
    EXPECT_EQ(ParseMime(smtp.Received(1)).noteText.toLatin1(),
              (textNote + kGlyphs + "\r\n\r\nsvAgatam\r\n").toLatin1());

    Send("html");
    Note().SetTo("sita@example.org");
    ASSERT_TRUE(MailWindow::Instance().SendNote());
    const MailMessage html = ParseMime(smtp.Received(2));
    EXPECT_EQ(html.noteText,
              "This note includes an attachment in HTML format with Vrayu Font. If you have Vrayu Fonts open the "
              "attached file to read it in Telugu\r\nIf you don't have Vrayu Font, visit http://site.example\r\n"
              "\r\n\r\nsvAgatam");
    ASSERT_EQ(html.attachments.size(), 1u);
    EXPECT_EQ(html.attachments[0].name, "seeme.htm");
    EXPECT_EQ(html.attachments[0].data, Tel().TextHTML().toLatin1() + "\r\n");

    // With a selection only the selected glyphs follow the note.
    Tel().Put(dispid::SelStart, 0);
    Tel().Put(dispid::SelLength, 3);
    Send("text");
    Note().SetTo("sita@example.org");
    ASSERT_TRUE(MailWindow::Instance().SendNote());
    EXPECT_EQ(ParseMime(smtp.Received(3)).noteText.toLatin1(), (textNote + kGlyphs.left(3) + "\r\n").toLatin1());

    Send("jpg");
    EXPECT_EQ(jpegPath, Path("bin/seeme.jpg"));
    Note().SetTo("sita@example.org");
    ASSERT_TRUE(MailWindow::Instance().SendNote());
    const MailMessage jpg = ParseMime(smtp.Received(4));
    EXPECT_EQ(jpg.noteText,
              "This note includes an attachment in JPG format created by Vrayu.\r\n"
              "For more information on Vrayu, visit http://site.example\r\n");
    ASSERT_EQ(jpg.attachments.size(), 1u);
    EXPECT_EQ(jpg.attachments[0].data, kJpeg);

    Send("cancel");
    EXPECT_FALSE(Note().isVisible());
    EXPECT_EQ(smtp.Messages().size(), 4);
}

TEST_F(MailWindowTest, FormatDialogDefaultsCloseBoxAndMissingPictureExport) {
    SendTypeDialog dialog(false);
    EXPECT_EQ(dialog.windowTitle(), "Mail Format");
    EXPECT_EQ(dialog.MailFormat(), "text");
    EXPECT_TRUE(dialog.Option("optHtml")->isChecked());
    EXPECT_FALSE(dialog.Option("optjpg")->isEnabled());
    dialog.accept();
    EXPECT_EQ(dialog.MailFormat(), "html");
    dialog.Option("optText")->setChecked(true);
    dialog.accept();
    EXPECT_EQ(dialog.MailFormat(), "text");
    dialog.show();
    dialog.close();  // the close box
    EXPECT_EQ(dialog.MailFormat(), "cancel");
}

TEST_F(MailWindowTest, FailedSendsKeepTheNoteAndTwoAttachmentsMarkIt) {
    SmtpServer smtp(Path("smtp"), true);
    SKIP_IF_MISSING(smtp);
    UseServers(LocalStore(), smtp.Url());
    MailWindow& mail = MailWindow::Instance();
    ASSERT_TRUE(mail.Logon());
    mail.DoAction(6);
    Note().SetTo("sita@example.org");
    Note().SetSubject("Two files");
    Note().SetNoteText("");
    QFile(Path("a.txt")).open(QIODevice::WriteOnly);
    QFile(Path("b.txt")).open(QIODevice::WriteOnly);
    mail.AddAttachment(Path("a.txt"));
    mail.AddAttachment(Path("b.txt"));
    EXPECT_FALSE(mail.SendNote());
    EXPECT_EQ(LastPrompt(), QString(kSendFailure) + "554");
    EXPECT_EQ(mail.ComposeBuffer().noteText, "**");
    EXPECT_EQ(Note().Subject(), "Two files");

    // The server goes away after logon: the failure text, and the note stays.
    Note().SetNoteText("keep me");
    {
        SmtpServer passing(Path("smtp2"));
        UseServers(LocalStore(), passing.Url());
        ProgramMailOptions().newSession = true;
        ASSERT_TRUE(mail.Logon()) << LastPrompt().toStdString();
    }
    EXPECT_FALSE(mail.SendNote());
    EXPECT_EQ(LastPrompt(), QString(kSendFailure) + "2");
    EXPECT_EQ(Note().NoteText(), "keep me");
    EXPECT_EQ(Note().To(), "sita@example.org");

    Note().SetTo("Nobody Known");
    EXPECT_FALSE(mail.SendNote());
    EXPECT_EQ(LastPrompt(), "Nobody Known" + QString(kNotResolved));
}

TEST_F(MailWindowTest, ImapListUnreadCountReplyForwardAndDelete) {
    ImapServer imap(Path("imap"), "secret");
    SKIP_IF_MISSING(imap);
    ASSERT_TRUE(imap.Started()) << imap.Log().toStdString();
    OutgoingMessage m;
    m.subject = QString::fromUtf8("తెలుగు");
    m.noteText = "first note";
    m.recipients = {{kRecipientTo, "Sita", "sita@example.org"}, {kRecipientCc, "Rama", "rama@example.org"}};
    imap.Deliver("sita", BuildMime(m, "Ravi <ravi@example.org>"), "1.eml");
    m.subject.clear();
    m.noteText = "second";
    imap.Deliver("sita", BuildMime(m, "Ravi <ravi@example.org>"), "2.eml");
    UseServers(imap.Url(), "");

    MailWindow& mail = MailWindow::Instance();
    ProgramMailOptions().userName = "sita";
    ProgramMailOptions().password = "wrong";
    EXPECT_FALSE(mail.Logon());
    EXPECT_TRUE(LastPrompt().startsWith(QString(kLogonFailure) + "The user name or password was refused"))
        << LastPrompt().toStdString();
    EXPECT_EQ(mail.StateLabel()->text(), kOffLine);

    ProgramMailOptions().password = "secret";
    ASSERT_TRUE(mail.Logon()) << LastPrompt().toStdString();
    EXPECT_EQ(mail.CountLabel()->text(), "2 Messages");
    EXPECT_EQ(mail.UnreadLabel()->text(), "2 Unread");
    QListWidget* list = mail.List().MList();
    ASSERT_EQ(list->count(), 2);
    EXPECT_TRUE(list->item(0)->text().startsWith("* Ravi      \t"));
    EXPECT_TRUE(list->item(1)->text().contains("\t" + QString(30, ' ') + "\t"));

    mail.OpenMessage(0);
    EXPECT_EQ(mail.UnreadLabel()->text(), "1 Unread");
    EXPECT_TRUE(list->item(0)->text().startsWith("  Ravi"));
    EXPECT_EQ(mail.Viewer().Field("Subject:"), QString::fromUtf8("తెలుగు"));
    mail.OpenMessage(0);  // already read
    EXPECT_EQ(mail.Unread(), 1);

    mail.DoAction(8);  // reply all
    EXPECT_EQ(Note().Subject(), QString::fromUtf8("RE: తెలుగు"));
    EXPECT_TRUE(Note().NoteText().startsWith(QString(25, '-') + "\r\nFrom: Ravi\r\nTo: Sita\r\nCc: Rama\r\nSubject: " +
                                             QString::fromUtf8("తెలుగు") + "\r\nDate: "));
    EXPECT_TRUE(Note().NoteText().endsWith("\r\nfirst note"));
    EXPECT_EQ(Note().To(), "Ravi;Sita");
    mail.DoAction(9);  // forward
    EXPECT_EQ(Note().To(), "");
    EXPECT_TRUE(Note().Subject().startsWith("FW: "));

    mail.OpenMessage(1);
    EXPECT_EQ(mail.UnreadLabel()->text(), "");  // the count reached 0
    mail.DeleteMessage(0);
    EXPECT_EQ(mail.CountLabel()->text(), "1 Messages");
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(imap.FileCount("sita", ".Trash"), 1);
}

}  // namespace
}  // namespace vrayu::mail
