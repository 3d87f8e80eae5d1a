#include "string_heap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "builtins.h"
#include "test_context.h"

namespace tarn {
namespace {

struct Heap {
    explicit Heap(std::uint32_t bytes) : mem(bytes / 4 + 1) { EXPECT_TRUE(FormatHeap(h(), bytes)); }
    StringHeap* h() { return reinterpret_cast<StringHeap*>(mem.data()); }
    std::uint32_t Tag(std::uint32_t at) {
        std::uint32_t t;
        std::memcpy(&t, reinterpret_cast<char*>(h()) + at, 4);
        return t;
    }
    std::uint16_t Size(std::uint32_t block) {
        std::uint16_t s;
        std::memcpy(&s, reinterpret_cast<char*>(h()) + block + 4, 2);
        return s;
    }
    std::vector<std::uint32_t> mem;
};

TEST(StringHeap, BlockSizes) {
    EXPECT_EQ(BlockSizeFor(1), 28u);
    EXPECT_EQ(BlockSizeFor(16), 28u);
    EXPECT_EQ(BlockSizeFor(17), 32u);
    EXPECT_EQ(BlockSizeFor(20), 32u);
    EXPECT_EQ(BlockSizeFor(21), 36u);
}

TEST(StringHeap, FormatLeavesOneTaggedFreeBlock) {
    Heap heap(1024);
    int blocks;
    std::uint32_t bytes;
    FreeStats(heap.h(), &blocks, &bytes);
    EXPECT_EQ(blocks, 1);
    EXPECT_EQ(bytes, 1024u - TARN_HEAP_HEADER - 4);
    EXPECT_EQ(heap.Tag(TARN_HEAP_HEADER), TARN_TAG_FREE);
    EXPECT_EQ(heap.Tag(1024 - 8), TARN_TAG_FREE);
    EXPECT_EQ(std::memcmp(reinterpret_cast<char*>(heap.h()) + TARN_HEAP_HEADER, "QRST", 4), 0);
    EXPECT_FALSE(FormatHeap(heap.h(), 40));
}

TEST(StringHeap, OneByteTakesMinimumBlockFromTheTop) {
    Heap heap(1024);
    const std::uint16_t off = VMalloc(heap.h(), 1);
    ASSERT_NE(off, 0);
    const std::uint32_t block = off - 8u;
    EXPECT_EQ(heap.Size(block), 28);
    EXPECT_EQ(block + 28, 1024u - 4);  // split: the upper part is handed out
    EXPECT_EQ(std::memcmp(reinterpret_cast<char*>(heap.h()) + block, "5678", 4), 0);
    EXPECT_EQ(heap.Tag(block + 24), TARN_TAG_USED);
}

TEST(StringHeap, NeighboursMergeOnFree) {
    Heap heap(1024);
    const std::uint16_t a = VMalloc(heap.h(), 10), b = VMalloc(heap.h(), 10), c = VMalloc(heap.h(), 10);
    ASSERT_TRUE(a && b && c);
    int blocks;
    std::uint32_t bytes;
    VFree(nullptr, heap.h(), a);
    VFree(nullptr, heap.h(), c);
    FreeStats(heap.h(), &blocks, &bytes);
    EXPECT_EQ(blocks, 2);  // c merged with the big free block, a alone
    VFree(nullptr, heap.h(), b);
    FreeStats(heap.h(), &blocks, &bytes);
    EXPECT_EQ(blocks, 1);
    EXPECT_EQ(bytes, 1024u - TARN_HEAP_HEADER - 4);
    // A second free of the same block changes nothing.
    VFree(nullptr, heap.h(), b);
    FreeStats(heap.h(), &blocks, &bytes);
    EXPECT_EQ(blocks, 1);
}

TEST(StringHeap, TakesWholeBlockWhenRemainderTooSmall) {
    Heap heap(TARN_HEAP_HEADER + 4 + 60);
    const std::uint16_t a = VMalloc(heap.h(), 40);  // 52 of 60: 8 left < 28
    ASSERT_NE(a, 0);
    EXPECT_EQ(heap.Size(a - 8u), 60);
    EXPECT_EQ(VMalloc(heap.h(), 1), 0);
}

TEST(StringHeap, FillsAndRefillsAfterFree) {
    Heap heap(4096);
    std::vector<std::uint16_t> got;
    while (std::uint16_t o = VMalloc(heap.h(), 50)) got.push_back(o);
    EXPECT_GT(got.size(), 50u);
    for (std::size_t i = 0; i < got.size(); i += 2) VFree(nullptr, heap.h(), got[i]);
    for (std::size_t i = 0; i < got.size(); i += 2) EXPECT_NE(VMalloc(heap.h(), 50), 0) << i;
    EXPECT_EQ(VMalloc(heap.h(), 50), 0);
}

TEST(StringHeap, CorruptedTagsAreReportedAndNothingFreed) {
    test::Context c;
    auto ui = std::make_unique<ScriptedUi>(std::vector<std::string>{});
    ScriptedUi* seen = ui.get();
    SetUi(std::move(ui));
    StringHeap* h = S(c.ctx).heap;
    const std::uint16_t a = VMalloc(h, 10), b = VMalloc(h, 10);
    ASSERT_TRUE(a && b);
    // b sits below a (blocks come from the top); overwrite b's end tag.
    std::memcpy(reinterpret_cast<char*>(h) + b - 8 + 28 - 4, "XXXX", 4);
    VFree(c.ctx, h, a);
    ASSERT_EQ(seen->Transcript().size(), 1u);
    EXPECT_EQ(seen->Transcript()[0], "box:INTERNAL DYNALLOC ERROR|Tag Overwrite 1");
    std::memcpy(reinterpret_cast<char*>(h) + b - 8 + 28 - 4, "5678", 4);
    std::memcpy(reinterpret_cast<char*>(h) + a - 8 + 28, "XXXX", 4);
    VFree(c.ctx, h, a);
    ASSERT_EQ(seen->Transcript().size(), 2u);
    EXPECT_EQ(seen->Transcript()[1], "box:INTERNAL DYNALLOC ERROR|Tag Overwrite 2");
    SetUi(MakeQuietUi());
}

TEST(StringHeap, ScriptRunsOutOfStringRoom) {
    test::Context c(1024);
    SetUi(MakeQuietUi());
    EXPECT_EQ(c.Run("errormode(@off)\na = \"0123456789012345678901234567890123456789\"\nb = a\nc = a\nd = a\n"
                    "e = a\nf = a\ng = a\nh = a\ni = a\nj = a\nk = a\nl = a\nm = a\nn = a\no = a\np = a\nq = a\nr = "
                    "a\ns = a\nt = a\nu = a\nv = a\nw = a\nx = a\ny = a\nz = a\n"),
              0);
    EXPECT_EQ(S(c.ctx).outcome_code, 3096);
}

}  // namespace
}  // namespace tarn
