#include "variable_index.h"

#include <atomic>

namespace tarn {
std::uint32_t VariableIndex::Hash(std::string_view name) {
    std::uint32_t h = 2166136261u;  // FNV-1a
    for (const char c : name) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

void VariableIndex::Build(const VariableEntry* block, std::uint16_t capacity, std::uint16_t used) {
    // At most half full, so probes stay short.
    std::size_t size = 16;
    while (size < 2u * capacity) size *= 2;
    static std::atomic<std::uint64_t> builds{0};
    block_ = nullptr;
    cells_.assign(size, 0);  // may throw: the index then describes no block
    stamps_.assign(capacity, 0);
    identity_ = ++builds;
    block_ = block;
    capacity_ = capacity;
    free_from = 0;
    for (std::uint16_t i = 0; i < used && block; ++i)
        if (block[i].name[0]) Insert(VariableName(block[i]), i);
}

std::uint16_t VariableIndex::Find(std::string_view name, std::uint16_t used) const {
    if (name.empty() || name.size() > TARN_NAME_MAX || cells_.empty()) return 0xFFFF;
    std::uint16_t best = 0xFFFF;
    // A name entered twice (longer names cut to the same 30 characters)
    // answers with its lowest slot, as a scan from the start would.
    for (std::uint32_t i = Hash(name) & Mask(); cells_[i]; i = (i + 1) & Mask()) {
        const std::uint16_t slot = static_cast<std::uint16_t>(cells_[i] - 1);
        if (slot < used && slot < best && VariableName(block_[slot]) == name) best = slot;
    }
    return best;
}

void VariableIndex::Insert(std::string_view name, std::uint16_t slot) {
    if (cells_.empty()) return;
    std::uint32_t i = Hash(name) & Mask();
    while (cells_[i]) i = (i + 1) & Mask();
    cells_[i] = static_cast<std::uint16_t>(slot + 1);
}

void VariableIndex::Erase(std::string_view name, std::uint16_t slot) {
    if (cells_.empty()) return;
    std::uint32_t i = Hash(name) & Mask();
    while (cells_[i] && cells_[i] != slot + 1) i = (i + 1) & Mask();
    if (!cells_[i]) return;
    // Backward shift: move later cells of the run into the gap when their
    // home lies at or before it, so no probe stops early.
    std::uint32_t gap = i;
    for (std::uint32_t j = (gap + 1) & Mask(); cells_[j]; j = (j + 1) & Mask()) {
        const std::uint32_t home = Hash(VariableName(block_[cells_[j] - 1])) & Mask();
        if (((j - home) & Mask()) >= ((j - gap) & Mask())) {
            cells_[gap] = cells_[j];
            gap = j;
        }
    }
    cells_[gap] = 0;
}

}  // namespace tarn
