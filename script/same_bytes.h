// Equality of two short byte ranges (script lines, variable names), eight
// bytes at a time and inlined: the caches compare one or two per statement.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tarn {

inline std::uint64_t Load8(const char* p) {
    std::uint64_t x;
    std::memcpy(&x, p, 8);
    return x;
}
inline std::uint32_t Load4(const char* p) {
    std::uint32_t x;
    std::memcpy(&x, p, 4);
    return x;
}

// The tail of a range is compared as the last (overlapping) word.
inline bool SameBytes(const char* a, const char* b, std::size_t n) {
    if (n >= 8) {
        for (std::size_t i = 0; i + 8 <= n; i += 8)
            if (Load8(a + i) != Load8(b + i)) return false;
        return Load8(a + n - 8) == Load8(b + n - 8);
    }
    if (n >= 4) return Load4(a) == Load4(b) && Load4(a + n - 4) == Load4(b + n - 4);
    for (; n > 0; --n)
        if (*a++ != *b++) return false;
    return true;
}

}  // namespace tarn
