// A binary buffer's bytes by its handle, for families that hand buffers to
// other code (dllcall's "lpbinary").
#pragma once

#include <cstdint>

#include "context.h"

namespace tarn::fn {

inline constexpr std::int32_t kBinaryHandleBase = 987659;

// The data and size of the buffer of `handle`; false for a handle that
// names no buffer in use.
inline bool BinaryData(State& s, std::int32_t handle, std::uint8_t** data, std::uint32_t* size) {
    if (handle < kBinaryHandleBase || handle >= kBinaryHandleBase + kBinarySlots) return false;
    const int slot = handle - kBinaryHandleBase;
    if (!s.binaries[slot]) return false;
    // The block stays locked while the slot is used: lock and unlock once
    // more only to learn its address.
    void* p = GlobalLock(s.binaries[slot]);
    GlobalUnlock(s.binaries[slot]);
    *data = static_cast<std::uint8_t*>(p);
    *size = s.binary_size[slot];
    return p != nullptr;
}

}  // namespace tarn::fn
