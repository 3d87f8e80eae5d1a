#include "program_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "user_dirs.h"

namespace vrayu {
namespace {

QString& OverrideDir() {
    static QString dir;
    return dir;
}

// The user's own cache folder, "" when there is none to trust.
QString CacheDirectory() {
    const std::string base = userdirs::CacheHome();
    if (base.empty()) return {};
    const std::string dir = base + "/vrayu";
    return userdirs::EnsurePrivateFolder(dir) ? QString::fromStdString(dir) : QString();
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
    return cache.isEmpty() ? QString() : cache + "/" + name;
}

}  // namespace vrayu
