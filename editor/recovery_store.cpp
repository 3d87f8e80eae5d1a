#include "recovery_store.h"

#include <QDir>
#include <QFileInfo>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <unistd.h>

#include "document_files.h"

namespace vrayu {
namespace {

std::atomic<int> g_nextCopy{0};

bool ProcessRuns(qint64 pid) {
    if (pid <= 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

QString RecoveryFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state)) state = QDir::homePath() + "/.local/state";
    return state + "/vrayu/recovery";
}

QString NewRecoveryPath() { return RecoveryFolder() + QStringLiteral("/%1-%2.txt").arg(::getpid()).arg(++g_nextCopy); }

bool WriteRecoveryCopy(const QString& path, const QString& fileName, const QString& text) {
    const QString folder = QFileInfo(path).path();
    if (!QDir().mkpath(folder)) return false;
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return WriteFileAtomically(path, fileName.toUtf8() + '\n' + text.toUtf8());
}

QList<RecoveredDocument> OrphanedRecoveryCopies() {
    QList<RecoveredDocument> out;
    const QDir folder(RecoveryFolder());
    for (const QFileInfo& info : folder.entryInfoList({"*-*.txt"}, QDir::Files, QDir::Time | QDir::Reversed)) {
        const qint64 pid = info.fileName().section('-', 0, 0).toLongLong();
        if (pid == ::getpid() || ProcessRuns(pid)) continue;
        const std::optional<QByteArray> bytes = ReadWholeFile(info.filePath());
        if (!bytes) continue;
        const qsizetype newline = bytes->indexOf('\n');
        if (newline < 0) continue;
        out.append(
            {info.filePath(), QString::fromUtf8(bytes->left(newline)), QString::fromUtf8(bytes->mid(newline + 1))});
    }
    return out;
}

}  // namespace vrayu
