// Where the interpreter's plugins are (Qt dialogs, sounds, the object
// helper, shipped extenders): in the folder "tarnproc" beside the library
// when installed, so the system's library folder holds only versioned
// libraries; beside the library itself in a build tree.
#pragma once

#include <dlfcn.h>
#include <unistd.h>

#include <string>
#include <string_view>

namespace tarn {

// `anchor` is the address of any function of the library. Without a known
// folder the bare file name is given (the loader's search path decides).
inline std::string InstalledPluginPath(const void* anchor, std::string_view file) {
    Dl_info info{};
    if (!dladdr(anchor, &info) || !info.dli_fname) return std::string(file);
    std::string dir = info.dli_fname;
    const std::size_t slash = dir.rfind('/');
    if (slash == std::string::npos) return std::string(file);
    dir.resize(slash + 1);
    const std::string installed = dir + "tarnproc/" + std::string(file);
    return access(installed.c_str(), F_OK) == 0 ? installed : dir + std::string(file);
}

}  // namespace tarn
