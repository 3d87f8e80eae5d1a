// Freedesktop desktop entries (".desktop" files) as shortcuts: reading and
// writing the keys of the "[Desktop Entry]" group with the format's value
// escapes, and the Exec key's quoting of program and arguments. Other
// groups, comments and keys this code does not know are kept as they are.
// No interpreter types.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarn::desktop {

// The lines of a desktop entry file, edited in place.
class Entry {
public:
    // False when the text has no "[Desktop Entry]" group.
    bool Parse(std::string_view text);
    // A new entry with only the group header.
    void Clear();
    // The unescaped value of a key of the main group (nullopt when absent).
    std::optional<std::string> Get(std::string_view key) const;
    // Sets a key (escaping the value); an empty value removes the key when
    // `removeWhenEmpty`.
    void Set(std::string_view key, std::string_view value, bool removeWhenEmpty = true);
    std::string Text() const;

private:
    std::vector<std::string> lines_;
    std::size_t groupStart_ = 0;  // the header line of the main group
    std::size_t groupEnd_ = 0;    // one past its last line
};

// The string escapes of the format: "\s" "\n" "\t" "\r" "\\".
std::string EscapeValue(std::string_view value);
std::string UnescapeValue(std::string_view value);

// An Exec value (before string escaping) from a program and its arguments:
// words with reserved characters quoted, "%" doubled.
std::string ExecLine(const std::vector<std::string>& words);
// The words of an Exec value; nullopt when its quoting is broken. Field
// codes such as "%f" are dropped, "%%" is "%".
std::optional<std::vector<std::string>> ExecWords(std::string_view exec);

// A "file://" address of an absolute path (bytes outside the unreserved
// set percent-encoded), and the path of one (other addresses as they are).
std::string FileUrl(std::string_view absolutePath);
std::string PathOfUrl(std::string_view url);

}  // namespace tarn::desktop
