#include "functions/logic/binary_records.h"
#include "errors.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <vector>

namespace tarn::fn {
namespace {

unsigned char Fold(unsigned char ch) { return static_cast<unsigned char>(std::tolower(ch)); }

bool MatchAt(std::span<const std::uint8_t> data, std::string_view needle, long at, bool ignoreCase) {
    for (std::size_t i = 0; i < needle.size(); ++i) {
        unsigned char a = data[at + i], b = static_cast<unsigned char>(needle[i]);
        if (ignoreCase ? Fold(a) != Fold(b) : a != b) return false;
    }
    return true;
}

}  // namespace

long FindBytes(std::span<const std::uint8_t> data, std::string_view needle, long start, bool backward,
               bool ignoreCase) {
    const long n = static_cast<long>(data.size()), m = static_cast<long>(needle.size());
    if (m == 0 || m > n || start < 0) return -1;
    if (backward) {
        for (long at = std::min(start, n - m); at >= 0; --at)
            if (MatchAt(data, needle, at, ignoreCase)) return at;
        return -1;
    }
    for (long at = start; at + m <= n; ++at)
        if (MatchAt(data, needle, at, ignoreCase)) return at;
    return -1;
}

int CheckRecordLayout(long size, long recSize, long keyOffset, long keySize) {
    if (recSize <= 0) return err::BinaryHashSortInvalidRecordSize;
    if (keyOffset < 0) return err::BinaryHashSortInvalidKeyOffset;
    if (keySize <= 0) return err::BinaryHashSortInvalidKeySize;
    if (keyOffset + keySize > recSize) return err::BinaryHashSortSpecifiedKeyExtendsBeyond;
    if (recSize > size) return err::BinaryHashSortSpecifiedRecordSizeLarger;
    return 0;
}

int SortRecords(std::span<std::uint8_t> data, long recSize, long keyOffset, long keySize, int flags) {
    if (int e = CheckRecordLayout(static_cast<long>(data.size()), recSize, keyOffset, keySize)) return e;
    const int type = flags & ~kDescending;
    const bool descending = (flags & kDescending) != 0;
    if (type != kKeyString && keySize != type) return err::BinaryHashSortInvalidKeySize;
    const long count = static_cast<long>(data.size()) / recSize;
    auto key = [&](long r) { return data.data() + r * recSize + keyOffset; };
    auto compare = [&](long a, long b) -> int {
        const std::uint8_t *x = key(a), *y = key(b);
        switch (type) {
            case kKeyString: {
                // Up to the first NUL within the key, as text.
                const std::size_t lx = strnlen(reinterpret_cast<const char*>(x), keySize);
                const std::size_t ly = strnlen(reinterpret_cast<const char*>(y), keySize);
                const int c = std::memcmp(x, y, std::min(lx, ly));
                return c ? c : (lx < ly ? -1 : lx > ly);
            }
            case kKeyWord1: return (*x > *y) - (*x < *y);
            case kKeyWord2: {
                std::uint16_t u, v;
                std::memcpy(&u, x, 2);
                std::memcpy(&v, y, 2);
                return (u > v) - (u < v);
            }
            case kKeyWord4: {
                std::int32_t u, v;
                std::memcpy(&u, x, 4);
                std::memcpy(&v, y, 4);
                return (u > v) - (u < v);
            }
            default: {
                double u, v;
                std::memcpy(&u, x, 8);
                std::memcpy(&v, y, 8);
                return (u > v) - (u < v);
            }
        }
    };
    if (type != kKeyString && type != kKeyWord1 && type != kKeyWord2 && type != kKeyWord4 && type != kKeyFloat8)
        return err::BinaryHashSortInvalidKeySize;
    std::vector<long> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](long a, long b) {
        const int c = compare(a, b);
        return descending ? c > 0 : c < 0;
    });
    std::vector<std::uint8_t> sorted(static_cast<std::size_t>(count * recSize));
    for (long i = 0; i < count; ++i)
        std::memcpy(sorted.data() + i * recSize, data.data() + order[i] * recSize, recSize);
    std::memcpy(data.data(), sorted.data(), sorted.size());
    return 0;
}

int HashRecord(std::span<std::uint8_t> data, long recSize, long keyOffset, long keySize, std::string_view key,
               long* offset) {
    if (int e = CheckRecordLayout(static_cast<long>(data.size()), recSize, keyOffset, keySize)) return e;
    if (key.empty()) return err::BinaryHashKeyValueMustSpecified;
    if (static_cast<long>(key.size()) > keySize) return err::BinaryHashSpecifiedKeyValueLarger;
    std::vector<std::uint8_t> want(keySize, 0);
    std::memcpy(want.data(), key.data(), key.size());
    // FNV-1a over the padded key.
    std::uint32_t h = 2166136261u;
    for (std::uint8_t b : want) h = (h ^ b) * 16777619u;
    const long count = static_cast<long>(data.size()) / recSize;
    for (long probe = 0; probe < count; ++probe) {
        const long r = static_cast<long>((h + probe) % static_cast<std::uint32_t>(count));
        std::uint8_t* k = data.data() + r * recSize + keyOffset;
        if (std::memcmp(k, want.data(), keySize) == 0 ||
            std::all_of(k, k + keySize, [](std::uint8_t b) { return b == 0; })) {
            std::memcpy(k, want.data(), keySize);
            *offset = r * recSize;
            return 0;
        }
    }
    return err::BinaryHashNoAvailableSpaceBinary;
}

std::string FormatTag(const TagState& t) {
    char head[96];
    std::snprintf(head, sizeof head, "%d %ld %ld %ld %zu %zu ", t.handle, t.next, t.begin, t.end, t.open.size(),
                  t.close.size());
    return head + t.open + t.close;
}

namespace {

// One field of the tag text at `*pos` and its one following blank; a
// length field takes no sign. False on anything else (no wrap-around of
// "-1", no overflow).
bool TagField(std::string_view text, std::size_t* pos, bool allowSign, long* value) {
    const char* first = text.data() + *pos;
    const char* last = text.data() + text.size();
    if (first == last || (!allowSign && *first == '-')) return false;
    const auto [ptr, ec] = std::from_chars(first, last, *value);
    if (ec != std::errc() || ptr == last || *ptr != ' ') return false;
    *pos = static_cast<std::size_t>(ptr - text.data()) + 1;
    return true;
}

}  // namespace

bool ParseTag(std::string_view text, TagState* out) {
    std::size_t pos = 0;
    long handle = 0, next = 0, begin = 0, end = 0, lo = 0, lc = 0;
    if (!TagField(text, &pos, true, &handle) || !TagField(text, &pos, true, &next) ||
        !TagField(text, &pos, true, &begin) || !TagField(text, &pos, true, &end) || !TagField(text, &pos, false, &lo) ||
        !TagField(text, &pos, false, &lc))
        return false;
    if (handle < INT32_MIN || handle > INT32_MAX || next < 0 || lo == 0 || lc == 0) return false;
    // Both tags lie after the header and fill the rest of the text exactly.
    const std::size_t rest = text.size() - pos;
    if (static_cast<std::size_t>(lo) > rest || static_cast<std::size_t>(lc) != rest - static_cast<std::size_t>(lo))
        return false;
    out->handle = static_cast<std::int32_t>(handle);
    out->next = next;
    out->begin = begin;
    out->end = end;
    out->open = std::string(text.substr(pos, static_cast<std::size_t>(lo)));
    out->close = std::string(text.substr(pos + static_cast<std::size_t>(lo)));
    return true;
}

namespace {

// Text as code points from one type; false when it is not valid.
bool Decode(std::string_view in, int type, int codePage, std::u32string* out) {
    out->clear();
    if (type == 0 || type == 1 || (type == 3 && codePage == 28591)) {
        for (unsigned char ch : in) out->push_back(ch);
        return true;
    }
    if (type == 2) {
        if (in.size() % 2) return false;
        for (std::size_t i = 0; i < in.size(); i += 2) {
            char32_t u = static_cast<unsigned char>(in[i]) | (static_cast<unsigned char>(in[i + 1]) << 8);
            // A surrogate must be a high one followed by a low one.
            if (u >= 0xD800 && u < 0xE000) {
                if (u >= 0xDC00 || i + 3 >= in.size()) return false;
                char32_t l = static_cast<unsigned char>(in[i + 2]) | (static_cast<unsigned char>(in[i + 3]) << 8);
                if (l < 0xDC00 || l >= 0xE000) return false;
                u = 0x10000 + ((u - 0xD800) << 10) + (l - 0xDC00);
                i += 2;
            }
            out->push_back(u);
        }
        return true;
    }
    if (type == 3 && codePage == 65001) {
        // Shortest forms only, no surrogates, nothing above U+10FFFF: lead
        // bytes C0, C1 and F5 to FF never occur.
        static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        for (std::size_t i = 0; i < in.size();) {
            const unsigned char b = in[i];
            const int n = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
            if (n < 0 || in.size() - i <= static_cast<std::size_t>(n)) return false;
            char32_t u = n == 0 ? b : b & (0x3F >> n);
            for (int k = 1; k <= n; ++k) {
                const unsigned char c = in[i + k];
                if ((c & 0xC0) != 0x80) return false;
                u = (u << 6) | (c & 0x3F);
            }
            if (u < kLeast[n] || u > 0x10FFFF || (u >= 0xD800 && u < 0xE000)) return false;
            out->push_back(u);
            i += n + 1;
        }
        return true;
    }
    return false;
}

bool Encode(const std::u32string& in, int type, int codePage, std::string* out) {
    out->clear();
    for (char32_t u : in) {
        if (u > 0x10FFFF || (u >= 0xD800 && u < 0xE000)) return false;
        if (type == 0 || type == 1 || (type == 3 && codePage == 28591)) {
            out->push_back(static_cast<char>(u <= 0xFF ? u : '?'));
        } else if (type == 2) {
            auto unit = [&](char32_t w) {
                out->push_back(static_cast<char>(w & 0xFF));
                out->push_back(static_cast<char>(w >> 8));
            };
            if (u >= 0x10000) {
                unit(0xD800 + ((u - 0x10000) >> 10));
                unit(0xDC00 + ((u - 0x10000) & 0x3FF));
            } else {
                unit(u);
            }
        } else if (type == 3 && codePage == 65001) {
            if (u < 0x80) {
                out->push_back(static_cast<char>(u));
            } else if (u < 0x800) {
                out->push_back(static_cast<char>(0xC0 | (u >> 6)));
                out->push_back(static_cast<char>(0x80 | (u & 0x3F)));
            } else if (u < 0x10000) {
                out->push_back(static_cast<char>(0xE0 | (u >> 12)));
                out->push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
                out->push_back(static_cast<char>(0x80 | (u & 0x3F)));
            } else {
                out->push_back(static_cast<char>(0xF0 | (u >> 18)));
                out->push_back(static_cast<char>(0x80 | ((u >> 12) & 0x3F)));
                out->push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
                out->push_back(static_cast<char>(0x80 | (u & 0x3F)));
            }
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int ConvertBytes(std::string_view in, int from, int to, int codePage, int flags, std::string* out) {
    auto validType = [](int t) { return t >= 0 && t <= 3; };
    if (!validType(from) || !validType(to)) return err::BinaryConvertInvalidType;
    if (flags & ~3) return err::BinaryConvertInvalidFlags;
    if (flags == 3) return err::BinaryConvertInvalidCombinationFlags;
    std::u32string text;
    if (!Decode(in, from, codePage, &text)) return err::BinaryConvertErrorConvertingBuffer;
    // Case changes cover ASCII and Latin-1 letters.
    for (char32_t& u : text) {
        const bool lower = (u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7);
        const bool upper = (u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7);
        if ((flags & 1) && lower) u -= 0x20;
        if ((flags & 2) && upper) u += 0x20;
    }
    if (!Encode(text, to, codePage, out)) return err::BinaryConvertErrorConvertingBuffer;
    return 0;
}

}  // namespace tarn::fn
