// The sound outputs: the plugin's, a recorder and a silent one.
#include "plugin_path.h"
#include "functions/logic/sound_output.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <mutex>
#include <sys/stat.h>
#include <utility>

#include "functions/logic/sound_plugin.h"

namespace tarn::sound {
namespace {

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

class SilentOutput : public Output {
public:
    Result Event(std::string_view) override { return Result::Silent; }
    Result File(const std::string& path, bool) override { return FileExists(path) ? Result::Silent : Result::Missing; }
    Result Media(const std::string& path, bool) override { return FileExists(path) ? Result::Silent : Result::Missing; }
    void StopMedia() override {}
};

class RecordedOutput : public Output {
public:
    explicit RecordedOutput(std::string file) : file_(std::move(file)) {}
    Result Event(std::string_view id) override {
        Note("event " + std::string(id));
        return Result::Played;
    }
    Result File(const std::string& path, bool wait) override { return Request("file", path, wait); }
    Result Media(const std::string& path, bool wait) override { return Request("media", path, wait); }
    void StopMedia() override { Note("stop"); }

private:
    Result Request(const char* what, const std::string& path, bool wait) {
        if (!FileExists(path)) return Result::Missing;
        Note(std::string(what) + " " + path + (wait ? " wait" : " nowait"));
        return Result::Played;
    }
    void Note(const std::string& line) {
        if (FILE* f = std::fopen(file_.c_str(), "a")) {
            std::fprintf(f, "%s\n", line.c_str());
            std::fclose(f);
        }
    }
    std::string file_;
};

// The plugin beside the library (or on the loader's path), loaded once.
class PluginOutput : public Output {
public:
    PluginOutput() {
        const std::string path = InstalledPluginPath(reinterpret_cast<void*>(&ThemeEvent), "libtarn_sound.so");
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_) handle_ = dlopen("libtarn_sound.so", RTLD_NOW | RTLD_LOCAL);
        if (!handle_) return;
        event_ = reinterpret_cast<decltype(event_)>(dlsym(handle_, "tarn_sound_event"));
        file_ = reinterpret_cast<decltype(file_)>(dlsym(handle_, "tarn_sound_file"));
        media_ = reinterpret_cast<decltype(media_)>(dlsym(handle_, "tarn_sound_media"));
        stop_ = reinterpret_cast<decltype(stop_)>(dlsym(handle_, "tarn_sound_stop"));
    }
    // The plugin stays loaded: its libraries keep threads of their own.
    Result Event(std::string_view id) override {
        if (!event_) return Result::Silent;
        return static_cast<Result>(event_(std::string(id).c_str()));
    }
    Result File(const std::string& path, bool wait) override {
        if (!FileExists(path)) return Result::Missing;
        if (!file_) return Result::Silent;
        return static_cast<Result>(file_(path.c_str(), wait ? 1 : 0));
    }
    Result Media(const std::string& path, bool wait) override {
        if (!FileExists(path)) return Result::Missing;
        if (!media_) return Result::Silent;
        return static_cast<Result>(media_(path.c_str(), wait ? 1 : 0));
    }
    void StopMedia() override {
        if (stop_) stop_();
    }

private:
    void* handle_ = nullptr;
    int (*event_)(const char*) = nullptr;
    int (*file_)(const char*, int) = nullptr;
    int (*media_)(const char*, int) = nullptr;
    void (*stop_)() = nullptr;
};

std::unique_ptr<Output> FromEnvironment() {
    const char* v = std::getenv("TARN_SOUND");
    if (!v || !*v) {
        // Under CTest nothing is ever heard unless a test asks for the plugin.
        if (std::getenv("CTEST_INTERACTIVE_DEBUG_MODE")) return std::make_unique<SilentOutput>();
        return std::make_unique<PluginOutput>();
    }
    if (std::strncmp(v, "record:", 7) == 0 && v[7]) return std::make_unique<RecordedOutput>(v + 7);
    if (std::strcmp(v, "play") == 0) return std::make_unique<PluginOutput>();
    return std::make_unique<SilentOutput>();
}

std::mutex g_mutex;
std::unique_ptr<Output> g_output;

}  // namespace

Output& output() {
    const std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_output) g_output = FromEnvironment();
    return *g_output;
}

void setOutput(std::unique_ptr<Output> out) {
    const std::lock_guard<std::mutex> lock(g_mutex);
    g_output = std::move(out);
}

std::string_view ThemeEvent(std::string_view systemSound) {
    // ORDER none: system sound names and the sound theme's events.
    static constexpr std::pair<std::string_view, std::string_view> kEvents[] = {
        {".Default", "bell"},
        {"SystemDefault", "bell"},
        {"SystemQuestion", "dialog-question"},
        {"SystemExclamation", "dialog-warning"},
        {"SystemHand", "dialog-error"},
        {"SystemAsterisk", "dialog-information"},
        {"SystemStart", "desktop-login"},
        {"SystemExit", "desktop-logout"},
        {"Maximize", "window-maximized"},
        {"Minimize", "window-minimized"},
        {"RestoreUp", "window-unmaximized"},
        {"MenuPopup", "menu-popup"},
        {"MenuCommand", "menu-click"},
        {"Open", "window-new"},
        {"Close", "window-close"},
    };
    for (const auto& [name, event] : kEvents) {
        if (name.size() != systemSound.size()) continue;
        if (std::equal(name.begin(), name.end(), systemSound.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            }))
            return event;
    }
    return {};
}

}  // namespace tarn::sound
