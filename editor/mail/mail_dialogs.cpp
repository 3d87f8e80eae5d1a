#include "mail_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs.h"

namespace vrayu::mail {

MailOptFrm::MailOptFrm(const MailOptions& options, Group group, QWidget* parent) : QDialog(parent), options_(options) {
    setObjectName("MailOptFrm");
    setWindowTitle("Mail Options");
    message_ = new QGroupBox("Message Options", this);
    auto* receipt = new QCheckBox("&Return Receipt", message_);
    receipt->setChecked(options.returnReceipt);
    (new QVBoxLayout(message_))->addWidget(receipt);
    general_ = new QGroupBox("General Options", this);
    auto* download = new QCheckBox("&Download Mail", general_);
    download->setChecked(options.downloadMail);
    auto* session = new QCheckBox("&New Session", general_);
    session->setChecked(options.newSession);
    auto* logonUi = new QCheckBox("&Logon UI", general_);
    logonUi->setChecked(options.logonUi);
    auto* dialogs = new QCheckBox("&Send with MAPI Dialogs", general_);
    dialogs->setChecked(options.sendWithDialogs);
    user_ = new QLineEdit(options.userName, general_);
    password_ = new QLineEdit(options.password, general_);
    password_->setEchoMode(QLineEdit::Password);
    auto* form = new QFormLayout(general_);
    form->addRow(download);
    form->addRow(session);
    form->addRow(logonUi);
    auto* userLabel = new QLabel("&User Name:", general_);
    userLabel->setBuddy(user_);
    form->addRow(userLabel, user_);
    auto* passwordLabel = new QLabel("&Password:", general_);
    passwordLabel->setBuddy(password_);
    form->addRow(passwordLabel, password_);
    form->addRow(dialogs);
    checks_ = {receipt, download, session, logonUi, dialogs};
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Only the chosen group shows, at the left edge; the dialog fits it.
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(general_);
    layout->addWidget(message_);
    layout->addWidget(buttons);
    general_->setVisible(group == Group::General);
    message_->setVisible(group == Group::Message);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QCheckBox* MailOptFrm::Check(const QString& caption) const {
    for (QCheckBox* c : checks_)
        if (c->text() == caption) return c;
    return nullptr;
}

MailOptions MailOptFrm::Options() const {
    MailOptions o = options_;
    o.returnReceipt = Check("&Return Receipt")->isChecked();
    o.downloadMail = Check("&Download Mail")->isChecked();
    o.newSession = Check("&New Session")->isChecked();
    o.logonUi = Check("&Logon UI")->isChecked();
    o.sendWithDialogs = Check("&Send with MAPI Dialogs")->isChecked();
    o.userName = user_->text();
    o.password = password_->text();
    return o;
}

LogonDialog::LogonDialog(const MailOptions& options, const MailServers& servers, QWidget* parent) : QDialog(parent) {
    setObjectName("LogonDialog");
    setWindowTitle("Mail Logon");
    user_ = new QLineEdit(options.userName, this);
    password_ = new QLineEdit(options.password, this);
    password_->setEchoMode(QLineEdit::Password);
    store_ = new QLineEdit(servers.storeUrl, this);
    store_->setToolTip("maildir:, maildir:///path, imap://host, imaps://host, pop3://host, pop3s://host");
    smtp_ = new QLineEdit(servers.smtpUrl, this);
    smtp_->setToolTip("smtp://host:587 (STARTTLS), smtps://host:465");
    sender_ = new QLineEdit(servers.sender, this);
    auto* form = new QFormLayout;
    form->addRow("&User name:", user_);
    form->addRow("&Password:", password_);
    form->addRow("&Incoming mail:", store_);
    form->addRow("&Outgoing mail:", smtp_);
    form->addRow("&Sender address:", sender_);
    auto* note = new QLabel("The user name and password are kept only while the editor runs.", this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

QString LogonDialog::UserName() const { return user_->text(); }
QString LogonDialog::Password() const { return password_->text(); }
MailServers LogonDialog::Servers() const { return {store_->text(), smtp_->text(), sender_->text()}; }

AddressBook::AddressBook(const QString& contactsFile, QWidget* parent) : QDialog(parent), file_(contactsFile) {
    setObjectName("AddressBook");
    setWindowTitle("Address Book");
    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    picked_ = new QLineEdit(this);
    picked_->setReadOnly(true);
    auto* toButton = new QPushButton("&To ->", this);
    auto* ccButton = new QPushButton("&Cc ->", this);
    auto* newButton = new QPushButton("&New...", this);
    connect(toButton, &QPushButton::clicked, this, [this] { Pick(to_); });
    connect(ccButton, &QPushButton::clicked, this, [this] { Pick(cc_); });
    connect(newButton, &QPushButton::clicked, this, [this] { AddNew(); });
    auto* side = new QHBoxLayout;
    side->addWidget(toButton);
    side->addWidget(ccButton);
    side->addWidget(newButton);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Contacts (" + file_ + "):", this));
    layout->addWidget(list_, 1);
    layout->addLayout(side);
    layout->addWidget(picked_);
    layout->addWidget(buttons);
    Reload();
    resize(420, 360);
}

void AddressBook::Reload() {
    contacts_ = ReadContacts(file_);
    list_->clear();
    for (const auto& c : contacts_) list_->addItem(c.name + " <" + c.address + ">");
}

void AddressBook::Pick(QStringList& into) {
    for (QListWidgetItem* item : list_->selectedItems()) into << contacts_[list_->row(item)].name;
    picked_->setText("To: " + to_.join(';') + "   Cc: " + cc_.join(';'));
}

void AddressBook::AddNew() {
    const QString line = CurrentDialogs().InputBox(this, "Name <address>", "New Contact", "");
    const auto contact = ParseContactLine(line);
    if (!contact) return;
    if (!AddContact(file_, *contact)) {
        CurrentDialogs().MsgBox(this, "The contacts file cannot be written: " + file_, kOKOnly, "Address Book");
        return;
    }
    Reload();
}

}  // namespace vrayu::mail
