// The mail client's modal dialogs: options (MailOptFrm), logon, and the
// address book over the contacts file.
#pragma once

#include <QDialog>

#include "contacts.h"
#include "mail_settings.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;

namespace vrayu::mail {

class MailOptFrm : public QDialog {
    Q_OBJECT
public:
    enum class Group { General, Message };
    // Filled from `options`; only `group` is shown.
    MailOptFrm(const MailOptions& options, Group group, QWidget* parent = nullptr);
    // The options as edited (OK copies them back; Cancel discards).
    MailOptions Options() const;
    QCheckBox* Check(const QString& caption) const;
    QLineEdit* UserName() const { return user_; }
    QLineEdit* Password() const { return password_; }

private:
    MailOptions options_;
    QGroupBox* general_;
    QGroupBox* message_;
    QLineEdit* user_;
    QLineEdit* password_;
    QList<QCheckBox*> checks_;
};

// Asks for user name, password and the servers before logging on.
class LogonDialog : public QDialog {
    Q_OBJECT
public:
    LogonDialog(const MailOptions& options, const MailServers& servers, QWidget* parent = nullptr);
    QString UserName() const;
    QString Password() const;
    MailServers Servers() const;

private:
    QLineEdit* user_;
    QLineEdit* password_;
    QLineEdit* store_;
    QLineEdit* smtp_;
    QLineEdit* sender_;
};

// Lists the contacts file; names picked go to To or Cc; a new contact is
// added to the file.
class AddressBook : public QDialog {
    Q_OBJECT
public:
    AddressBook(const QString& contactsFile, QWidget* parent = nullptr);
    QStringList PickedTo() const { return to_; }
    QStringList PickedCc() const { return cc_; }
    QListWidget* List() const { return list_; }

private:
    void Reload();
    void Pick(QStringList& into);
    void AddNew();

    QString file_;
    std::vector<Contact> contacts_;
    QListWidget* list_;
    QLineEdit* picked_;
    QStringList to_, cc_;
};

}  // namespace vrayu::mail
