// How the mail client shows messages: list lines, the heading, dates,
// attachment entries, counts, the reply/forward header, the attachment
// marks of a sent note, and the client's message texts.
#pragma once

#include <QString>

#include "mail_service.h"

namespace vrayu::mail {

// Message texts of the mail client and the send command.
inline constexpr char kLogonFailure[] = "Logon Failure: ";
inline constexpr char kLogoffFailure[] = "Logoff Failure: ";
inline constexpr char kSendFailure[] = "An error occurred during a send: ";
inline constexpr char kNotResolved[] = " Could not be resolved";
inline constexpr char kAddressBookFailurePrefix[] = "Error: ";
inline constexpr char kAddressBookFailureSuffix[] = " occurred trying to show the Address Book";
inline constexpr char kNoOleViewing[] = " This sample application doesn't view OLE-type attachments";
inline constexpr char kAppNotFoundPrefix[] = "Application that uses: <";
inline constexpr char kAppNotFoundSuffix[] = "> not found in WIN.INI";
inline constexpr char kShellFailure[] = "Error occurred during the shell: ";
inline constexpr char kAbout[] = "Sample Mail Application";
inline constexpr char kOffLine[] = "Off Line";
inline constexpr char kCountInitial[] = "Message Count Information";

// "* " or two spaces, sender cut or padded to 10, tab, subject cut or padded
// to 35 (an empty subject gives 30 spaces), tab, list date in 15.
QString ListLine(const MailMessage& message);
// "From" padded to 25, "Subject" padded to 35, then "Date".
QString ListHeading();
// A store date "YYYY/MM/DD HH:MM" as "mm/dd/yy hh:mm"; "" when it is not one.
QString ListDate(const QString& storeDate);
// ... as "dddd, mmmm d, yyyy, h:mmAM/PM".
QString LongDate(const QString& storeDate);
// "name (Data File)" and the like, by attachment type.
QString AttachmentEntry(const Attachment& attachment);
// "3 Files", "12 Messages", "4 Unread" (and "" for no unread).
QString FilesCount(int count);
QString MessagesCount(int count);
QString UnreadCount(int count);
// The header put above a kept note on reply, reply all and forward.
QString ReplyHeader(const MailMessage& message);
// The note as Send hands it over: one "*" per attachment in front.
QString MarkAttachments(const QString& note, int attachmentCount);
// Display names joined by ";" for the To (or Cc) field.
QString JoinNames(const std::vector<Recipient>& recipients, int type);

}  // namespace vrayu::mail
