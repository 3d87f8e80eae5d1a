#include "key_path.h"

#include "registry_store.h"

namespace vrayu::registry {
namespace {

// ORDER Root
constexpr std::string_view kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE",
                                           "HKEY_USERS",        "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};
constexpr std::string_view kShortNames[] = {"HKCR", "HKCU", "HKLM", "HKU", "HKCC", "HKDD"};
static_assert(std::size(kRootNames) == static_cast<std::size_t>(Root::DynData) + 1);
static_assert(std::size(kShortNames) == std::size(kRootNames));

}  // namespace

namespace detail {

std::string Fold(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::size_t Depth(std::string_view path) {
    if (path.empty()) return 0;
    std::size_t n = 1;
    for (char c : path) n += c == '\\';
    return n;
}

}  // namespace detail

std::string_view RootName(Root root) { return kRootNames[static_cast<int>(root)]; }

std::optional<Root> RootFromName(std::string_view name) {
    const std::string folded = detail::Fold(name);
    for (std::size_t i = 0; i < std::size(kRootNames); ++i)
        if (folded == detail::Fold(kRootNames[i]) || folded == detail::Fold(kShortNames[i]))
            return static_cast<Root>(i);
    return std::nullopt;
}

std::optional<std::string> NormalizePath(std::string_view path) {
    while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    if (path.find("\\\\") != std::string_view::npos) return std::nullopt;
    return std::string(path);
}

}  // namespace vrayu::registry
