// Converted syllables of one conversion, kept without allocating per
// syllable: a direct-mapped table whose entries hold the syllable (at most
// eight bytes, which nearly every syllable is) and its conversion inline. A
// lookup packs the syllable into one word, hashes it and compares once; a
// syllable that lands on an occupied slot replaces what was there.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vrayu {

class SyllableCache {
public:
    static constexpr std::size_t kMaxSyllable = 8;    // longer syllables are not kept
    static constexpr std::size_t kMaxConverted = 22;  // nor longer conversions
    static constexpr std::size_t kMinSlots = 512;
    static constexpr std::size_t kMaxSlots = 2048;

    // Sizes the table for a conversion of `bytes` bytes so far: about one slot
    // per four bytes, within the bounds above. Growing empties the table.
    void Reserve(std::size_t bytes) {
        std::size_t want = kMinSlots;
        while (want < kMaxSlots && want * 4 < bytes) want *= 2;
        if (want > slots_.size()) slots_.assign(want, Entry{});
    }

    // The conversion of `syllable` if it is kept; false otherwise.
    bool Find(std::string_view syllable, std::string_view& converted) const {
        if (syllable.size() > kMaxSyllable || slots_.empty()) return false;
        const std::uint64_t key = Pack(syllable);
        const Entry& e = slots_[Slot(key, syllable.size())];
        if (e.key != key || e.keySize != syllable.size()) return false;
        converted = std::string_view(e.converted.data(), e.convertedSize);
        return true;
    }

    void Insert(std::string_view syllable, std::string_view converted) {
        if (syllable.empty() || syllable.size() > kMaxSyllable || converted.size() > kMaxConverted || slots_.empty())
            return;
        const std::uint64_t key = Pack(syllable);
        Entry& e = slots_[Slot(key, syllable.size())];
        e.key = key;
        e.keySize = static_cast<std::uint8_t>(syllable.size());
        e.convertedSize = static_cast<std::uint8_t>(converted.size());
        converted.copy(e.converted.data(), converted.size());
    }

private:
    struct Entry {
        std::uint64_t key = 0;
        std::uint8_t keySize = 0;  // 0: free slot (the empty syllable is never kept)
        std::uint8_t convertedSize = 0;
        std::array<char, kMaxConverted> converted{};
    };
    static_assert(sizeof(Entry) == 32);

    // The syllable's bytes in one word, unused bytes zero; with the size this
    // tells any two syllables of up to eight bytes apart.
    static std::uint64_t Pack(std::string_view s) {
        std::uint64_t key = 0;
        for (std::size_t i = 0; i < s.size(); ++i) key |= std::uint64_t{static_cast<unsigned char>(s[i])} << (8 * i);
        return key;
    }
    std::size_t Slot(std::uint64_t key, std::size_t size) const {
        return static_cast<std::size_t>(((key + size) * 0x9E3779B97F4A7C15ull) >> 40) & (slots_.size() - 1);
    }

    std::vector<Entry> slots_;
};

}  // namespace vrayu
