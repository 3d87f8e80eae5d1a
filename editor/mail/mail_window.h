// The mail client's main window (MailWindow): logon, the message list and
// viewer, compose/reply/reply all/forward into the compose buffer and the
// note window, send, delete, print, options and the address book. One
// shared window, loaded on first use.
#pragma once

#include <QMainWindow>
#include <QPrinter>
#include <memory>
#include <vector>

#include "mail_service.h"
#include "mail_settings.h"

class QLabel;
class QMdiArea;
class QSettings;
class QToolBar;

namespace vrayu {
class ActionSet;
}

namespace vrayu::mail {

class MailLst;
class MsgView;
class NewMsg;

class MailWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MailWindow(std::unique_ptr<MailService> service, QWidget* parent = nullptr);
    ~MailWindow() override;

    // The shared window (made on first use; it deletes itself when closed).
    static MailWindow& Instance();
    // Closes the shared window when there is one.
    static void Unload();

    // Used by the send command: log on, then prepare the note (and attach
    // the file) and show it for addressing.
    void ComposeTelugu(const QString& body);
    void ComposeAttach(const QString& body, const QString& path);

    bool Logon();
    void Logoff();
    void UpdateMessageList();
    void OpenMessage(int index);
    // Compose (6), reply (7), reply all (8), forward (9).
    void DoAction(int code);
    // "&Send" of the note window; true when the note went out.
    bool SendNote();
    void CheckNames();
    void DeleteMessage(int index);
    void PrintMessage(int index);
    void AddAttachment(const QString& path);
    void ShowAddressBook();

    ActionSet& Actions() const { return *actions_; }
    QAction* ToolButton(int index) const;
    MailLst& List() const { return *list_; }
    MsgView& Viewer() const { return *viewer_; }
    NewMsg& Composer() const { return *composer_; }
    const OutgoingMessage& ComposeBuffer() const { return buffer_; }
    const std::vector<MailMessage>& Messages() const { return messages_; }
    int Current() const { return current_; }
    int Unread() const { return unread_; }
    QLabel* CountLabel() const { return count_; }
    QLabel* UnreadLabel() const { return unreadLabel_; }
    QLabel* StateLabel() const { return state_; }
    QString ContactsFile() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildTools();
    void BindActions();
    void SetSessionState(bool on);
    void SetUnread(int count);
    void FillComposer();
    void PrepareNote(const QString& body, const QString& attachment);
    void ShowOptions(int group);
    void ChooseFont(bool printer);
    // Recipients of the note window, resolved through the contacts file when
    // `resolve`; names that do not resolve are reported and kept in place.
    bool CopyRecipients(bool resolve);
    MailError Run(const QString& label, const std::function<MailError()>& work);
    void Say(const QString& text);

    std::unique_ptr<MailService> service_;
    std::unique_ptr<QSettings> settings_;
    ActionSet* actions_;
    QList<QAction*> tools_;
    QMdiArea* area_;
    MailLst* list_;
    MsgView* viewer_;
    NewMsg* composer_;
    QLabel* count_;
    QLabel* unreadLabel_;
    QLabel* time_;
    QLabel* state_;
    QPrinter printer_;
    QFont printerFont_{"Arial", 10};
    std::vector<MailMessage> messages_;
    OutgoingMessage buffer_;
    QString forwardDir_;
    int current_ = -1;
    int unread_ = 0;
};

}  // namespace vrayu::mail
