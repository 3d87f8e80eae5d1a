#include "mail_format.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>

namespace vrayu::mail {
namespace {

QString Fit(const QString& s, int width) { return s.left(width).leftJustified(width, ' '); }

QDateTime FromStoreDate(const QString& d) {
    // Year from characters 1-4, month 6-7, day 9-10, time from 12 on.
    const QDate date(d.mid(0, 4).toInt(), d.mid(5, 2).toInt(), d.mid(8, 2).toInt());
    const QTime time = QTime::fromString(d.mid(11).trimmed(), "HH:mm");
    return date.isValid() ? QDateTime(date, time.isValid() ? time : QTime(0, 0)) : QDateTime();
}

// Names of the type suffixes, by attachment type 0, 1, 2; any other is unknown.
constexpr const char* kAttachmentKinds[] = {" (Data File)", " (Embedded OLE Object)", " (Static OLE Object)"};
constexpr char kUnknownKind[] = " (Unknown attachment type)";

}  // namespace

QString ListLine(const MailMessage& m) {
    const QString subject = m.subject.isEmpty() ? QString(30, ' ') : Fit(m.subject, 35);
    return QString(m.unread ? "* " : "  ") + Fit(m.senderName, 10) + '\t' + subject + '\t' +
           Fit(ListDate(m.dateReceived), 15);
}

QString ListHeading() { return Fit("From", 25) + Fit("Subject", 35) + "Date"; }

QString ListDate(const QString& storeDate) {
    const QDateTime t = FromStoreDate(storeDate);
    return t.isValid() ? t.toString("MM/dd/yy HH:mm") : QString();
}

QString LongDate(const QString& storeDate) {
    const QDateTime t = FromStoreDate(storeDate);
    if (!t.isValid()) return {};
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const int h12 = t.time().hour() % 12 == 0 ? 12 : t.time().hour() % 12;
    return english.toString(t.date(), "dddd, MMMM d, yyyy, ") + QString::number(h12) + ':' +
           QString::number(t.time().minute()).rightJustified(2, '0') + (t.time().hour() < 12 ? "AM" : "PM");
}

QString AttachmentEntry(const Attachment& a) {
    const bool known = a.type >= 0 && a.type < static_cast<int>(std::size(kAttachmentKinds));
    return a.name + (known ? kAttachmentKinds[a.type] : kUnknownKind);
}

QString FilesCount(int count) { return QString::number(count) + " Files"; }
QString MessagesCount(int count) { return QString::number(count) + " Messages"; }
QString UnreadCount(int count) { return count > 0 ? QString::number(count) + " Unread" : QString(); }

QString JoinNames(const std::vector<Recipient>& recipients, int type) {
    QStringList names;
    for (const auto& r : recipients)
        if (r.type == type) names << (r.name.isEmpty() ? r.address : r.name);
    return names.join(';');
}

QString ReplyHeader(const MailMessage& m) {
    const QString crlf = "\r\n";
    return QString(25, '-') + crlf + "From: " + m.senderName + crlf + "To: " + JoinNames(m.recipients, kRecipientTo) +
           crlf + "Cc: " + JoinNames(m.recipients, kRecipientCc) + crlf + "Subject: " + m.subject + crlf +
           "Date: " + LongDate(m.dateReceived) + crlf;
}

QString MarkAttachments(const QString& note, int attachmentCount) { return QString(attachmentCount, '*') + note; }

}  // namespace vrayu::mail
