// How the mail client writes messages down: list lines, dates, headers,
// attachment marks, names, and the note text keeping every glyph code.
#include <gtest/gtest.h>

#include <QPlainTextEdit>

#include "contacts.h"
#include "mail_format.h"
#include "mail_forms.h"

namespace vrayu::mail {
namespace {

MailMessage Message(bool unread, const QString& sender, const QString& subject) {
    MailMessage m;
    m.unread = unread;
    m.senderName = sender;
    m.subject = subject;
    m.dateReceived = "2026/12/08 14:05";
    return m;
}

TEST(MailFormat, ListLinesPadCutAndMarkUnread) {
    EXPECT_EQ(ListLine(Message(true, "Ravi", "Hello")), "* Ravi      \tHello" + QString(30, ' ') + "\t12/08/26 14:05 ");
    // Read: two spaces; long sender and subject cut to 10 and 35.
    EXPECT_EQ(ListLine(Message(false, "Venkateswara Rao", QString(40, 's'))),
              "  Venkateswa\t" + QString(35, 's') + "\t12/08/26 14:05 ");
    // An empty subject gives 30 spaces, not 35.
    EXPECT_EQ(ListLine(Message(false, "Ravi", "")), "  Ravi      \t" + QString(30, ' ') + "\t12/08/26 14:05 ");
    EXPECT_EQ(ListHeading(), "From" + QString(21, ' ') + "Subject" + QString(28, ' ') + "Date");
}

TEST(MailFormat, DatesInBothForms) {
    EXPECT_EQ(ListDate("2026/01/02 03:04"), "01/02/26 03:04");
    EXPECT_EQ(LongDate("2026/12/08 14:05"), "Tuesday, December 8, 2026, 2:05PM");
    EXPECT_EQ(LongDate("2026/12/08 00:07"), "Tuesday, December 8, 2026, 12:07AM");
    EXPECT_EQ(ListDate("garbage"), "");
}

TEST(MailFormat, ReplyHeaderCountsAndAttachmentEntries) {
    MailMessage m = Message(false, "Ravi", "Pata");
    m.recipients = {{kRecipientTo, "Sita", "s@x"}, {kRecipientCc, "Rama", "r@x"}, {kRecipientTo, "", "g@x"}};
    EXPECT_EQ(ReplyHeader(m), QString(25, '-') +
                                  "\r\nFrom: Ravi\r\nTo: Sita;g@x\r\nCc: Rama\r\nSubject: Pata\r\n"
                                  "Date: Tuesday, December 8, 2026, 2:05PM\r\n");
    EXPECT_EQ(AttachmentEntry({"a.htm", {}, 0, 0, {}}), "a.htm (Data File)");
    EXPECT_EQ(AttachmentEntry({"b", {}, 0, 2, {}}), "b (Static OLE Object)");
    EXPECT_EQ(AttachmentEntry({"c", {}, 0, 7, {}}), "c (Unknown attachment type)");
    EXPECT_EQ(FilesCount(2), "2 Files");
    EXPECT_EQ(MessagesCount(0), "0 Messages");
    EXPECT_EQ(UnreadCount(3), "3 Unread");
    EXPECT_EQ(UnreadCount(0), "");
    EXPECT_EQ(MarkAttachments("", 2), "**");
}

TEST(MailFormat, NamesResolveThroughContactsOrAnAddress) {
    const std::vector<Contact> contacts = {*ParseContactLine("Sita Devi <sita@example.org>"),
                                           *ParseContactLine("\"Rama\" <rama@example.org>")};
    EXPECT_EQ(Resolve(contacts, "sita devi")->address, "sita@example.org");
    EXPECT_EQ(Resolve(contacts, "Rama")->name, "Rama");
    EXPECT_EQ(Resolve(contacts, "x@y.org")->address, "x@y.org");
    EXPECT_EQ(Resolve(contacts, "Lakshmana <l@y.org>")->name, "Lakshmana");
    EXPECT_FALSE(Resolve(contacts, "Hanuman"));
    EXPECT_FALSE(ParseContactLine("# a comment"));
    QStringList unresolved;
    const auto r = ParseRecipients("Sita Devi; Hanuman ;x@y.org", kRecipientCc, &contacts, &unresolved);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].type, kRecipientCc);
    EXPECT_EQ(r[1].address, "x@y.org");
    EXPECT_EQ(unresolved, QStringList{"Hanuman"});
}

TEST(MailFormat, NoteEditKeepsEveryGlyphCodeAndLineEnd) {
    QString glyphs;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n') glyphs += QChar(b);
    const QString note = glyphs + "\r\n\r\nline" + "\r\n";
    QPlainTextEdit edit;
    SetNote(edit, note);
    EXPECT_EQ(NoteOf(edit).toLatin1(), note.toLatin1());
}

}  // namespace
}  // namespace vrayu::mail
