// Where the mail client finds the user's mail, and the program-wide mail
// options. Servers and the sender address live in the editor's settings file
// (section "Settings": MailStoreUrl, MailSmtpUrl, MailSender); the user name
// and password, and the option flags, are held in memory only.
#pragma once

#include <QString>
#include <memory>

#include "mail_service.h"

class QSettings;

namespace vrayu::mail {

struct MailOptions {
    QString userName;
    QString password;
    bool downloadMail = true;      // "&Download Mail": fetch the list on logon
    bool newSession = false;       // "&New Session": log on afresh even when a session is open
    bool logonUi = false;          // "&Logon UI": ask for user, password and servers at logon
    bool sendWithDialogs = false;  // "&Send with MAPI Dialogs": hand notes to the desktop's composer
    bool returnReceipt = false;    // "&Return Receipt"
};

// The editor's settings file, $XDG_CONFIG_HOME/VrayuEditor.ini (looked up
// afresh each time, so a changed environment is honoured).
std::unique_ptr<QSettings> OpenEditorSettings();

// The options of this run (never written anywhere).
MailOptions& ProgramMailOptions();

struct MailServers {
    QString storeUrl = "maildir:";
    QString smtpUrl;
    QString sender;
};

MailServers ReadMailServers(QSettings& settings);
void WriteMailServers(QSettings& settings, const MailServers& servers);

// The account to log on with: servers from the settings, user and password
// from the options; without a sender address, the user name when it is an
// address, else user@host.
Account MakeAccount(const MailServers& servers, const MailOptions& options);

// The web address the notes of a sent document name ("MailNoteSite" in the
// settings, else the product's site).
QString NoteSiteAddress(QSettings& settings);

}  // namespace vrayu::mail
