#include "line_reader.h"

#include <cstring>

#include "context.h"

namespace tarn {

long ReadLineAt(const char* text, std::uint32_t length, std::uint32_t pos, char* out, std::uint32_t* next) {
    while (pos < length && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n' || text[pos] == '\r')) ++pos;
    if (pos >= length || text[pos] == 0) return -1;
    const std::uint32_t start = pos;
    while (pos < length && !IsLineEnd(text[pos])) ++pos;
    const std::uint32_t n = pos - start;
    if (pos < length && text[pos] == '\r' && pos + 1 < length && text[pos + 1] == '\n') ++pos;
    if (pos < length && text[pos] != 0) ++pos;
    *next = pos;
    if (n > static_cast<std::uint32_t>(kLineMax)) return -2;
    std::memcpy(out, text + start, n);
    out[n] = 0;
    return static_cast<long>(start);
}

bool IsLabelLine(const char* line, std::string_view label) {
    if (line[0] != ':') return false;
    const char* p = line + 1;
    std::size_t i = 0;
    for (; i < label.size(); ++i)
        if (UpperAscii(p[i]) != UpperAscii(label[i])) return false;
    return EndsLabelName(p[i]);
}

long ScanForLabel(const char* text, std::uint32_t length, std::string_view label) {
    char line[kLineMax + 2];
    std::uint32_t pos = 0, next = 0;
    while (true) {
        const long at = ReadLineAt(text, length, pos, line, &next);
        if (at == -1) return -1;
        pos = next;
        if (at >= 0 && IsLabelLine(line, label)) return at;
    }
}

}  // namespace tarn
