// Expanding masks into files: the listings of "fileitemize" / "diritemize"
// and the file-list walk of copy, move, append, rename and delete.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarn::fn {

inline constexpr std::size_t kListLimit = 32400;  // bytes a listing may collect
inline constexpr std::size_t kMaskMax = 279;      // characters of one mask

// Names (without path) in `dir` (with or without its final "/"; "" is the
// current directory) that match `mask`, sorted by name. Files only, or
// directories only ("." and ".." never).
std::vector<std::string> matchNames(const std::string& dir, std::string_view mask, bool directories, bool hidden);

struct Listing {
    std::string list;
    int error = 0;  // 1398 when the list was cut at the limit
};

// The item list of names matching each mask of `masks` in turn.
Listing itemizeNames(std::string_view masks, std::string_view delim, bool directories, bool hidden,
                     std::size_t limit = kListLimit);

// The walk's per-file action: gets a full path, returns 0 or an error code.
using FileAction = std::function<int(const std::string& path)>;

// Walks the masks of `list` in order. A mask without wildcards goes to the
// action as a full path (for deletion, only when it names a file); a mask
// with wildcards expands to the matching files of its directory (none: error
// 1002, except for deletion). Stops at the first failing action and returns
// its code; 3054 for a mask longer than kMaskMax.
int walkFiles(std::string_view list, std::string_view delim, bool forDelete, const FileAction& action);

}  // namespace tarn::fn
