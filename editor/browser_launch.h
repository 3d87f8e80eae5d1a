// Launching the browser: the command is the default value of the classes-root
// key "htmlfile\shell\open\command" in the registry store, seeded with
// "xdg-open" the first time it is missing.
#pragma once

#include <QString>
#include <QStringList>

namespace vrayu {

inline constexpr char kBrowserCommandKey[] = "htmlfile\\shell\\open\\command";
inline constexpr char kDefaultBrowserCommand[] = "xdg-open";

// The browser command, seeding the store with "xdg-open" when the value is
// missing or empty.
QString BrowserCommand();

// Program and arguments for "command, one space, address". The command is
// split as a shell would split it; the address stays one argument, so a path
// with spaces reaches the browser whole. Empty when the command is empty.
QStringList BrowserLaunchLine(const QString& command, const QString& address);

// Starts the browser on `address`; false when nothing could be started
// (callers do not report it).
bool LaunchBrowser(const QString& address);

// Opens `path` with the desktop's default program for its type.
bool OpenWithDefaultProgram(const QString& path);

}  // namespace vrayu

namespace vrayu {

inline constexpr char kHelpPageName[] = "VrayuHelp.htm";

// The product's web site in the browser.
void OpenProductSite();
// The help page shipped in the program directory, as "file://" + path.
void OpenHelpPage();
// The product site's update script for this program's version and name.
void OpenUpdateCheck();

}  // namespace vrayu
