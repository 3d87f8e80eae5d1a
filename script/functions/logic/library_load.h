// Loading shared libraries by name for scripts (dllload, dllcall,
// addextender, the object helper): dlopen with every symbol bound at load,
// and the reason a load failed, told apart from dlerror's text.
#pragma once

#include <string>
#include <string_view>

namespace tarn::fn {

enum class LoadFailure {
    None,
    FileMissing,        // the named file does not exist (or is not on the search path)
    DependencyMissing,  // the file is there, a library it needs is not
    WrongClass,         // 32-bit library in a 64-bit process (or the reverse)
    WrongMachine,       // built for another processor
    MissingSymbol,      // a symbol it needs is in none of the loaded libraries
    Invalid,            // not a shared library, or unreadable
};

struct LoadResult {
    void* handle = nullptr;
    LoadFailure failure = LoadFailure::None;
    std::string detail;  // dlerror's text when the load failed
};

// The name a script gave, with "\" as a directory separator accepted.
std::string LibraryPath(std::string_view name);

// Reason of a failed load of `path` from dlerror's text.
LoadFailure ClassifyLoadError(std::string_view path, std::string_view dlerror_text);

// dlopen(RTLD_NOW | RTLD_LOCAL) of the script's name; on failure the handle
// is null and the reason is set.
LoadResult OpenLibrary(std::string_view name);

}  // namespace tarn::fn
