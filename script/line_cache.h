// The lines of one run of a script text, kept by the offset the line reader
// started from, so that a line run again (a loop) is neither read nor
// compiled again. An entry is used only while the text from that offset to
// the end of its line is byte for byte what it was: jump markers written
// into the text, a host that changes it, or a new text at the same address
// all make the line read afresh.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "compiled_line.h"
#include "same_bytes.h"

namespace tarn {

struct CachedLine {
    std::uint32_t at = 0;      // first character of the line
    std::uint32_t length = 0;  // characters of the line
    std::uint32_t next = 0;    // where the line after it starts
    std::string bytes;         // the text from the reader's offset to `next` (and one more)
    // The line compiled (or not) for the keyword tables it was read with.
    bool compile_tried = false;
    std::int32_t extender_count = 0;
    const void* host_table = nullptr;
    std::unique_ptr<CompiledLine> compiled;
};

class LineCache {
public:
    // A cache for a text of `length` bytes; `enabled` false keeps nothing.
    LineCache(bool enabled, std::uint32_t length) : enabled_(enabled), length_(length) {}

    // The line read from `pos` when the text there is unchanged, else null.
    CachedLine* Find(const char* text, std::uint32_t pos) {
        if (!enabled_ || pos >= table_.size()) return length_ > kTableMax ? FindLarge(text, pos) : nullptr;
        const std::uint32_t n = table_[pos];
        return n ? Checked(text, pos, *entries_[n - 1]) : nullptr;
    }
    // Keeps the line the reader found from `pos` (replacing a stale one)
    // once the reader comes back to it: a line read once, as most are,
    // costs no copy.
    CachedLine* Add(const char* text, std::uint32_t pos, std::uint32_t at, std::uint32_t length, std::uint32_t next);

private:
    static constexpr std::uint32_t kTableMax = 1u << 20;
    static CachedLine* Checked(const char* text, std::uint32_t pos, CachedLine& e) {
        return SameBytes(text + pos, e.bytes.data(), e.bytes.size()) ? &e : nullptr;
    }
    CachedLine* FindLarge(const char* text, std::uint32_t pos);
    std::uint32_t CheckedEnd(std::uint32_t next) const { return next < length_ ? next + 1 : length_; }
    std::uint32_t* Slot(std::uint32_t pos);

    bool enabled_;
    std::uint32_t length_;
    std::uint32_t frontier_ = 0;  // one past the furthest offset read from
    // Offset -> entry number + 1: a table for texts of ordinary size, a
    // map for very large ones (a table would cost four bytes per byte).
    std::vector<std::uint32_t> table_;
    std::unordered_map<std::uint32_t, std::uint32_t> map_;
    std::vector<std::unique_ptr<CachedLine>> entries_;
};

}  // namespace tarn
