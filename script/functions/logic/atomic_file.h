// Files that are never lost to a failed or concurrent write: the new text
// goes to a temporary file beside the target, is flushed and renamed over
// it, and the folder is flushed after the rename. A link is written through
// (its target is replaced, the link stays). A read-modify-write holds an
// exclusive lock on the target's folder, so writers in other processes wait
// instead of overwriting each other's changes.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tarn {

enum class ReadStatus { Ok, Missing, Failed };

// The whole file into `text` (left empty unless Ok).
ReadStatus ReadWholeFile(const std::string& path, std::string* text);

// The file a write to `path` replaces: `path` with every link followed
// (a dangling link gives the file it names).
std::string WriteTarget(const std::string& path);

// Replaces the file's text (creating missing folders 0700). An existing
// file keeps its permissions and owner, a new one is 0600. False on
// failure, the old file untouched.
bool ReplaceFile(const std::string& path, std::string_view text);

// Locked read-modify-write: `edit` gets the file's text ("" when missing)
// and returns whether to write it back. False when an existing file cannot
// be read (nothing is changed then) or the write fails.
bool UpdateFile(const std::string& path, const std::function<bool(std::string& text)>& edit);

}  // namespace tarn
