#include "line_cache.h"

#include <cstring>

namespace tarn {
std::uint32_t* LineCache::Slot(std::uint32_t pos) {
    if (length_ <= kTableMax) {
        if (table_.empty()) table_.assign(static_cast<std::size_t>(length_) + 1, 0);
        return &table_[pos];
    }
    return &map_[pos];
}

CachedLine* LineCache::FindLarge(const char* text, std::uint32_t pos) {
    if (!enabled_) return nullptr;
    const auto it = map_.find(pos);
    return it == map_.end() ? nullptr : Checked(text, pos, *entries_[it->second - 1]);
}

CachedLine* LineCache::Add(const char* text, std::uint32_t pos, std::uint32_t at, std::uint32_t length,
                           std::uint32_t next) {
    if (!enabled_ || pos > length_ || next > length_) return nullptr;
    if (pos >= frontier_) {
        frontier_ = pos + 1;
        return nullptr;
    }
    std::uint32_t* slot = Slot(pos);
    if (*slot == 0) {
        entries_.push_back(std::make_unique<CachedLine>());
        *slot = static_cast<std::uint32_t>(entries_.size());
    }
    CachedLine& e = *entries_[*slot - 1];
    e = CachedLine{};
    e.at = at;
    e.next = next;
    e.length = length;
    e.bytes.assign(text + pos, CheckedEnd(next) - pos);
    return &e;
}

}  // namespace tarn
