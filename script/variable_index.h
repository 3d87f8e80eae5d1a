// A hash index over the host's variable block, so that finding a variable
// by name does not read every entry before it. The block stays the one
// record of the variables: a slot the index names is used only when the
// entry there still has that name, and the index is built afresh when the
// block or its capacity changes.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "tarnproc.h"

namespace tarn {

// The name of a variable entry (at most TARN_NAME_MAX characters).
inline std::string_view VariableName(const VariableEntry& v) { return {v.name, strnlen(v.name, sizeof v.name)}; }

class VariableIndex {
public:
    // True while the index describes this block.
    bool Describes(const VariableEntry* block, std::uint16_t capacity) const {
        return block == block_ && capacity == capacity_;
    }
    // Indexes the first `used` entries of a block of `capacity` entries.
    void Build(const VariableEntry* block, std::uint16_t capacity, std::uint16_t used);

    // The lowest slot below `used` named `name`, or 0xFFFF.
    std::uint16_t Find(std::string_view name, std::uint16_t used) const;
    void Insert(std::string_view name, std::uint16_t slot);
    void Erase(std::string_view name, std::uint16_t slot);

    // Every write to a slot (entered, assigned, dropped) gives it a new
    // stamp; (Identity(), StampOf(slot)) names one value of one variable,
    // never again after it changes or the index is rebuilt.
    void Stamp(std::uint16_t slot) {
        if (slot < stamps_.size()) stamps_[slot] = ++clock_;
    }
    std::uint64_t StampOf(std::uint16_t slot) const { return slot < stamps_.size() ? stamps_[slot] : 0; }
    std::uint64_t Identity() const { return identity_; }

    // No slot below this one is free (type 0 and no name).
    std::uint16_t free_from = 0;

private:
    static std::uint32_t Hash(std::string_view name);
    std::uint32_t Mask() const { return static_cast<std::uint32_t>(cells_.size() - 1); }

    const VariableEntry* block_ = nullptr;
    std::uint16_t capacity_ = 0;
    // Open addressing with linear probing: slot + 1, 0 for an empty cell.
    std::vector<std::uint16_t> cells_;
    std::vector<std::uint64_t> stamps_;
    std::uint64_t clock_ = 0;
    std::uint64_t identity_ = 0;  // unique to each build in the process
};

}  // namespace tarn
