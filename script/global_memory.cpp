// Movable global memory: a process-wide handle table. A handle names a
// block; GlobalLock gives its address for the duration of a call. Blocks
// never move while locked; GlobalReAlloc may move an unlocked block.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "export_guard.h"
#include "tarnproc.h"

namespace {

struct Block {
    void* data = nullptr;
    std::size_t size = 0;
    int locks = 0;
    bool used = false;
};

// Handles are (slot + 1) * 4 so that 0 is never a handle and stray small
// integers are unlikely to name a block.
std::mutex g_mutex;
std::vector<Block> g_blocks;
std::vector<std::size_t> g_free;

Block* Find(TarnHandle h) {
    if (h <= 0 || h % 4 != 0) return nullptr;
    const std::size_t slot = static_cast<std::size_t>(h / 4 - 1);
    if (slot >= g_blocks.size() || !g_blocks[slot].used) return nullptr;
    return &g_blocks[slot];
}

}  // namespace

using tarn::Guarded;

extern "C" {

TarnHandle GlobalAlloc(unsigned flags, size_t bytes) {
    return Guarded<TarnHandle>(0, [&]() -> TarnHandle {
        // Zero-filled always: a few bytes of calloc cost nothing and hosts that
        // forget GMEM_ZEROINIT then still start from a known state.
        (void)flags;
        std::lock_guard lock(g_mutex);
        // The slot first: growing the table may throw, and nothing is
        // allocated yet to lose.
        if (g_free.empty()) {
            g_free.reserve(g_blocks.size() + 1);
            g_blocks.emplace_back();
            g_free.push_back(g_blocks.size() - 1);
        }
        void* data = std::calloc(1, bytes ? bytes : 1);
        if (!data) return 0;
        const std::size_t slot = g_free.back();
        g_free.pop_back();
        g_blocks[slot] = Block{data, bytes, 0, true};
        return static_cast<TarnHandle>((slot + 1) * 4);
    });
}

TarnHandle GlobalReAlloc(TarnHandle h, size_t bytes, unsigned flags) {
    return Guarded<TarnHandle>(0, [&]() -> TarnHandle {
        std::lock_guard lock(g_mutex);
        Block* b = Find(h);
        if (!b || b->locks > 0) return 0;
        void* data = std::realloc(b->data, bytes ? bytes : 1);
        if (!data) return 0;
        if (bytes > b->size && (flags & GMEM_ZEROINIT))
            std::memset(static_cast<char*>(data) + b->size, 0, bytes - b->size);
        b->data = data;
        b->size = bytes;
        return h;
    });
}

void* GlobalLock(TarnHandle h) {
    return Guarded<void*>(nullptr, [&]() -> void* {
        std::lock_guard lock(g_mutex);
        Block* b = Find(h);
        if (!b) return nullptr;
        ++b->locks;
        return b->data;
    });
}

int GlobalUnlock(TarnHandle h) {
    return Guarded<int>(0, [&]() -> int {
        std::lock_guard lock(g_mutex);
        Block* b = Find(h);
        if (!b || b->locks == 0) return 0;
        return --b->locks;
    });
}

TarnHandle GlobalFree(TarnHandle h) {
    return Guarded<TarnHandle>(h, [&]() -> TarnHandle {
        std::lock_guard lock(g_mutex);
        Block* b = Find(h);
        if (!b) return h;
        std::free(b->data);
        *b = Block{};
        g_free.push_back(static_cast<std::size_t>(h / 4 - 1));
        return 0;
    });
}

size_t GlobalSize(TarnHandle h) {
    return Guarded<size_t>(0, [&]() -> size_t {
        std::lock_guard lock(g_mutex);
        Block* b = Find(h);
        return b ? b->size : 0;
    });
}

}  // extern "C"
