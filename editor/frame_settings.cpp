#include "frame_settings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

namespace vrayu {
namespace {

constexpr char kSection[] = "Settings";

float ReadOne(QSettings& settings, const char* key, float fallback) {
    bool ok = false;
    const float value = settings.value(key).toString().trimmed().toFloat(&ok);
    return ok ? value : fallback;
}

}  // namespace

FrameTwips ReadFrameSettings(QSettings& settings) {
    const FrameTwips defaults;
    FrameTwips frame;
    settings.beginGroup(kSection);
    frame.left = ReadOne(settings, "MainLeft", defaults.left);
    frame.top = ReadOne(settings, "MainTop", defaults.top);
    frame.width = ReadOne(settings, "MainWidth", defaults.width);
    frame.height = ReadOne(settings, "MainHeight", defaults.height);
    frame.stored = settings.contains("MainWidth") && settings.contains("MainHeight");
    settings.endGroup();
    return frame;
}

void WriteFrameSettings(QSettings& settings, const FrameTwips& frame) {
    settings.beginGroup(kSection);
    settings.setValue("MainLeft", QString::number(frame.left));
    settings.setValue("MainTop", QString::number(frame.top));
    settings.setValue("MainWidth", QString::number(frame.width));
    settings.setValue("MainHeight", QString::number(frame.height));
    settings.endGroup();
    settings.sync();
}

double TwipsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

}  // namespace vrayu
