// VrayuEditor: shows the splash window, loads the main frame (which opens the
// first document window), then runs until the main frame closes.
#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "app_icon.h"
#include "app_info.h"
#include "conversation_service.h"
#include "document_window.h"
#include "main_frame.h"
#include "picture_export.h"
#include "send_command.h"
#include "splash_window.h"

namespace {

bool AskedForInfo(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        for (const char* opt : {"-h", "--help", "-v", "--version", "--help-all"}) {
            if (std::strcmp(argv[i], opt) == 0) return true;
        }
    }
    return false;
}

bool DisplayAvailable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

void SetUpParser(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        "Write Telugu with a Latin keyboard: type RIT romanized Telugu and see it in the Vrayu font.\n"
        "Settings: $XDG_CONFIG_HOME/VrayuEditor.ini; registry store: $VRAYU_REGISTRY_DIR or\n"
        "$XDG_CONFIG_HOME/vrayu/registry.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("FILE", "Romanized text or a Telugu export (.tel) to open.", "[FILE...]");
    parser.addOption(
        {"screenshot", "Save a picture of the main window to FILE (PNG) once it is shown, then exit.", "FILE"});
}

// Saves a picture of the screen (or of `window` where the platform cannot
// grab the screen) to `path` once start-up has painted, including any
// question still open, and ends the run at once: nothing is closed and no
// settings are written.
void ScheduleScreenshot(QWidget& window, const QString& path) {
    QTimer::singleShot(2000, &window, [&window, path] {
        QPixmap shot;
        if (QScreen* screen = QGuiApplication::primaryScreen()) shot = screen->grabWindow(0);
        if (shot.isNull()) shot = window.grab();
        const bool saved = shot.save(path, "PNG");
        if (!saved) std::fprintf(stderr, "VrayuEditor: cannot write %s\n", qPrintable(path));
        std::fflush(nullptr);
        std::_Exit(saved ? 0 : 1);
    });
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(vrayu::kAppTitle);
    QCoreApplication::setApplicationVersion(vrayu::VersionText(vrayu::CurrentVersion()));
    if (AskedForInfo(argc, argv)) {
        QCoreApplication info(argc, argv);
        QCommandLineParser parser;
        SetUpParser(parser);
        parser.process(info);  // prints and exits
        return 0;
    }
    if (!DisplayAvailable()) {
        std::fprintf(stderr,
                     "VrayuEditor: no display found (DISPLAY is not set).\n"
                     "Run it on a desktop, or under a virtual X server:\n"
                     "  xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setDesktopFileName("vrayu-editor");
    QApplication::setWindowIcon(QIcon::fromTheme("vrayu-editor", vrayu::AppIcon()));
    QCommandLineParser parser;
    SetUpParser(parser);
    parser.process(app);

    vrayu::SplashWindow splash(vrayu::CurrentVersion());
    splash.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        splash.move(screen->availableGeometry().center() - splash.rect().center());
    splash.show();
    QApplication::processEvents();

    vrayu::RegisterPictureExport();
    // The mail command's JPEG format goes through the picture export, which
    // saves straight away when the document window names a picture file.
    vrayu::mail::SendHooks sendHooks;
    sendHooks.exportJpeg = [](vrayu::DocumentWindow& window, const QString& path) {
        window.SetPictureFileName(path);
        vrayu::ExportPicture(window);
        window.SetPictureFileName({});
    };
    vrayu::mail::InstallSendCommand(sendHooks);
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, vrayu::kAppTitle);
    vrayu::MainFrame frame(settings);
    if (parser.isSet("screenshot")) ScheduleScreenshot(frame, parser.value("screenshot"));
    frame.Load();
    for (const QString& path : frame.OpenFiles(parser.positionalArguments()))
        std::fprintf(stderr, "VrayuEditor: cannot read %s\n", qPrintable(path));
    splash.close();
    frame.show();
    // Scripts drive the editor over the session bus; without a bus it runs on alone.
    QString why;
    const auto conversations = vrayu::ConversationService::Start(frame, &why);
    if (!conversations && !why.startsWith("no session bus"))
        std::fprintf(stderr, "VrayuEditor: %s: scripts cannot reach the editor\n", qPrintable(why));
    return QApplication::exec();
}
