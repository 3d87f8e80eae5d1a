// The mail client's forms: the message list (MailLst), the message viewer
// (MsgView) and the note composer (NewMsg). They show and collect; the mail
// window does the work.
#pragma once

#include <QLabel>
#include <QWidget>

#include "mail_service.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;

namespace vrayu::mail {

// A label that accepts a message dragged from the list (wastebasket, printer).
class DropTarget : public QLabel {
    Q_OBJECT
public:
    DropTarget(const QString& name, const QString& icon, QWidget* parent);
signals:
    void Dropped(int row);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

class MailLst : public QWidget {
    Q_OBJECT
public:
    explicit MailLst(QWidget* parent = nullptr);
    QListWidget* MList() const { return list_; }
    QLabel* Heading() const { return heading_; }
    void SetMessages(const std::vector<MailMessage>& messages);
    void SetLine(int row, const MailMessage& message);
    void SetNewMail(bool anyUnread);
signals:
    void Opened(int row);
    void DroppedOnTrash(int row);
    void DroppedOnPrinter(int row);

private:
    QListWidget* list_;
    QLabel* heading_;
    QLabel* newMail_;
    QLabel* noNewMail_;
};

class MsgView : public QWidget {
    Q_OBJECT
public:
    explicit MsgView(QWidget* parent = nullptr);
    void Show(const MailMessage& message);
    QString Field(const QString& label) const;  // "From:", "Date:", "To:", "Cc:", "Subject:"
    QString NoteText() const;
    QListWidget* AList() const { return aList_; }
    QLabel* NumAtt() const { return numAtt_; }
    QWidget* AttachmentPane() const { return pane_; }
signals:
    void AttachmentOpened(int index);

private:
    QList<QLineEdit*> fields_;
    QPlainTextEdit* note_;
    QWidget* pane_;
    QListWidget* aList_;
    QLabel* numAtt_;
};

class NewMsg : public QWidget {
    Q_OBJECT
public:
    explicit NewMsg(QWidget* parent = nullptr);
    QString To() const;
    QString Cc() const;
    QString Subject() const;
    // The note with CR LF line ends; every character as typed or put there
    // (glyph codes included).
    QString NoteText() const;
    void SetTo(const QString& s);
    void SetCc(const QString& s);
    void SetSubject(const QString& s);
    void SetNoteText(const QString& s);
    void SetAttachments(const std::vector<Attachment>& attachments);
    QPushButton* Button(const QString& caption) const;
signals:
    void AddressAsked();
    void OptionsAsked();
    void AttachAsked();
    void CheckNamesAsked();
    void SendAsked();

private:
    QLineEdit* to_;
    QLineEdit* cc_;
    QLineEdit* subject_;
    QPlainTextEdit* note_;
    QLabel* attachments_;
    QList<QPushButton*> buttons_;
};

// Puts a note's CR LF line ends into a text edit and takes them back, every
// other character unchanged.
void SetNote(QPlainTextEdit& edit, const QString& note);
QString NoteOf(const QPlainTextEdit& edit);

}  // namespace vrayu::mail
