// The text forms of the reg family: item arguments ("sub\key\[name]"),
// values shown as text (hex pairs, delimited multi-strings) and read back.
// Pure logic over the registry store's value type; errors are message
// numbers (0 for success).
#pragma once

#include <string>
#include <string_view>

#include "errors.h"
#include "registry_store.h"

namespace tarn::fn {

inline constexpr std::size_t kRegSubkeyMax = 256;
inline constexpr int kRegSubkeyTooLong = err::REGFunctionsSubkeyStringTooLong;
// Where program starts look for registered application paths.
inline constexpr std::string_view kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

struct RegItem {
    std::string subkey;  // "" is the key itself
    std::string name;    // "" is the default value
};

// "a\b\[v]" -> subkey a\b, value v; "[v]" -> the key itself; "a\b" -> the
// default value of a\b. 1402 for a "[" not closed by a final "]", 1460 for
// a subkey part longer than 256 characters.
int ParseRegItem(std::string_view text, RegItem* out);

// The value as the query of `type` (1, 2, 3, 4, 7) shows it, or that
// query's type error.
int RegValueText(const vrayu::registry::Value& v, int type, std::string_view delim, std::string* out);

// The value of `type` written from text: 1457 for a bad hex string, 1459
// for a bad DWORD.
int RegValueFromText(int type, std::string_view text, std::string_view delim, vrayu::registry::Value* out);

// "01 AB FF " for the bytes 1, 171, 255.
std::string HexBytes(std::string_view bytes);
// Pairs of hex digits separated by blanks or tabs; false for anything else.
bool ParseHexBytes(std::string_view text, std::string* out);

}  // namespace tarn::fn
