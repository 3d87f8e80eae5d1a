#include "desktop_handover.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include "functions/logic/ini_file.h"
#include "mail_format.h"
#include "windows_directory.h"

namespace vrayu::mail {
namespace {

constexpr char kNotFound[] = "NOTFOUND";

QString AttachmentFolder() {
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty()) cache = QDir::homePath() + "/.cache";
    return cache + "/vrayu/attachments";
}

}  // namespace

QString ExtensionEntry(const QString& fileName) {
    const QString ext = QFileInfo(fileName).suffix();
    if (ext.isEmpty()) return kNotFound;
    const std::string ini = tarn::WindowsDirectory() + "/WIN.INI";
    return QString::fromStdString(tarn::ReadProfileString(ini, "Extensions", ext.toStdString(), kNotFound));
}

QString OpenAttachment(const Attachment& a) {
    if (a.type != kAttachmentDataFile) return kNoOleViewing;
    // Only the last part of the name counts: a name never leads out of the folder.
    QString name = QFileInfo(a.name).fileName();
    if (name.isEmpty() || name == "." || name == "..") name = "attachment";
    QString path = a.path;
    if (path.isEmpty()) {
        QDir().mkpath(AttachmentFolder());
        QFile::setPermissions(AttachmentFolder(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        path = AttachmentFolder() + '/' + name;
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(a.data) != a.data.size() || !out.commit())
            return kShellFailure + QString("cannot write ") + path;
    }
    const QString entry = ExtensionEntry(name);
    if (entry == kNotFound) {
        if (QProcess::startDetached("xdg-open", {path})) return {};
        return kAppNotFoundPrefix + QFileInfo(name).suffix() + kAppNotFoundSuffix;
    }
    // "program ^.ext": the program is the first word; the file follows it.
    const QStringList words = QProcess::splitCommand(entry);
    if (words.isEmpty()) return kAppNotFoundPrefix + QFileInfo(name).suffix() + kAppNotFoundSuffix;
    QStringList args;
    for (qsizetype i = 1; i < words.size(); ++i)
        if (!words[i].startsWith('^')) args << words[i];
    args << path;
    QProcess process;
    process.setProgram(words.first());
    process.setArguments(args);
    qint64 pid = 0;
    if (!process.startDetached(&pid)) return kShellFailure + process.errorString();
    return {};
}

QStringList ComposerArguments(const OutgoingMessage& m) {
    QStringList args{"--utf8"};
    QStringList to;
    for (const auto& r : m.recipients) {
        const QString who = r.address.isEmpty() ? r.name : r.address;
        if (r.type == kRecipientCc) args << "--cc" << who;
        else to << who;
    }
    if (!m.subject.isEmpty()) args << "--subject" << m.subject;
    if (!m.noteText.isEmpty()) args << "--body" << m.noteText;
    for (const auto& a : m.attachments) args << "--attach" << a.path;
    return args + to;
}

QString HandToDesktopComposer(const OutgoingMessage& message) {
    QProcess process;
    process.setProgram("xdg-email");
    process.setArguments(ComposerArguments(message));
    if (!process.startDetached()) return process.errorString();
    return {};
}

}  // namespace vrayu::mail
