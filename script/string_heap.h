// The string heap: the host's block in which every string value lives,
// managed by VMalloc/VFree (first fit from a rover over a doubly linked free
// list, tagged blocks, merging of free neighbours).
//
// Block layout (offsets from the block start, sizes in bytes):
//   +0 tag "5678" (used) or "QRST" (free), +4 size (16-bit), +6 spare,
//   +8 caller's bytes; a free block keeps next/prev offsets at +8/+10 and
//   its size again at size-6, next to its end tag at size-4.
#pragma once

#include <cstdint>
#include <string_view>

#include "tarnproc.h"

namespace tarn {

inline constexpr std::uint32_t kBlockOverhead = 12;
inline constexpr std::uint32_t kMinBlock = 28;

// Formats `bytes` of memory as an empty heap (one free block). False when
// the block is too small to hold anything.
bool FormatHeap(StringHeap* heap, std::uint32_t bytes);

// Bytes VMalloc takes from the heap for a request.
constexpr std::uint32_t BlockSizeFor(std::uint32_t request) {
    std::uint32_t n = (request + kBlockOverhead + 3) & ~3u;
    return n < kMinBlock ? kMinBlock : n;
}

inline char* HeapText(StringHeap* heap, std::uint16_t offset) { return reinterpret_cast<char*>(heap) + offset; }

// Size of the largest block the heap can give now (free-list scan).
std::uint32_t LargestFree(const StringHeap* heap);
// Number of free blocks and their total bytes (tests, diagnostics).
void FreeStats(const StringHeap* heap, int* blocks, std::uint32_t* bytes);

// Copies `text` into a new block; 0 with error 3096 set when there is no room.
std::uint16_t StoreText(ScriptContext* ctx, std::string_view text);
// Frees a string of a value (0 = none).
void FreeText(ScriptContext* ctx, std::uint16_t offset);

}  // namespace tarn
