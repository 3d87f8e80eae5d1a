// An INI file held as its lines, read and edited with the profile API's
// rules: sections and keys match without regard to ASCII case, the first
// match wins, values are trimmed and lose one pair of enclosing quotes.
// Edits keep every other line (comments, blank lines, order) as it was.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// ASCII case-insensitive equality, the rule sections and keys match by.
bool SameNoCase(std::string_view a, std::string_view b);

class IniFile {
public:
    IniFile() = default;
    explicit IniFile(std::string_view text);

    // The value of key in section, or nothing.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // Replaces the first matching key's value, or adds the key at the end of
    // the section (the section is appended when missing).
    void Set(std::string_view section, std::string_view key, std::string_view value);
    // False when there was nothing to delete.
    bool DeleteKey(std::string_view section, std::string_view key);
    bool DeleteSection(std::string_view section);
    // Keys of a section (first spelling of each, in file order), and the
    // section names.
    std::vector<std::string> Keys(std::string_view section) const;
    std::vector<std::string> Sections() const;

    // Lines joined with "\r\n", ending with one.
    std::string Text() const;

private:
    // Index range [begin, end) of the lines of a section's body; begin is -1
    // when the section is missing. `header` is the section line.
    struct Range {
        int header = -1;
        int begin = -1;
        int end = -1;
    };
    Range Find(std::string_view section) const;
    // Index of the key's line inside the range, or -1.
    int FindKey(const Range& r, std::string_view key) const;

    std::vector<std::string> lines_;
};

// Reads a file (missing or unreadable: empty).
IniFile LoadIni(const std::string& path);
// Writes the whole file atomically (atomic_file.h).
bool SaveIni(const std::string& path, const IniFile& ini);
// Locked read-modify-write of a file: `edit` returns whether it changed
// anything. False when an existing file cannot be read (it is left as it
// was) or the write fails.
bool UpdateIni(const std::string& path, const std::function<bool(IniFile&)>& edit);

}  // namespace tarn
