// Real mail servers for the tests, each in a folder of its own: an SMTP
// server (aiosmtpd) that writes what it receives to files, and an IMAP
// server (Dovecot) with its own configuration. `Missing()` tells why a
// server cannot run here (its program is absent); tests then skip.
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

// Skips the test, saying why, when the server's program is not installed.
#define SKIP_IF_MISSING(server) \
    if (!(server).Missing().isEmpty()) GTEST_SKIP() << "skipped: " << (server).Missing().toStdString()

namespace vrayu::mail::test {

inline constexpr char kPython[] = "/usr/bin/python3";

// A port of 127.0.0.1 nobody listens on right now.
inline int FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

inline bool WaitFor(const std::function<bool()>& ready, int ms = 15000) {
    QElapsedTimer t;
    t.start();
    while (!ready()) {
        if (t.elapsed() > ms) return false;
        QThread::msleep(50);
    }
    return true;
}

class SmtpServer {
public:
    // `folder` receives NNN.eml files; `refuse` answers every message 554.
    SmtpServer(const QString& folder, bool refuse = false, const QString& user = {}, const QString& password = {})
        : folder_(folder) {
        QDir().mkpath(folder);
        if (!QFileInfo(kPython).isExecutable() || QProcess::execute(kPython, {"-c", "import aiosmtpd"}) != 0) {
            missing_ = "python3-aiosmtpd is not installed";
            return;
        }
        QStringList args{VRAYU_SMTP_SINK, folder};
        if (refuse) args << "--refuse";
        if (!user.isEmpty()) args << "--user" << user << "--password" << password;
        process_.start(kPython, args);
        if (process_.waitForReadyRead(15000)) port_ = process_.readLine().trimmed().toInt();
    }
    ~SmtpServer() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
        process_.waitForFinished(3000);
    }
    QString Missing() const { return missing_; }
    int Port() const { return port_; }
    QString Url() const { return QString("smtp://127.0.0.1:%1").arg(port_); }
    QStringList Messages() const {
        QStringList out;
        for (const QString& name : QDir(folder_).entryList({"*.eml"}, QDir::Files, QDir::Name))
            out << folder_ + '/' + name;
        return out;
    }
    // Waits for the n-th message and returns its bytes.
    QByteArray Received(int n = 1) const {
        WaitFor([&] { return Messages().size() >= n; }, 10000);
        if (Messages().size() < n) return {};
        QFile f(Messages()[n - 1]);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private:
    QString folder_;
    QString missing_;
    QProcess process_;
    int port_ = 0;
};

// Dovecot serving IMAP on 127.0.0.1 for any user whose password is `password`;
// mail of user U lives in folder/mail/U/Maildir, owned by nobody; the inbox
// has a Trash folder marked as trash.
class ImapServer {
public:
    // With `tls`, IMAPS is served too (ImapsUrl), with a self-signed certificate.
    ImapServer(const QString& folder, const QString& password, bool tls = false) : folder_(folder) {
        const QString dovecot =
            QFileInfo::exists("/usr/sbin/dovecot") ? "/usr/sbin/dovecot" : QStandardPaths::findExecutable("dovecot");
        if (dovecot.isEmpty()) {
            missing_ = "dovecot (dovecot-imapd) is not installed";
            return;
        }
        port_ = FreePort();
        for (const char* sub : {"run", "state", "mail"}) QDir().mkpath(folder + '/' + sub);
        QString ssl = "ssl = no\n";
        if (tls) {
            tlsPort_ = FreePort();
            if (QProcess::execute(
                    "openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1",
                                "-keyout", folder + "/key.pem", "-out", folder + "/cert.pem"}) != 0) {
                missing_ = "openssl is not installed";
                return;
            }
            ssl = QString("ssl = yes\nssl_cert = <%1/cert.pem\nssl_key = <%1/key.pem\n").arg(folder);
        }
        // Every folder on the way must be passable for the mail user.
        for (QString p = folder; p != "/" && !p.isEmpty(); p = QFileInfo(p).path())
            if (p.startsWith(QDir::tempPath() + '/'))
                QFile::setPermissions(p, QFile::permissions(p) | QFileDevice::ExeOther | QFileDevice::ReadOther);
        const QString conf = QString(R"(protocols = imap
listen = 127.0.0.1
base_dir = %1/run
state_dir = %1/state
log_path = %1/dovecot.log
%4disable_plaintext_auth = no
auth_mechanisms = plain login
auth_failure_delay = 0
login_trusted_networks = 127.0.0.0/8
default_login_user = dovenull
default_internal_user = dovecot
mail_location = maildir:~/Maildir
passdb {
  driver = static
  args = password=%2
}
userdb {
  driver = static
  args = uid=nobody gid=nogroup home=%1/mail/%u
}
namespace inbox {
  inbox = yes
  separator = /
  mailbox Trash {
    special_use = \Trash
    auto = create
  }
}
service imap-login {
  chroot =
  inet_listener imap {
    address = 127.0.0.1
    port = %3
  }
  inet_listener imaps {
    address = 127.0.0.1
    port = %5
  }
}
service anvil {
  chroot =
}
service stats {
  chroot =
}
)")
                                 .arg(folder, password)
                                 .arg(port_)
                                 .arg(ssl)
                                 .arg(tlsPort_);
        QFile f(folder + "/dovecot.conf");
        f.open(QIODevice::WriteOnly);
        f.write(conf.toUtf8());
        f.close();
        const int status = QProcess::execute(dovecot, {"-c", folder + "/dovecot.conf"});
        started_ = status == 0 && WaitFor([&] {
                       QTcpSocket s;
                       s.connectToHost("127.0.0.1", static_cast<quint16>(port_));
                       return s.waitForConnected(200);
                   });
    }
    ~ImapServer() {
        QFile pidFile(folder_ + "/run/master.pid");
        if (pidFile.open(QIODevice::ReadOnly)) {
            const pid_t pid = pidFile.readAll().trimmed().toInt();
            if (pid > 0) {
                ::kill(pid, SIGTERM);
                WaitFor([&] { return ::kill(pid, 0) != 0; }, 5000);
            }
        }
    }
    QString Missing() const { return missing_; }
    bool Started() const { return started_; }
    QString Log() const {
        QFile f(folder_ + "/dovecot.log");
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }
    QString Url() const { return QString("imap://127.0.0.1:%1").arg(port_); }
    QString ImapsUrl() const { return QString("imaps://127.0.0.1:%1").arg(tlsPort_); }
    QString Maildir(const QString& user) const { return folder_ + "/mail/" + user + "/Maildir"; }
    // Messages in a folder of the user's Maildir ("" is the inbox), read or not.
    int FileCount(const QString& user, const QString& folder) const {
        const QString base = Maildir(user) + (folder.isEmpty() ? "" : "/" + folder);
        return static_cast<int>(QDir(base + "/cur").entryList(QDir::Files).size() +
                                QDir(base + "/new").entryList(QDir::Files).size());
    }
    // Puts a message into the user's inbox as a new, unread file.
    void Deliver(const QString& user, const QByteArray& message, const QString& name) const {
        const QString home = folder_ + "/mail/" + user;
        for (const char* sub : {"/Maildir/new", "/Maildir/cur", "/Maildir/tmp"}) QDir().mkpath(home + sub);
        QFile f(home + "/Maildir/new/" + name);
        f.open(QIODevice::WriteOnly);
        f.write(message);
        f.close();
        const passwd* nobody = getpwnam("nobody");
        if (!nobody) return;
        QProcess::execute("chown", {"-R", QString("%1:%2").arg(nobody->pw_uid).arg(nobody->pw_gid), home});
    }

private:
    QString folder_;
    QString missing_;
    int port_ = 0;
    int tlsPort_ = 0;
    bool started_ = false;
};

}  // namespace vrayu::mail::test
