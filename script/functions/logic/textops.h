// String operations behind the "str" built-ins, on 8-bit text. Positions and
// lengths are 1-based character counts (a double-byte character counts once).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarn::fn {

// Substring from character `start` of `length` characters (-1: to the end).
std::string strSub(std::string_view s, long start, long length);

// Position of `sub` in `s` searching from `start` (0: the natural end for the
// direction), forward or backward; 0 when absent.
long strIndex(std::string_view s, std::string_view sub, long start, bool backward, bool ignoreCase);

// Position of the first (last when backward) character of `s` that is one of
// the characters of `delims`, with the start rules of strIndex; 0 when none.
long strScan(std::string_view s, std::string_view delims, long start, bool backward);

// Every occurrence of `from` replaced by `to`, left to right, no overlap.
std::string strReplace(std::string_view s, std::string_view from, std::string_view to);
// Size in bytes of strReplace's result, found without building it.
std::uint64_t strReplaceSize(std::string_view s, std::string_view from, std::string_view to);

// Leading and trailing blanks and tabs removed.
std::string strTrim(std::string_view s);

// `s` cut or padded with repetitions of `pad` (empty: a blank) to exactly
// `length` characters (length >= 0). padLeft puts the padding before the text
// and, when cutting, keeps the rightmost characters.
std::string strFix(std::string_view s, std::string_view pad, long length, bool padLeft);

// `s` (empty: a blank) repeated and cut to exactly `length` characters.
std::string strFill(std::string_view s, long length);

// -1, 0 or 1 in dictionary order: letters compare case-folded first; equal
// folded texts are ordered lower case before upper case unless ignoreCase.
int strCompare(std::string_view a, std::string_view b, bool ignoreCase);

// First match, at or after character `start`, of a pattern in which "*"
// matches any run of characters (as few as let the rest match; a final "*"
// takes the rest of the text). pos is 0 when there is no match.
struct WildMatch {
    long pos = 0;     // 1-based character position
    long length = 0;  // characters
    std::string text;
};
WildMatch strWild(std::string_view s, std::string_view pattern, long start);

}  // namespace tarn::fn
