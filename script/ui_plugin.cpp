#include "plugin_path.h"
#include "ui_plugin.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tarn {
namespace {

// The plugin's path: $TARN_UI_PLUGIN, else the library's plugin folder.
std::string PluginPath() {
    if (const char* p = std::getenv("TARN_UI_PLUGIN"); p && *p) return p;
    return InstalledPluginPath(reinterpret_cast<void*>(&DisplayPresent), kUiPluginFile);
}

// Loads the plugin's provider; null with the reason in `why`.
Ui* LoadPlugin(std::string* why) {
    const std::string path = PluginPath();
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char* e = dlerror();
        *why = e ? e : path + ": cannot be loaded";
        return nullptr;
    }
    // The plugin stays loaded for the life of the process: Qt cannot be
    // unloaded safely.
    const auto entry = reinterpret_cast<UiPluginEntry>(dlsym(h, kUiPluginEntry));
    if (!entry) {
        *why = path + ": no " + kUiPluginEntry;
        return nullptr;
    }
    Ui* ui = entry(kUiInterfaceVersion);
    if (!ui) *why = "no display can be opened, or " + path + " is of another version";
    return ui;
}

// Forwards to the plugin's provider, loading it on first use; the console
// provider stands in when it cannot be loaded.
class DesktopUi : public Ui {
public:
    Answer MessageBox(std::string_view caption, std::string_view text, Buttons buttons, Icon icon) override {
        return Real().MessageBox(caption, text, buttons, icon);
    }
    std::optional<std::string> AskLine(std::string_view title, std::string_view prompt, std::string_view initial,
                                       bool hidden) override {
        return Real().AskLine(title, prompt, initial, hidden);
    }
    int ChooseButton(std::string_view caption, std::string_view text,
                     const std::vector<std::string>& buttons) override {
        return Real().ChooseButton(caption, text, buttons);
    }
    std::optional<int> ChooseItem(std::string_view title, const std::vector<std::string>& items) override {
        return Real().ChooseItem(title, items);
    }
    void Display(int seconds, std::string_view title, std::string_view text) override {
        Real().Display(seconds, title, text);
    }
    // Debugger output is text on standard error whatever shows the dialogs.
    void DebugOutput(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), stderr); }
    void Beep() override { Real().Beep(); }
    std::optional<std::string> AskText(std::string_view title, std::string_view prompt, std::string_view initial,
                                       bool hidden, std::string_view ok, std::string_view cancel) override {
        return Real().AskText(title, prompt, initial, hidden, ok, cancel);
    }
    std::optional<std::vector<int>> ChooseList(const ListRequest& r) override { return Real().ChooseList(r); }
    int RunForm(Form& form) override { return Real().RunForm(form); }
    std::optional<std::vector<std::string>> AskFileName(const FileRequest& r) override { return Real().AskFileName(r); }
    std::optional<std::string> AskDirectory(const DirectoryRequest& r) override { return Real().AskDirectory(r); }

private:
    Ui& Real() {
        if (!real_) {
            std::string why;
            real_.reset(LoadPlugin(&why));
            if (!real_) {
                std::fprintf(stderr, "tarn: the Qt dialogs are not available (%s); asking on the console\n",
                             why.c_str());
                real_ = MakeConsoleUi();
            }
        }
        return *real_;
    }
    std::unique_ptr<Ui> real_;
};

}  // namespace

bool DisplayPresent() {
    const char* x = std::getenv("DISPLAY");
    const char* w = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (w && *w);
}

std::unique_ptr<Ui> MakeQtUi() { return std::make_unique<DesktopUi>(); }

}  // namespace tarn
