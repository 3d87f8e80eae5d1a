// tarn-menu: shows a Tarn menu file as a menu (window and tray icon), runs
// the chosen item's script through the library, and holds the menu's hot
// keys system-wide on X11.
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

#include "global_hotkeys.h"
#include "menu_session.h"
#include "menu_window.h"
#include "tarnproc.h"

using namespace tarnmenu;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("tarn-menu");
    QApplication::setApplicationVersion(TARN_VERSION_TEXT);
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser args;
    args.setApplicationDescription("Shows a Tarn menu file as a menu and runs the items chosen.");
    args.addHelpOption();
    args.addVersionOption();
    args.addPositionalArgument("FILE", "the menu file");
    const QCommandLineOption item({"i", "item"}, "run item N of the menu and end (for a desktop shortcut)", "N");
    const QCommandLineOption no_tray("no-tray", "no tray icon: closing the window ends the program");
    const QCommandLineOption quiet("quiet", "answer every message box with Cancel and log it to LOG", "LOG");
    const QCommandLineOption screenshot("screenshot", "save a picture of the window to FILE once it is shown", "FILE");
    args.addOptions({item, no_tray, quiet, screenshot});
    args.process(app);
    if (args.positionalArguments().size() != 1) args.showHelp(2);
    const QString path = args.positionalArguments().first();

    // Questions of the library: the desktop's dialogs when the Qt provider
    // is installed, else the terminal.
    if (args.isSet(quiet)) TarnSelectUi("quiet", nullptr);
    else if (!TarnSelectUi("qt", nullptr)) TarnSelectUi("console", nullptr);

    MenuSession session(path);
    if (!session.Ready()) {
        std::fprintf(stderr, "tarn-menu: the script processor could not be initialised\n");
        return 1;
    }
    if (args.isSet(quiet)) {
        const QByteArray log = QFile::encodeName(args.value(quiet));
        // Quiet mode through the context the session runs items in.
        session.SetQuiet(log.constData());
    }
    if (!session.Load()) {
        std::fprintf(stderr, "tarn-menu: %s is not a menu file that can be loaded\n", qPrintable(path));
        return 1;
    }

    if (args.isSet(item)) {
        bool ok = false;
        const int n = args.value(item).toInt(&ok);
        if (!ok || n < 1 || n > session.Commands()) {
            std::fprintf(stderr, "tarn-menu: the menu has items 1 to %d\n", session.Commands());
            return 2;
        }
        int status = 1;
        QObject::connect(&session, &MenuSession::Ran, [&](const QString&, bool done, const QString& message) {
            status = done ? 0 : 1;
            if (!done) std::fprintf(stderr, "tarn-menu: %s\n", qPrintable(message));
        });
        session.RunCommand(TARN_MENU_FIRST_ID + n - 1);
        return status;
    }

    GlobalHotKeys hotkeys(&session);
    if (!hotkeys.Available() && !session.HotKeys().empty())
        std::fprintf(stderr, "tarn-menu: no X11 display (%s): hot keys work only in the menu window\n",
                     qPrintable(QGuiApplication::platformName()));
    MenuWindow window(&session, &hotkeys, !args.isSet(no_tray));
    window.show();
    if (args.isSet(screenshot)) {
        const QString file = args.value(screenshot);
        QTimer::singleShot(1000, &window, [&window, file] {
            if (!window.grab().save(file)) std::fprintf(stderr, "tarn-menu: cannot write %s\n", qPrintable(file));
        });
    }
    return app.exec();
}
