#include "mail_settings.h"

#include <QDir>
#include <QHostInfo>
#include <QSettings>

#include "app_info.h"

namespace vrayu::mail {

std::unique_ptr<QSettings> OpenEditorSettings() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::homePath() + "/.config";
    return std::make_unique<QSettings>(config + '/' + kAppTitle + ".ini", QSettings::IniFormat);
}

MailOptions& ProgramMailOptions() {
    static MailOptions options;
    return options;
}

MailServers ReadMailServers(QSettings& settings) {
    MailServers s;
    settings.beginGroup("Settings");
    s.storeUrl = settings.value("MailStoreUrl", s.storeUrl).toString();
    s.smtpUrl = settings.value("MailSmtpUrl", s.smtpUrl).toString();
    s.sender = settings.value("MailSender", s.sender).toString();
    settings.endGroup();
    return s;
}

void WriteMailServers(QSettings& settings, const MailServers& s) {
    settings.beginGroup("Settings");
    settings.setValue("MailStoreUrl", s.storeUrl);
    settings.setValue("MailSmtpUrl", s.smtpUrl);
    settings.setValue("MailSender", s.sender);
    settings.endGroup();
    settings.sync();
}

Account MakeAccount(const MailServers& servers, const MailOptions& options) {
    Account a{servers.storeUrl, servers.smtpUrl, servers.sender, options.userName, options.password};
    if (a.sender.trimmed().isEmpty()) {
        const QString user = options.userName.isEmpty() ? qEnvironmentVariable("USER", "user") : options.userName;
        a.sender = user.contains('@') ? user : user + '@' + QHostInfo::localHostName();
    }
    return a;
}

QString NoteSiteAddress(QSettings& settings) {
    return settings.value("Settings/MailNoteSite", ProductSiteAddress()).toString();
}

}  // namespace vrayu::mail
