#include "mail_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

#include "action_set.h"
#include "app_info.h"
#include "contacts.h"
#include "desktop_handover.h"
#include "dialogs.h"
#include "mail_dialogs.h"
#include "mail_format.h"
#include "mail_forms.h"
#include "mail_tables.h"
#include "mail_task.h"

namespace vrayu::mail {
namespace {

QPointer<MailWindow>& Shared() {
    static QPointer<MailWindow> window;
    return window;
}

constexpr char kTitle[] = "Mail";

}  // namespace

MailWindow::MailWindow(std::unique_ptr<MailService> service, QWidget* parent)
    : QMainWindow(parent), service_(std::move(service)), settings_(OpenEditorSettings()) {
    setObjectName("MailWindow");
    setWindowTitle(kTitle);
    actions_ = new ActionSet(this, MailMenuTable(), {});
    for (QMenu* menu : actions_->Menus()) menuBar()->addMenu(menu);
    // "&Fonts" holds "&Screen..." and "&Printer...".
    if (auto* options = qobject_cast<QMenu*>(actions_->Action("mnuOptionsMail")->parent())) {
        auto* fonts = new QMenu("&Fonts", options);
        for (const char* id : {"mnuFontsScreen", "mnuFontsPrinter"}) {
            QAction* a = actions_->Action(id);
            options->removeAction(a);
            fonts->addAction(a);
        }
        options->insertMenu(actions_->Action("mnuDisplayTools"), fonts);
    }
    addToolBar(actions_->ToolBar());
    BuildTools();

    area_ = new QMdiArea(this);
    setCentralWidget(area_);
    list_ = new MailLst;
    viewer_ = new MsgView;
    for (QWidget* child : {static_cast<QWidget*>(list_), static_cast<QWidget*>(viewer_)}) {
        QMdiSubWindow* sub = area_->addSubWindow(child);
        sub->resize(child->size());
        sub->hide();
    }
    composer_ = new NewMsg(this);

    // The status box: message count, unread count, clock, session state.
    count_ = new QLabel(kCountInitial, this);
    count_->setObjectName("lblCount");
    unreadLabel_ = new QLabel(this);
    unreadLabel_->setObjectName("lblUnread");
    time_ = new QLabel("Time", this);
    time_->setObjectName("lblTime");
    state_ = new QLabel(this);
    state_->setObjectName("lblState");
    statusBar()->addWidget(count_, 1);
    statusBar()->addWidget(unreadLabel_);
    statusBar()->addWidget(state_);
    statusBar()->addPermanentWidget(time_);
    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, [this] { time_->setText(QTime::currentTime().toString("h:mm:ss AP")); });
    clock->start(1000);

    BindActions();
    SetSessionState(false);
    resize(760, 560);
}

MailWindow::~MailWindow() {
    if (!forwardDir_.isEmpty()) QDir(forwardDir_).removeRecursively();
}

MailWindow& MailWindow::Instance() {
    if (!Shared()) {
        Shared() = new MailWindow(CreateMailService());
        Shared()->setAttribute(Qt::WA_DeleteOnClose);
    }
    return *Shared();
}

void MailWindow::Unload() {
    if (Shared()) {
        Shared()->close();
        delete Shared().data();
    }
}

QAction* MailWindow::ToolButton(int index) const {
    for (QAction* a : tools_)
        if (a->data().toInt() == index) return a;
    return nullptr;
}

QString MailWindow::ContactsFile() const {
    return settings_->value("Settings/MailContacts", DefaultContactsFile()).toString();
}

void MailWindow::BuildTools() {
    for (const MailToolButton& b : MailToolButtons()) {
        QAction* a = actions_->ToolBar()->addAction(b.caption);
        a->setObjectName(b.id);
        a->setData(b.index);
        tools_ << a;
    }
    for (int code : {kActionCompose, kActionReply, kActionReplyAll, kActionForward})
        connect(ToolButton(code), &QAction::triggered, this, [this, code] { DoAction(code); });
    connect(ToolButton(10), &QAction::triggered, this, [this] { OpenMessage(current_ - 1); });
    connect(ToolButton(11), &QAction::triggered, this, [this] { OpenMessage(current_ + 1); });
    connect(ToolButton(12), &QAction::triggered, this, [this] { DeleteMessage(current_); });
}

void MailWindow::BindActions() {
    ActionSet& a = *actions_;
    a.Bind("mnuPrintMessage", [this] { PrintMessage(current_); });
    a.Bind("mnuPrinterSetup", [this] { CurrentDialogs().ChoosePrinter(this, printer_); });
    a.Bind("mnuExit", [this] { close(); });
    a.Bind("mnuDelete", [this] { DeleteMessage(current_); });
    a.Bind("mnuLogon", [this] { Logon(); });
    a.Bind("mnuLogoff", [this] { Logoff(); });
    a.Bind("mnuUpdateList", [this] { UpdateMessageList(); });
    a.Bind("mnuOptionsMail", [this] { ShowOptions(static_cast<int>(MailOptFrm::Group::General)); });
    a.Bind("mnuFontsScreen", [this] { ChooseFont(false); });
    a.Bind("mnuFontsPrinter", [this] { ChooseFont(true); });
    a.Bind("mnuDisplayTools",
           [this] { actions_->ToolBar()->setVisible(actions_->Action("mnuDisplayTools")->isChecked()); });
    a.Bind("mnuAddressBook", [this] { ShowAddressBook(); });
    for (const char* id : {"mnuCascade", "mnuTileHorizontal", "mnuTileVertical", "mnuArrangeIcons"}) a.Bind(id, [] {});
    a.Bind("mnuAbout", [this] { CurrentDialogs().MsgBox(this, kAbout, kOKOnly, kTitle); });

    connect(list_, &MailLst::Opened, this, &MailWindow::OpenMessage);
    connect(list_, &MailLst::DroppedOnTrash, this, &MailWindow::DeleteMessage);
    connect(list_, &MailLst::DroppedOnPrinter, this, &MailWindow::PrintMessage);
    connect(viewer_, &MsgView::AttachmentOpened, this, [this](int i) {
        if (current_ < 0 || current_ >= static_cast<int>(messages_.size())) return;
        const auto& atts = messages_[current_].attachments;
        if (i < 0 || i >= static_cast<int>(atts.size())) return;
        if (const QString message = OpenAttachment(atts[i]); !message.isEmpty()) Say(message);
    });
    connect(composer_, &NewMsg::SendAsked, this, [this] { SendNote(); });
    connect(composer_, &NewMsg::CheckNamesAsked, this, &MailWindow::CheckNames);
    connect(composer_, &NewMsg::AddressAsked, this, &MailWindow::ShowAddressBook);
    connect(composer_, &NewMsg::OptionsAsked, this,
            [this] { ShowOptions(static_cast<int>(MailOptFrm::Group::Message)); });
    connect(composer_, &NewMsg::AttachAsked, this, [this] {
        if (const auto path =
                CurrentDialogs().OpenFile(composer_, "Attach", "All Files(*.*)|*.*|Text Files(*.txt)|*.txt", 1, ""))
            AddAttachment(*path);
    });
}

MailError MailWindow::Run(const QString& label, const std::function<MailError()>& work) {
    return RunMailTask(this, *service_, label, work);
}

void MailWindow::Say(const QString& text) { CurrentDialogs().MsgBox(this, text, kOKOnly, kTitle); }

void MailWindow::SetSessionState(bool on) {
    actions_->Action("mnuLogon")->setEnabled(!on);
    actions_->Action("mnuLogoff")->setEnabled(on);
    for (const char* id : {"mnuUpdateList", "mnuDelete", "mnuPrintMessage"}) actions_->Action(id)->setEnabled(on);
    for (QAction* t : tools_) t->setEnabled(on);
    state_->setText(on ? QString() : kOffLine);
}

void MailWindow::SetUnread(int count) {
    unread_ = count;
    unreadLabel_->setText(UnreadCount(count));
    list_->SetNewMail(count > 0);
}

bool MailWindow::Logon() {
    MailOptions& options = ProgramMailOptions();
    if (service_->LoggedOn() && !options.newSession) return true;
    MailServers servers = ReadMailServers(*settings_);
    if (options.logonUi) {
        LogonDialog dialog(options, servers, this);
        if (dialog.exec() != QDialog::Accepted) {
            Say(kLogonFailure + QString("Cancelled."));
            return false;
        }
        options.userName = dialog.UserName();
        options.password = dialog.Password();
        servers = dialog.Servers();
        WriteMailServers(*settings_, servers);
    }
    const Account account = MakeAccount(servers, options);
    const MailError e = Run("Logging on...", [&] { return service_->Logon(account); });
    if (!e.Ok()) {
        SetSessionState(service_->LoggedOn());
        Say(kLogonFailure + e.text);
        return false;
    }
    SetSessionState(true);
    if (options.downloadMail) UpdateMessageList();
    return true;
}

void MailWindow::Logoff() {
    const MailError e = Run("Logging off...", [&] { return service_->Logoff(); });
    if (!e.Ok()) Say(kLogoffFailure + e.text);
    SetSessionState(false);
}

void MailWindow::UpdateMessageList() {
    std::vector<MailMessage> fetched;
    const MailError e = Run("Reading messages...", [&] { return service_->Fetch(fetched); });
    if (!e.Ok()) {
        Say(e.text);
        return;
    }
    messages_ = std::move(fetched);
    current_ = -1;
    count_->setText(MessagesCount(static_cast<int>(messages_.size())));
    list_->SetMessages(messages_);
    SetUnread(static_cast<int>(
        std::count_if(messages_.begin(), messages_.end(), [](const MailMessage& m) { return m.unread; })));
    list_->parentWidget()->show();
    list_->show();
}

void MailWindow::OpenMessage(int index) {
    if (index < 0 || index >= static_cast<int>(messages_.size())) return;
    current_ = index;
    MailMessage& m = messages_[index];
    if (m.unread) {
        const MailError e = Run("Marking the message read...", [&] { return service_->MarkRead(index); });
        if (e.Ok()) {
            m.unread = false;
            list_->SetLine(index, m);
            SetUnread(unread_ - 1);
        }
    }
    list_->MList()->setCurrentRow(index);
    viewer_->Show(m);
    viewer_->parentWidget()->show();
    viewer_->show();
}

void MailWindow::DeleteMessage(int index) {
    if (index < 0 || index >= static_cast<int>(messages_.size())) return;
    const MailError e = Run("Deleting the message...", [&] { return service_->Delete(index); });
    if (!e.Ok()) {
        Say(e.text);
        return;
    }
    const bool wasUnread = messages_[index].unread;
    messages_.erase(messages_.begin() + index);
    delete list_->MList()->takeItem(index);
    count_->setText(MessagesCount(static_cast<int>(messages_.size())));
    if (wasUnread) SetUnread(unread_ - 1);
    current_ = -1;
    if (messages_.empty()) viewer_->parentWidget()->hide();
    else OpenMessage(std::min(index, static_cast<int>(messages_.size()) - 1));
}

void MailWindow::PrintMessage(int index) {
    if (index < 0 || index >= static_cast<int>(messages_.size())) return;
    const MailMessage& m = messages_[index];
    QPainter painter;
    if (!painter.begin(&printer_)) {
        Say("The message cannot be printed.");
        return;
    }
    painter.setFont(printerFont_);
    const QRect page = painter.viewport();
    QString text = "From: " + m.senderName + "\nTo: " + JoinNames(m.recipients, kRecipientTo) +
                   "\nCc: " + JoinNames(m.recipients, kRecipientCc) + "\nSubject: " + m.subject +
                   "\nDate: " + LongDate(m.dateReceived) + "\n\n" + QString(m.noteText).replace("\r\n", "\n");
    painter.drawText(page, Qt::TextWordWrap, text);
    painter.end();
}

void MailWindow::DoAction(int code) {
    const bool answering = code != kActionCompose;
    if (answering && (current_ < 0 || current_ >= static_cast<int>(messages_.size()))) return;
    buffer_ = {};
    if (answering) {
        const MailMessage& m = messages_[current_];
        buffer_.noteText = ReplyHeader(m) + m.noteText;
        if (code == kActionForward) {
            buffer_.subject = "FW: " + m.subject;
            // Forwarded attachments go out again from files of our own.
            if (forwardDir_.isEmpty()) {
                QTemporaryDir dir;
                dir.setAutoRemove(false);
                forwardDir_ = dir.path();
            }
            for (const auto& a : m.attachments) {
                Attachment copy = a;
                copy.path = forwardDir_ + '/' + QString::number(buffer_.attachments.size()) + '-' +
                            QFileInfo(a.name).fileName();
                if (QFile f(copy.path); f.open(QIODevice::WriteOnly)) f.write(a.data);
                copy.data.clear();
                copy.position = static_cast<int>(buffer_.attachments.size());
                buffer_.attachments.push_back(copy);
            }
        } else {
            buffer_.subject = "RE: " + m.subject;
            buffer_.recipients.push_back({kRecipientTo, m.senderName, m.senderAddress});
            if (code == kActionReplyAll) {
                const QString self = MakeAccount(ReadMailServers(*settings_), ProgramMailOptions()).sender;
                for (const auto& r : m.recipients)
                    if (r.address.compare(self, Qt::CaseInsensitive) != 0 && r.address != m.senderAddress)
                        buffer_.recipients.push_back(r);
            }
        }
    }
    if (ProgramMailOptions().sendWithDialogs) {
        if (const QString error = HandToDesktopComposer(buffer_); !error.isEmpty()) Say(kSendFailure + error);
        return;
    }
    FillComposer();
    composer_->show();
    composer_->raise();
}

void MailWindow::FillComposer() {
    composer_->SetTo(JoinNames(buffer_.recipients, kRecipientTo));
    composer_->SetCc(JoinNames(buffer_.recipients, kRecipientCc));
    composer_->SetSubject(buffer_.subject);
    composer_->SetNoteText(buffer_.noteText);
    composer_->SetAttachments(buffer_.attachments);
}

void MailWindow::PrepareNote(const QString& body, const QString& attachment) {
    // A failed logon is reported; the note is prepared all the same.
    Logon();
    buffer_ = {};
    buffer_.noteText = body;
    if (!attachment.isEmpty()) buffer_.attachments.push_back({attachment, attachment, 0, kAttachmentDataFile, {}});
    FillComposer();
    if (ProgramMailOptions().sendWithDialogs) {
        if (const QString error = HandToDesktopComposer(buffer_); error.isEmpty()) return;
    }
    composer_->show();
    composer_->raise();
}

void MailWindow::ComposeTelugu(const QString& body) { PrepareNote(body, {}); }

void MailWindow::ComposeAttach(const QString& body, const QString& path) { PrepareNote(body, path); }

void MailWindow::AddAttachment(const QString& path) {
    const int index = static_cast<int>(buffer_.attachments.size());
    buffer_.attachments.push_back({path, path, index, kAttachmentDataFile, {}});
    composer_->SetAttachments(buffer_.attachments);
}

bool MailWindow::CopyRecipients(bool resolve) {
    const std::vector<Contact> contacts = ReadContacts(ContactsFile());
    QStringList unresolved;
    buffer_.recipients = ParseRecipients(composer_->To(), kRecipientTo, resolve ? &contacts : nullptr, &unresolved);
    for (auto& r : ParseRecipients(composer_->Cc(), kRecipientCc, resolve ? &contacts : nullptr, &unresolved))
        buffer_.recipients.push_back(r);
    for (const QString& name : unresolved) Say(name + kNotResolved);
    return unresolved.isEmpty();
}

void MailWindow::CheckNames() {
    CopyRecipients(true);
    // Each name becomes its resolved display name; one that does not resolve
    // stays as typed for the user to correct.
    const std::vector<Contact> contacts = ReadContacts(ContactsFile());
    auto rewrite = [&](const QString& field) {
        QStringList names;
        for (const QString& part : field.split(';', Qt::SkipEmptyParts)) {
            const auto c = Resolve(contacts, part);
            names << (c ? c->name : part.trimmed());
        }
        return names.join(';');
    };
    composer_->SetTo(rewrite(composer_->To()));
    composer_->SetCc(rewrite(composer_->Cc()));
}

bool MailWindow::SendNote() {
    // The addresses come from the contacts file (or are typed as addresses).
    if (!CopyRecipients(true)) return false;
    buffer_.subject = composer_->Subject();
    buffer_.noteText = MarkAttachments(composer_->NoteText(), static_cast<int>(buffer_.attachments.size()));
    buffer_.returnReceipt = ProgramMailOptions().returnReceipt;
    if (!service_->LoggedOn() && !Logon()) return false;
    const OutgoingMessage message = buffer_;
    const MailError e = Run("Sending...", [&] { return service_->Send(message); });
    if (!e.Ok()) {
        // The note window keeps everything the user wrote.
        Say(kSendFailure + QString::number(e.number));
        return false;
    }
    buffer_ = {};
    FillComposer();
    composer_->hide();
    return true;
}

void MailWindow::ShowAddressBook() {
    const QString file = ContactsFile();
    if (QFileInfo::exists(file) && !QFileInfo(file).isReadable()) {
        Say(kAddressBookFailurePrefix + QString::number(kErrorFailure) + kAddressBookFailureSuffix);
        return;
    }
    AddressBook book(file, this);
    if (book.exec() != QDialog::Accepted) return;
    auto join = [](const QString& field, const QStringList& more) {
        QStringList all = field.split(';', Qt::SkipEmptyParts);
        return (all + more).join(';');
    };
    composer_->SetTo(join(composer_->To(), book.PickedTo()));
    composer_->SetCc(join(composer_->Cc(), book.PickedCc()));
    if (!book.PickedTo().isEmpty() || !book.PickedCc().isEmpty()) {
        composer_->show();
        composer_->raise();
    }
}

void MailWindow::ShowOptions(int group) {
    MailOptFrm dialog(ProgramMailOptions(), static_cast<MailOptFrm::Group>(group), this);
    if (dialog.exec() == QDialog::Accepted) ProgramMailOptions() = dialog.Options();
}

void MailWindow::ChooseFont(bool printer) {
    QWidget* target = QApplication::focusWidget();
    if (!target || (!isAncestorOf(target) && target->window() != composer_)) target = list_->MList();
    const QFont current = printer ? printerFont_ : target->font();
    FontChoice initial;
    initial.name = current.family();
    initial.size = current.pointSizeF();
    initial.bold = current.bold();
    initial.italic = current.italic();
    const auto choice = CurrentDialogs().ChooseFont(this, initial);
    if (!choice) return;
    QFont font(choice->name);
    if (choice->size > 0) font.setPointSizeF(choice->size);
    font.setBold(choice->bold);
    font.setItalic(choice->italic);
    if (printer) printerFont_ = font;
    else target->setFont(font);
}

void MailWindow::closeEvent(QCloseEvent* event) {
    if (service_->LoggedOn()) Logoff();
    composer_->close();
    event->accept();
}

}  // namespace vrayu::mail
