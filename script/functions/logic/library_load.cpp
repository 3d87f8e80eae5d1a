#include "plugin_path.h"
#include "functions/logic/library_load.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>

namespace tarn::fn {

std::string LibraryPath(std::string_view name) {
    std::string path(name);
    std::replace(path.begin(), path.end(), '\\', '/');
    // A bare name may be one of the extenders shipped in the interpreter's
    // plugin folder; otherwise the loader's search path decides.
    if (path.find('/') == std::string::npos) {
        const std::string shipped = InstalledPluginPath(reinterpret_cast<void*>(&LibraryPath), path);
        if (shipped.find('/') != std::string::npos && access(shipped.c_str(), F_OK) == 0) return shipped;
    }
    return path;
}

LoadFailure ClassifyLoadError(std::string_view path, std::string_view text) {
    auto has = [&](std::string_view what) { return text.find(what) != std::string_view::npos; };
    if (has("wrong ELF class")) return LoadFailure::WrongClass;
    if (has("undefined symbol")) return LoadFailure::MissingSymbol;
    if (has("ELF file's machine") || has("machine architecture") || has("ELF file OS ABI"))
        return LoadFailure::WrongMachine;
    if (has("No such file or directory")) {
        // dlerror names the file it could not open first: the script's own
        // file, or a library that file needs.
        const std::string_view named = text.substr(0, text.find(':'));
        const std::string_view base = path.substr(path.rfind('/') == std::string_view::npos ? 0 : path.rfind('/') + 1);
        if (named == path || named == base) return LoadFailure::FileMissing;
        if (path.find('/') != std::string_view::npos) {
            struct stat st;
            if (stat(std::string(path).c_str(), &st) != 0) return LoadFailure::FileMissing;
        }
        return LoadFailure::DependencyMissing;
    }
    return LoadFailure::Invalid;
}

LoadResult OpenLibrary(std::string_view name) {
    LoadResult r;
    const std::string path = LibraryPath(name);
    if (path.empty()) {
        r.failure = LoadFailure::FileMissing;
        return r;
    }
    dlerror();
    r.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (r.handle) return r;
    const char* e = dlerror();
    r.detail = e ? e : "";
    r.failure = ClassifyLoadError(path, r.detail);
    return r;
}

}  // namespace tarn::fn
