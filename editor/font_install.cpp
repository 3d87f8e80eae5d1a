#include "font_install.h"

#include <cstdio>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QProcess>

#include "program_dir.h"
#include "registry_access.h"
#include "user_dirs.h"

namespace vrayu {
namespace {

// fc-cache on one folder takes well under a second; never wait forever.
constexpr int kFcCacheTimeoutMs = 30000;

// Links the font file into the user's fonts folder (replacing an old link
// or copy in one rename), so fontconfig finds it in every later session.
void RegisterFont(const QString& fontPath) {
    if (!QFileInfo(fontPath).isFile()) return;
    const QString dir = UserFontsDirectory();
    // The user's own folder (made 0700 when missing), never one another
    // user could have planted.
    if (dir.isEmpty() || !userdirs::EnsurePrivateFolder(dir.toStdString())) return;
    const QString target = dir + "/" + kFontFileName;
    const QString temp = target + ".new";
    QFile::remove(temp);
    if (!QFile::link(fontPath, temp)) return;
    if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0) QFile::remove(temp);
}

// Tells fontconfig and the running program about the font.
void NotifyFontChange(const QString& fontPath) {
    QProcess fcCache;
    fcCache.start("fc-cache", {UserFontsDirectory()});
    if (fcCache.waitForStarted()) {
        if (!fcCache.waitForFinished(kFcCacheTimeoutMs)) fcCache.kill();
        fcCache.waitForFinished(1000);
    }
    if (QFileInfo(fontPath).isFile()) QFontDatabase::addApplicationFont(fontPath);
}

void RecordFont(const QString& fontPath) {
    registry::RootFlags localMachine;
    localMachine.localMachine = true;
    const char* key = registry::KeyExists(kPreferredFontsKey, localMachine) ? kPreferredFontsKey : kFallbackFontsKey;
    registry::WriteStringValue(key, kFontValueName, fontPath.toStdString(), localMachine);
}

}  // namespace

QString UserFontsDirectory() {
    const std::string base = userdirs::DataHome();
    return base.empty() ? QString() : QString::fromStdString(base) + "/fonts";
}

bool ProductFontInstalled() { return QFontDatabase::families().contains(kFontFamily); }

void InstallMyFont() {
    const QString fontPath = ProgramFile(kFontFileName);
    RegisterFont(fontPath);
    NotifyFontChange(fontPath);
    RecordFont(fontPath);
}

}  // namespace vrayu
