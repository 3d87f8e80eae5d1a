// The Qt provider lives in a plugin library (libtarnui-qt.so, beside
// libtarnproc.so) so that the interpreter never links Qt. It is loaded with
// dlopen at the first dialog that needs it.
#pragma once

#include <memory>

#include "ui.h"

namespace tarn {

// True when a desktop display is there: DISPLAY or WAYLAND_DISPLAY is set.
bool DisplayPresent();

// A provider that loads the Qt plugin at its first dialog. When the plugin
// cannot be loaded it says so in one line on standard error and asks on
// the console from then on. $TARN_UI_PLUGIN names another plugin file.
std::unique_ptr<Ui> MakeQtUi();

// The plugin's entry: a new provider for this interface version, or null.
extern "C" using UiPluginEntry = Ui * (*)(int version);
inline constexpr char kUiPluginEntry[] = "TarnUiCreate";
inline constexpr char kUiPluginFile[] = "libtarnui-qt.so";

}  // namespace tarn
