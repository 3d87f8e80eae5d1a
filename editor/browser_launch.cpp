#include "browser_launch.h"

#include <QProcess>

#include "registry_access.h"

namespace vrayu {
namespace {

registry::RootFlags ClassesRoot() {
    registry::RootFlags flags;
    flags.classesRoot = true;
    return flags;
}

bool StartDetached(const QStringList& line) {
    if (line.isEmpty()) return false;
    return QProcess::startDetached(line.front(), line.mid(1));
}

}  // namespace

QString BrowserCommand() {
    const std::string stored = registry::ReadStringValue(kBrowserCommandKey, "", ClassesRoot());
    if (!QString::fromStdString(stored).trimmed().isEmpty()) return QString::fromStdString(stored);
    registry::WriteStringValue(kBrowserCommandKey, "", kDefaultBrowserCommand, ClassesRoot());
    return kDefaultBrowserCommand;
}

QStringList BrowserLaunchLine(const QString& command, const QString& address) {
    QStringList line = QProcess::splitCommand(command);
    if (line.isEmpty()) return {};
    line.append(address);
    return line;
}

bool LaunchBrowser(const QString& address) { return StartDetached(BrowserLaunchLine(BrowserCommand(), address)); }

bool OpenWithDefaultProgram(const QString& path) { return StartDetached({"xdg-open", path}); }

}  // namespace vrayu

#include <QCoreApplication>

#include "app_info.h"
#include "program_dir.h"
#include "update_check.h"

namespace vrayu {

void OpenProductSite() { LaunchBrowser(ProductSiteAddress()); }

void OpenHelpPage() { LaunchBrowser("file://" + ProgramFile(kHelpPageName)); }

void OpenUpdateCheck() {
    LaunchBrowser(UpdateCheckAddress(ProductSiteAddress(), CurrentVersion(), QCoreApplication::applicationFilePath()));
}

}  // namespace vrayu
