// The entry libtarnproc.so looks up after loading the plugin.
#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

#include "qt_ui.h"
#include "ui_plugin.h"

namespace {

// False when Qt would find no display to open: it would end the process
// instead of failing. An X display is tried before Qt is started; another
// platform chosen by QT_QPA_PLATFORM, or a Wayland one, is trusted.
bool DisplayReachable() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform && std::string_view(platform).substr(0, 3) != "xcb") return true;
    const char* x = std::getenv("DISPLAY");
    if (!x || !*x) {
        const char* w = std::getenv("WAYLAND_DISPLAY");
        return w && *w;
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const bool ok = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    return ok;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) tarn::Ui* TarnUiCreate(int version) {
    if (version != tarn::kUiInterfaceVersion || !DisplayReachable()) return nullptr;
    try {
        return tarn::qtui::MakeQtUi().release();
    } catch (...) {
        return nullptr;
    }
}
