// Reading a script text line by line, as the statement loop and the label
// search both do it.
#pragma once

#include <cstdint>
#include <string_view>

namespace tarn {

// CR, LF, Ctrl-Z and NUL end a line.
inline bool IsLineEnd(char c) { return c == '\r' || c == '\n' || c == 26 || c == 0; }

// Reads the line at `pos` (leading blanks skipped) into `out`; returns the
// offset of its first character, -1 at the end of the text, -2 when it is
// longer than 256 characters. `next` receives where the following line
// starts. CR, LF, CR LF and Ctrl-Z all end a line.
long ReadLineAt(const char* text, std::uint32_t length, std::uint32_t pos, char* out, std::uint32_t* next);

// ASCII upper case, as labels are compared.
inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
// What ends the name of a label line.
inline bool EndsLabelName(char c) { return c == 0 || c == ' ' || c == '\t' || c == ';'; }

// Whether `line` (as read) is the label line ":label": the name compared
// without regard to ASCII case and followed by the end, a blank or ';'.
bool IsLabelLine(const char* line, std::string_view label);

// Offset of the first label line ":label" of the text, or -1.
long ScanForLabel(const char* text, std::uint32_t length, std::string_view label);

}  // namespace tarn
