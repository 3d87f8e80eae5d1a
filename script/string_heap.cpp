#include "string_heap.h"

#include <cstring>

#include "builtins.h"
#include "context.h"
#include "errors.h"
#include "export_guard.h"
#include "messages.h"

namespace tarn {
namespace {

unsigned char* Base(StringHeap* heap) { return reinterpret_cast<unsigned char*>(heap); }
const unsigned char* Base(const StringHeap* heap) { return reinterpret_cast<const unsigned char*>(heap); }

std::uint32_t Tag(const StringHeap* h, std::uint32_t at) {
    std::uint32_t t;
    std::memcpy(&t, Base(h) + at, 4);
    return t;
}
void SetTag(StringHeap* h, std::uint32_t at, std::uint32_t t) { std::memcpy(Base(h) + at, &t, 4); }
std::uint16_t Word(const StringHeap* h, std::uint32_t at) {
    std::uint16_t w;
    std::memcpy(&w, Base(h) + at, 2);
    return w;
}
void SetWord(StringHeap* h, std::uint32_t at, std::uint16_t w) { std::memcpy(Base(h) + at, &w, 2); }

std::uint16_t SizeOf(const StringHeap* h, std::uint32_t block) { return Word(h, block + 4); }
std::uint16_t NextOf(const StringHeap* h, std::uint32_t block) { return Word(h, block + 8); }
std::uint16_t PrevOf(const StringHeap* h, std::uint32_t block) { return Word(h, block + 10); }

// Writes the tags and sizes of a block.
void MarkUsed(StringHeap* h, std::uint32_t block, std::uint32_t size) {
    SetTag(h, block, TARN_TAG_USED);
    SetWord(h, block + 4, static_cast<std::uint16_t>(size));
    SetWord(h, block + 6, 0);
    SetTag(h, block + size - 4, TARN_TAG_USED);
}
void MarkFree(StringHeap* h, std::uint32_t block, std::uint32_t size) {
    SetTag(h, block, TARN_TAG_FREE);
    SetWord(h, block + 4, static_cast<std::uint16_t>(size));
    SetWord(h, block + 6, 0);
    SetWord(h, block + size - 6, static_cast<std::uint16_t>(size));
    SetTag(h, block + size - 4, TARN_TAG_FREE);
}

void Unlink(StringHeap* h, std::uint32_t block) {
    const std::uint16_t next = NextOf(h, block), prev = PrevOf(h, block);
    if (prev) SetWord(h, prev + 8, next);
    else h->free_head = next;
    if (next) SetWord(h, next + 10, prev);
    if (h->rover == block) h->rover = next ? next : h->free_head;
}

void PushFront(StringHeap* h, std::uint32_t block) {
    SetWord(h, block + 8, h->free_head);
    SetWord(h, block + 10, 0);
    if (h->free_head) SetWord(h, h->free_head + 10, static_cast<std::uint16_t>(block));
    h->free_head = static_cast<std::uint16_t>(block);
    if (!h->rover) h->rover = h->free_head;
}

// End of the block area: a "5678" guard follows the last block.
std::uint32_t AreaEnd(const StringHeap* h) { return h->size - 4; }

}  // namespace

bool FormatHeap(StringHeap* heap, std::uint32_t bytes) {
    if (bytes > TARN_HEAP_MAX) bytes = TARN_HEAP_MAX;
    bytes &= ~3u;
    if (bytes < TARN_HEAP_HEADER + kMinBlock + 4) return false;
    std::memset(heap, 0, TARN_HEAP_HEADER);
    heap->size = bytes;
    heap->guard = TARN_TAG_USED;
    const std::uint32_t first = TARN_HEAP_HEADER;
    MarkFree(heap, first, AreaEnd(heap) - first);
    SetTag(heap, AreaEnd(heap), TARN_TAG_USED);
    heap->free_head = 0;
    heap->rover = 0;
    PushFront(heap, first);
    return true;
}

std::uint32_t LargestFree(const StringHeap* heap) {
    std::uint32_t best = 0;
    for (std::uint16_t b = heap->free_head; b; b = NextOf(heap, b))
        if (SizeOf(heap, b) > best) best = SizeOf(heap, b);
    return best > kBlockOverhead ? best - kBlockOverhead : 0;
}

void FreeStats(const StringHeap* heap, int* blocks, std::uint32_t* bytes) {
    *blocks = 0;
    *bytes = 0;
    for (std::uint16_t b = heap->free_head; b; b = NextOf(heap, b)) {
        ++*blocks;
        *bytes += SizeOf(heap, b);
    }
}

std::uint16_t StoreText(ScriptContext* ctx, std::string_view text) {
    State& s = S(ctx);
    const std::uint32_t n = static_cast<std::uint32_t>(text.size());
    std::uint16_t off = n < 0xFFFF ? VMalloc(s.heap, n + 1) : 0;
    if (!off) {
        if (!s.error) s.error = err::OutOfStringMemory;
        return 0;
    }
    char* p = HeapText(s.heap, off);
    if (n) std::memcpy(p, text.data(), n);
    p[n] = 0;
    return off;
}

void FreeText(ScriptContext* ctx, std::uint16_t offset) {
    if (offset) VFree(ctx, S(ctx).heap, offset);
}

}  // namespace tarn

using namespace tarn;

static uint16_t AllocateBlock(StringHeap* heap, uint32_t bytes) {
    if (!heap || !heap->free_head) return 0;
    if (bytes > TARN_HEAP_MAX) return 0;
    const std::uint32_t need = BlockSizeFor(bytes);
    std::uint16_t start = heap->rover ? heap->rover : heap->free_head;
    std::uint16_t b = start;
    bool wrapped = false;
    while (true) {
        const std::uint16_t size = SizeOf(heap, b);
        if (size >= need) {
            if (size - need < kMinBlock) {
                Unlink(heap, b);
                MarkUsed(heap, b, size);
                return static_cast<std::uint16_t>(b + 8);
            }
            // Split: the lower part stays free where it is, the upper part
            // is handed out.
            const std::uint32_t rest = size - need;
            const std::uint16_t next = NextOf(heap, b), prev = PrevOf(heap, b);
            MarkFree(heap, b, rest);
            SetWord(heap, b + 8, next);
            SetWord(heap, b + 10, prev);
            heap->rover = b;
            const std::uint32_t upper = b + rest;
            MarkUsed(heap, upper, need);
            return static_cast<std::uint16_t>(upper + 8);
        }
        b = NextOf(heap, b);
        if (!b) {
            if (wrapped) return 0;
            wrapped = true;
            b = heap->free_head;
        }
        if (b == start) return 0;
    }
}

static void FreeBlock(ScriptContext* ctx, StringHeap* heap, uint16_t offset) {
    if (!heap || offset < TARN_HEAP_HEADER + 8 || offset >= heap->size) return;
    std::uint32_t block = offset - 8u;
    // A block that is not in use (double free, stray offset) is left alone.
    if (Tag(heap, block) != TARN_TAG_USED) return;
    std::uint32_t size = SizeOf(heap, block);
    if (size < kMinBlock || block + size > AreaEnd(heap)) return;

    const std::uint32_t before = Tag(heap, block - 4);
    if (before != TARN_TAG_USED && before != TARN_TAG_FREE) {
        ShowMessage(ctx, MessageText(845), MessageText(846), Buttons::Ok, Icon::Stop);
        return;
    }
    const std::uint32_t after = Tag(heap, block + size);
    if (after != TARN_TAG_USED && after != TARN_TAG_FREE) {
        ShowMessage(ctx, MessageText(845), MessageText(847), Buttons::Ok, Icon::Stop);
        return;
    }
    if (before == TARN_TAG_FREE) {
        const std::uint32_t prevSize = Word(heap, block - 6);
        const std::uint32_t prev = block - prevSize;
        Unlink(heap, prev);
        block = prev;
        size += prevSize;
    }
    if (after == TARN_TAG_FREE) {
        const std::uint32_t next = block + size;
        const std::uint32_t nextSize = SizeOf(heap, next);
        Unlink(heap, next);
        size += nextSize;
    }
    MarkFree(heap, block, size);
    PushFront(heap, block);
}

extern "C" uint16_t VMalloc(StringHeap* heap, uint32_t bytes) {
    return Guarded<uint16_t>(0, [&] { return AllocateBlock(heap, bytes); });
}

extern "C" void VFree(ScriptContext* ctx, StringHeap* heap, uint16_t offset) {
    GuardedVoid([&] { FreeBlock(ctx, heap, offset); }, ctx);
}
