// The entry libtarnproc.so looks up after loading the plugin.
#include "qt_ui.h"
#include "ui_plugin.h"

extern "C" __attribute__((visibility("default"))) tarn::Ui* TarnUiCreate(int version) {
    if (version != tarn::kUiInterfaceVersion) return nullptr;
    try {
        return tarn::qtui::MakeQtUi().release();
    } catch (...) {
        return nullptr;
    }
}
