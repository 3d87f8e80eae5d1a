// Double-byte awareness for the 8-bit code page. Positions and lengths of the
// string and item functions count characters; a lead byte and the byte after it
// form one character and are never split. ISO-8859-1 has no lead bytes, so by
// default every byte is one character; a double-byte table can be installed
// (tests do, to exercise the pair rules).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarn::fn {

// True when b starts a two-byte character in the current code page.
bool isLeadByte(unsigned char b);

// True when the current code page has any lead byte; false means every byte
// is one character (the default).
bool hasLeadBytes();

// Installs the lead-byte ranges (inclusive pairs); an empty list restores the
// single-byte code page.
void setLeadByteRanges(const std::vector<std::pair<unsigned char, unsigned char>>& ranges);

// Byte length of the character starting at s[i] (1 or 2; 1 at a lead byte that
// ends the text).
inline std::size_t charLen(std::string_view s, std::size_t i) {
    return (isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

// Byte offsets where each character begins, plus s.size() at the end.
std::vector<std::size_t> charStarts(std::string_view s);

// Number of characters in s.
std::size_t charCount(std::string_view s);

// Latin-1 case mapping (single-byte characters only; a double-byte character
// is left as it is).
unsigned char upperByte(unsigned char b);
unsigned char lowerByte(unsigned char b);
std::string toUpper(std::string_view s);
std::string toLower(std::string_view s);

}  // namespace tarn::fn
