#include "word_runs.h"

#include "replacement_rules.h"
#include "syllable_scan.h"

namespace vrayu {
namespace {

std::array<bool, 256> MakeSeparators() {
    std::array<bool, 256> sep{};
    for (int c = 0; c < 256; ++c) sep[c] = !IsLetter(static_cast<std::uint8_t>(c)) && c != '&';
    for (const ReplacementRule& rule : ReplacementRules())
        for (char c : rule.find) sep[static_cast<unsigned char>(c)] = false;
    return sep;
}

}  // namespace

const std::array<bool, 256>& WordSeparators() {
    static const std::array<bool, 256> separators = MakeSeparators();
    return separators;
}

WordCache::WordCache() : slots_(64) {}

const std::string* WordCache::Find(std::string_view word, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Entry& e = slots_[i];
        if (e.key.empty()) return nullptr;
        if (e.hash == hash && e.key == word) return &e.value;
    }
}

void WordCache::Insert(std::string_view word, std::uint64_t hash, std::string_view converted) {
    if (word.empty() || used_ >= kMaxEntries) return;
    if ((used_ + 1) * 2 > slots_.size()) Grow();
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (!slots_[i].key.empty()) i = (i + 1) & mask;
    slots_[i] = Entry{hash, std::string(word), std::string(converted)};
    ++used_;
}

void WordCache::Grow() {
    std::vector<Entry> old(slots_.size() * 2);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (Entry& e : old) {
        if (e.key.empty()) continue;
        std::size_t i = e.hash & mask;
        while (!slots_[i].key.empty()) i = (i + 1) & mask;
        slots_[i] = std::move(e);
    }
}

}  // namespace vrayu
