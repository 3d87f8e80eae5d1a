// File-name handling shared by the file, dir and disk built-ins: both "/" and
// "\" separate directories; wildcards "*" and "?" in the last component.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarn::fn {

// "\" turned into "/".
std::string slashes(std::string_view path);

// Directory part with its final "/" ("" when none) and name part.
std::string dirPart(std::string_view path);
std::string namePart(std::string_view path);

// Root (before the last ".") and extension (after it, "" when none).
std::string rootPart(std::string_view name);
std::string extPart(std::string_view name);

bool hasWildcards(std::string_view name);

// Absolute path, "." and ".." components and repeated separators removed
// lexically (symbolic links are not resolved).
std::string fullPath(std::string_view path);

// True when `name` matches `mask`: "*" any run, "?" one character; "*.*"
// matches every name, with or without an extension. A name beginning with "."
// matches only a mask that begins with "." unless `dotNames` is set.
// Case-sensitive, as names are on Linux.
bool maskMatch(std::string_view name, std::string_view mask, bool dotNames = false);

// Builds a destination file name from a source name and a target name
// pattern, root and extension separately. Empty when nothing results.
std::string mapName(std::string_view source, std::string_view pattern);

// Full destination path of `source` (a full path) for the copy, move, append
// and rename target `target`. nullopt when no name can be built.
std::optional<std::string> destinationPath(std::string_view source, std::string_view target);

// Splits a file list at tabs, "|" and the item delimiter; empty pieces are
// dropped.
std::vector<std::string> splitMasks(std::string_view list, std::string_view delim);

// Linux device for a port name "COM1".."COM9", "LPT1".."LPT9" (any case):
// /dev/ttyS0.. and /dev/lp0..; nullopt for any other name.
std::optional<std::string> portDevice(std::string_view name);

bool isDirectory(const std::string& path);
bool isFile(const std::string& path);  // exists and is not a directory

}  // namespace tarn::fn
