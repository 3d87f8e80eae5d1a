#include "program_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vrayu {
namespace {

QString& OverrideDir() {
    static QString dir;
    return dir;
}

QString CacheDirectory() {
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + "/.cache";
    return base + "/vrayu";
}

}  // namespace

QString ProgramDirectory() {
    if (!OverrideDir().isEmpty()) return OverrideDir();
    return QCoreApplication::applicationDirPath();
}

void SetProgramDirectory(const QString& dir) { OverrideDir() = dir; }

QString ProgramFile(const QString& name) { return ProgramDirectory() + "/" + name; }

QString WritableProgramFile(const QString& name) {
    const QFileInfo dir(ProgramDirectory());
    if (dir.isDir() && dir.isWritable()) return ProgramFile(name);
    const QString cache = CacheDirectory();
    QDir().mkpath(cache);
    return cache + "/" + name;
}

}  // namespace vrayu
