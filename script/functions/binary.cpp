// The binary family: ten buffer slots per context, each a zero-filled block
// of global memory of fixed size with an end of data (EOD). Handles are
// 987659 + slot; every function checks the handle first (3023).
#include "functions/logic/binary_records.h"
#include "builtins.h"
#include "functions/logic/clipboard.h"
#include "errors.h"
#include "functions/family_util.h"

#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace tarn::fn {
namespace {

constexpr std::int32_t kHandleBase = 987659;
constexpr int kBadHandle = err::BinaryDataInvalidBinaryDataHandle;
constexpr int kBeyondEnd = err::BinaryPeekPokeIncrOffsetBeyondEndBinary;

// One buffer as a handler sees it.
struct Buffer {
    int slot = -1;
    std::uint8_t* data = nullptr;
    long size = 0;
    std::uint32_t* eod = nullptr;

    void Raise(long to) {
        if (to > static_cast<long>(*eod)) *eod = static_cast<std::uint32_t>(to);
    }
    std::span<std::uint8_t> Bytes() const { return {data, static_cast<std::size_t>(size)}; }
    std::span<const std::uint8_t> Used() const { return {data, static_cast<std::size_t>(*eod)}; }
};

// The buffer of handle argument `arg`; false with 3023 set.
bool Get(Call& c, int arg, Buffer* b) {
    const std::int32_t h = c.Int(arg);
    State& s = c.State();
    if (h < kHandleBase || h >= kHandleBase + kBinarySlots || !s.binaries[h - kHandleBase]) {
        c.Fail(kBadHandle);
        return false;
    }
    const int slot = h - kHandleBase;
    // The block stays locked while the slot is used: lock and unlock once
    // more only to learn its address.
    void* p = GlobalLock(s.binaries[slot]);
    GlobalUnlock(s.binaries[slot]);
    b->slot = slot;
    b->data = static_cast<std::uint8_t*>(p);
    b->size = s.binary_size[slot];
    b->eod = &s.binary_eod[slot];
    return true;
}

void BinaryAlloc(Call& c) {
    State& s = c.State();
    int slot = 0;
    while (slot < kBinarySlots && s.binaries[slot]) ++slot;
    if (slot == kBinarySlots) return c.Fail(err::BinaryDataTooManyOpenBinary);
    const std::int32_t size = c.Int(0);
    if (size < 0) return c.Fail(err::BinaryAllocCouldNotAllocateBinary);
    const TarnHandle h = GlobalAlloc(GHND, static_cast<std::size_t>(size));
    if (!h || !GlobalLock(h)) {
        if (h) GlobalFree(h);
        return c.Fail(err::BinaryAllocCouldNotAllocateBinary);
    }
    s.binaries[slot] = h;
    s.binary_size[slot] = static_cast<std::uint32_t>(size);
    s.binary_eod[slot] = 0;
    s.binary_ole[slot] = 0;
    c.ReturnInt(kHandleBase + slot);
}

void BinaryFree(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    State& s = c.State();
    while (GlobalUnlock(s.binaries[b.slot]) > 0) {
    }
    GlobalFree(s.binaries[b.slot]);
    s.binaries[b.slot] = 0;
    s.binary_size[b.slot] = s.binary_eod[b.slot] = 0;
    s.binary_ole[b.slot] = 0;
    c.ReturnInt(0);
}

void BinaryEodGet(Call& c) {
    Buffer b;
    if (Get(c, 0, &b)) c.ReturnInt(static_cast<std::int32_t>(*b.eod));
}

void BinaryEodSet(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    const std::int32_t to = c.Int(1);
    if (to > b.size) return c.Fail(err::BinaryEODSetSetValueBeyondEnd);
    if (to < 0) return c.Fail(err::BinaryFunctionsInvalidOffset);
    const auto old = *b.eod;
    *b.eod = static_cast<std::uint32_t>(to);
    c.ReturnInt(static_cast<std::int32_t>(old));
}

// --- peek, poke, increment --------------------------------------------------

// The `width` bytes at the offset argument, EOD raised over them; null with
// the error set.
std::uint8_t* At(Call& c, Buffer& b, int width) {
    const std::int32_t off = c.Int(1);
    if (off < 0 || static_cast<long>(off) + width > b.size) {
        c.Fail(kBeyondEnd);
        return nullptr;
    }
    b.Raise(off + width);
    return b.data + off;
}

std::int64_t Load(const std::uint8_t* p, int width) {
    if (width == 1) return *p;
    if (width == 2) return p[0] | (p[1] << 8);
    std::int32_t v;
    std::memcpy(&v, p, 4);  // little-endian machines only, as the layouts are
    return v;
}

void Store(std::uint8_t* p, int width, std::int64_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < width; ++i) p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

void Peek(Call& c, int width) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    if (auto* p = At(c, b, width)) c.ReturnInt(static_cast<std::int32_t>(Load(p, width)));
}

void Poke(Call& c, int width) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    const std::int64_t v = c.Int(2);
    // A byte takes -256 to 255, a word -65536 to 65535.
    if (width < 4 && (v < -(1LL << (8 * width)) || v >= (1LL << (8 * width))))
        return c.Fail(err::BinaryPokeValuePokeOutsideAllowable);
    auto* p = At(c, b, width);
    if (!p) return;
    const auto old = Load(p, width);
    Store(p, width, v);
    c.ReturnInt(static_cast<std::int32_t>(old));
}

void Incr(Call& c, int width) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    auto* p = At(c, b, width);
    if (!p) return;
    const auto old = Load(p, width);
    Store(p, width, old + 1);  // wraps within the width
    c.ReturnInt(static_cast<std::int32_t>(old));
}

void BinaryPeek(Call& c) { Peek(c, 1); }
void BinaryPeek2(Call& c) { Peek(c, 2); }
void BinaryPeek4(Call& c) { Peek(c, 4); }
void BinaryPoke(Call& c) { Poke(c, 1); }
void BinaryPoke2(Call& c) { Poke(c, 2); }
void BinaryPoke4(Call& c) { Poke(c, 4); }
void BinaryIncr(Call& c) { Incr(c, 1); }
void BinaryIncr2(Call& c) { Incr(c, 2); }
void BinaryIncr4(Call& c) { Incr(c, 4); }

// 8-byte floating point values.
void BinaryPeekFlt(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    auto* p = At(c, b, 8);
    if (!p) return;
    double d;
    std::memcpy(&d, p, 8);
    c.ReturnFloat(d);
}

void BinaryPokeFlt(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    auto* p = At(c, b, 8);
    if (!p) return;
    double old, v = c.Float(2);
    std::memcpy(&old, p, 8);
    std::memcpy(p, &v, 8);
    c.ReturnFloat(old);
}

void BinaryIncrFlt(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    auto* p = At(c, b, 8);
    if (!p) return;
    double old;
    std::memcpy(&old, p, 8);
    const double v = old + 1;
    std::memcpy(p, &v, 8);
    c.ReturnFloat(old);
}

// Text of up to `max` bytes from the offset, ending at a NUL.
void BinaryPeekStr(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    const std::int32_t off = c.Int(1), max = c.Int(2);
    if (max < 0) return c.Fail(err::BinaryFunctionsInvalidCount);
    if (off < 0 || static_cast<long>(off) + max > b.size) return c.Fail(kBeyondEnd);
    const std::size_t n = strnlen(reinterpret_cast<const char*>(b.data + off), static_cast<std::size_t>(max));
    b.Raise(off + static_cast<long>(n));
    ReturnTextOrMemError(c, std::string_view(reinterpret_cast<const char*>(b.data + off), n));
}

// Writes the text without a NUL; the result is the count of bytes written.
void BinaryPokeStr(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    const std::int32_t off = c.Int(1);
    const std::string_view text = c.Str(2);
    if (off < 0 || static_cast<long>(off) + static_cast<long>(text.size()) > b.size) return c.Fail(kBeyondEnd);
    std::memcpy(b.data + off, text.data(), text.size());
    b.Raise(off + static_cast<long>(text.size()));
    c.ReturnInt(static_cast<std::int32_t>(text.size()));
}

// --- two-buffer operations ----------------------------------------------------

// Checks target/source ranges for and, or, xor and compare.
bool Ranges(Call& c, const Buffer& t, long toff, const Buffer& s, long soff, long count) {
    int e = 0;
    if (toff < 0 || soff < 0) e = err::BinaryFunctionsInvalidOffset;
    else if (count < 0) e = err::BinaryFunctionsInvalidCount;
    else if (count == 0) e = 0;
    else if (toff >= t.size || soff >= s.size) e = err::BinaryFunctionsOffsetsBeyondEndBinary;
    else if (toff >= static_cast<long>(*t.eod) || soff >= static_cast<long>(*s.eod))
        e = err::BinaryFunctionsOffsetBeyondBinaryEOD;
    else if (toff + count > t.size || soff + count > s.size) e = err::BinaryFunctionsSpecifiedCountExtendsBeyond;
    else if (toff + count > static_cast<long>(*t.eod) || soff + count > static_cast<long>(*s.eod))
        e = err::BinaryFunctionsSpecifiedCountExtendsBeyond1551;
    if (e) c.Fail(e);
    return e == 0;
}

template <typename Op>
void Combine(Call& c, Op op) {
    Buffer t, s;
    if (!Get(c, 0, &t) || !Get(c, 2, &s)) return;
    const long toff = c.Int(1), soff = c.Int(3), count = c.Int(4);
    if (!Ranges(c, t, toff, s, soff, count)) return;
    // memmove semantics when the ranges overlap in one buffer.
    std::vector<std::uint8_t> src(s.data + soff, s.data + soff + count);
    for (long i = 0; i < count; ++i) t.data[toff + i] = op(t.data[toff + i], src[i]);
    c.ReturnInt(1);
}

void BinaryAnd(Call& c) {
    Combine(c, [](std::uint8_t a, std::uint8_t b) { return std::uint8_t(a & b); });
}
void BinaryOr(Call& c) {
    Combine(c, [](std::uint8_t a, std::uint8_t b) { return std::uint8_t(a | b); });
}
void BinaryXor(Call& c) {
    Combine(c, [](std::uint8_t a, std::uint8_t b) { return std::uint8_t(a ^ b); });
}

// 1 when the two ranges hold the same bytes.
void BinaryCompare(Call& c) {
    Buffer a, b;
    if (!Get(c, 0, &a) || !Get(c, 2, &b)) return;
    const long aoff = c.Int(1), boff = c.Int(3), count = c.Int(4);
    if (!Ranges(c, a, aoff, b, boff, count)) return;
    c.ReturnInt(count == 0 || std::memcmp(a.data + aoff, b.data + boff, count) == 0 ? 1 : 0);
}

// Copies count bytes of the source's data into the target; the target's EOD
// rises to the end of the copy. Result: bytes copied.
void BinaryCopy(Call& c) {
    Buffer t, s;
    if (!Get(c, 0, &t) || !Get(c, 2, &s)) return;
    const long toff = c.Int(1), soff = c.Int(3), count = c.Int(4);
    if (toff < 0 || soff < 0 || toff > t.size || soff > s.size) return c.Fail(err::BinaryCopyOffsetsBeyondEndBinary);
    if (count < 0) return c.Fail(err::BinaryFunctionsInvalidCount);
    if (soff + count > static_cast<long>(*s.eod)) return c.Fail(err::BinaryCopyDataCopyExtendsBeyond);
    if (toff + count > t.size) return c.Fail(err::BinaryCopyDataCopiedWillNot);
    std::memmove(t.data + toff, s.data + soff, count);
    if (count) t.Raise(toff + count);
    c.ReturnInt(static_cast<std::int32_t>(count));
}

// --- searching ----------------------------------------------------------------

// Searches the data (up to EOD) from the offset; `notFound` when absent.
void Index(Call& c, bool backward, bool ignoreCase, std::int32_t notFound) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    const std::int32_t off = c.Int(1);
    if (off < 0 || off > b.size) return c.Fail(err::BinaryIndexOffsetBeyondEndBinary);
    const long at = FindBytes(b.Used(), c.Str(2), off, backward, ignoreCase);
    c.ReturnInt(at < 0 ? notFound : static_cast<std::int32_t>(at));
}

void BinaryIndex(Call& c) { Index(c, c.Int(3) != 0, false, 0); }
void BinaryIndexNc(Call& c) { Index(c, c.Int(3) != 0, true, 0); }
void BinaryIndexEx(Call& c) { Index(c, c.Int(3) != 0, c.Int(4) == 0, -1); }

// Occurrences of the text between two offsets (end exclusive, within EOD),
// not overlapping.
void BinaryStrCnt(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    const long from = c.Int(1), to = c.Int(2);
    if (from < 0 || to < 0) return c.Fail(err::BinaryFunctionsInvalidOffset);
    if (from > b.size || to > b.size) return c.Fail(err::BinaryFunctionsOffsetsBeyondEndBinary);
    if (from > static_cast<long>(*b.eod) || to > static_cast<long>(*b.eod))
        return c.Fail(err::BinaryFunctionsOffsetBeyondBinaryEOD);
    const std::string_view needle = c.Str(3);
    std::int32_t n = 0;
    if (!needle.empty() && to > from) {
        auto range = b.Used().subspan(0, static_cast<std::size_t>(to));
        for (long at = FindBytes(range, needle, from, false, false); at >= 0;
             at = FindBytes(range, needle, at + static_cast<long>(needle.size()), false, false))
            ++n;
    }
    c.ReturnInt(n);
}

// --- files ------------------------------------------------------------------

std::string FileName(std::string_view name) {
    std::string f(name);
    for (char& ch : f)
        if (ch == '\\') ch = '/';
    return f;
}

void BinaryRead(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    std::FILE* f = std::fopen(FileName(c.Str(1)).c_str(), "rb");
    if (!f) return c.Fail(err::FileOpenOpenFailed);
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    if (size < 0 || size > b.size) {
        std::fclose(f);
        c.ReturnInt(0);
        return c.Fail(err::BinaryReadFileSizeLargerThan);
    }
    const std::size_t got = std::fread(b.data, 1, static_cast<std::size_t>(size), f);
    std::fclose(f);
    *b.eod = static_cast<std::uint32_t>(got);
    c.ReturnInt(static_cast<std::int32_t>(got));
}

void BinaryWrite(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    std::FILE* f = std::fopen(FileName(c.Str(1)).c_str(), "wb");
    if (!f) return c.Fail(err::FileOpenOpenFailed);
    const std::size_t put = std::fwrite(b.data, 1, *b.eod, f);
    const bool ok = std::fclose(f) == 0 && put == *b.eod;
    c.ReturnInt(ok ? static_cast<std::int32_t>(put) : 0);
}

// Reads count bytes at a file offset into the buffer at an offset; EOD rises
// to the end of what was read. Result: bytes read.
void BinaryReadEx(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    const long boff = c.Int(1), foff = c.Int(3), count = c.Int(4);
    if (boff < 0 || foff < 0) return c.Fail(err::BinaryFunctionsInvalidOffset);
    if (count < 0) return c.Fail(err::BinaryFunctionsInvalidCount);
    if (boff > b.size) return c.Fail(err::BinaryFunctionsOffsetsBeyondEndBinary);
    if (boff + count > b.size) return c.Fail(err::BinaryFunctionsSpecifiedCountExtendsBeyond);
    std::FILE* f = std::fopen(FileName(c.Str(2)).c_str(), "rb");
    if (!f) return c.Fail(err::FileOpenOpenFailed);
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    int e = foff > size                     ? err::BinaryFunctionsOffsetBeyondEndFile
            : foff + count > size           ? err::BinaryFunctionsSpecifiedCountExtendsBeyond1546
            : std::fseek(f, foff, SEEK_SET) ? err::BinaryFunctionsErrorSeekingOffsetFile
                                            : 0;
    if (e) {
        std::fclose(f);
        return c.Fail(e);
    }
    const std::size_t got = std::fread(b.data + boff, 1, static_cast<std::size_t>(count), f);
    std::fclose(f);
    if (got) b.Raise(boff + static_cast<long>(got));
    c.ReturnInt(static_cast<std::int32_t>(got));
}

// Writes count bytes of the buffer's data at a file offset (-1 appends),
// creating the file when missing and keeping the rest of it.
void BinaryWriteEx(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    const long boff = c.Int(1), foff = c.Int(3), count = c.Int(4);
    if (boff < 0 || foff < -1) return c.Fail(err::BinaryFunctionsInvalidOffset);
    if (count < 0) return c.Fail(err::BinaryFunctionsInvalidCount);
    if (boff > static_cast<long>(*b.eod)) return c.Fail(err::BinaryFunctionsOffsetBeyondBinaryEOD);
    if (boff + count > static_cast<long>(*b.eod)) return c.Fail(err::BinaryFunctionsSpecifiedCountExtendsBeyond1551);
    const std::string name = FileName(c.Str(2));
    std::FILE* f = std::fopen(name.c_str(), "r+b");
    if (!f) f = std::fopen(name.c_str(), "w+b");
    if (!f) return c.Fail(err::FileOpenOpenFailed);
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    if (foff > size) {
        std::fclose(f);
        return c.Fail(err::BinaryFunctionsOffsetBeyondEndFile);
    }
    if (std::fseek(f, foff < 0 ? size : foff, SEEK_SET)) {
        std::fclose(f);
        return c.Fail(err::BinaryFunctionsErrorSeekingOffsetFile);
    }
    const std::size_t put = std::fwrite(b.data + boff, 1, static_cast<std::size_t>(count), f);
    const bool ok = std::fclose(f) == 0 && put == static_cast<std::size_t>(count);
    c.ReturnInt(ok ? static_cast<std::int32_t>(put) : 0);
}

// --- records --------------------------------------------------------------

// Sorts the records within EOD. Result: 1.
void BinarySort(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    if (c.Int(1) > b.size) return c.Fail(err::BinaryHashSortSpecifiedRecordSizeLarger);
    if (int e = SortRecords(b.Bytes().subspan(0, *b.eod), c.Int(1), c.Int(2), c.Int(3), c.Int(4))) {
        // An EOD shorter than one record has nothing to sort.
        if (!(e == err::BinaryHashSortSpecifiedRecordSizeLarger && c.Int(1) > 0)) return c.Fail(e);
    }
    c.ReturnInt(1);
}

// Offset of the record holding the key, claiming an empty record when the
// key is new; the buffer's EOD covers the whole table afterwards.
void BinaryHashRec(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    long off = 0;
    if (int e = HashRecord(b.Bytes(), c.Int(1), c.Int(2), c.Int(3), c.Str(4), &off)) return c.Fail(e);
    b.Raise(b.size / c.Int(1) * c.Int(1));
    c.ReturnInt(static_cast<std::int32_t>(off));
}

// Converts the data in place; the result is the new EOD.
void BinaryConvert(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    const auto used = b.Used();
    std::string out;
    if (int e = ConvertBytes(std::string_view(reinterpret_cast<const char*>(used.data()), used.size()), c.Int(1),
                             c.Int(2), c.Int(3), c.Int(4), &out))
        return c.Fail(e);
    if (static_cast<long>(out.size()) > b.size) return c.Fail(err::BinaryConvertInsufficientFreeSpaceBinary);
    std::memcpy(b.data, out.data(), out.size());
    *b.eod = static_cast<std::uint32_t>(out.size());
    c.ReturnInt(static_cast<std::int32_t>(out.size()));
}

// Type 0 clears; else hundreds digit 1 to 3 (direction) and remainder 1 or
// 2 (data type).
void BinaryOleType(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    const std::int32_t type = c.Int(1);
    if (type != 0) {
        if (type < 0 || type > 399) return c.Fail(err::BinaryOleTypeInvalidType);
        if (type < 100) return c.Fail(err::BinaryOleTypeTypeDoesNotInclude1516);
        if (type % 100 == 0) return c.Fail(err::BinaryOleTypeTypeDoesNotInclude);
        if (type % 100 > 2) return c.Fail(err::BinaryOleTypeInvalidType);
    }
    c.State().binary_ole[b.slot] = type;
    c.ReturnInt(1);
}

// --- clipboard -----------------------------------------------------------------

// A clipboard that cannot be reached is tried once more after a second.
template <typename F>
ClipStatus WithRetry(F f) {
    ClipStatus st = f();
    if (st == ClipStatus::NoClipboard) {
        sleep(1);
        st = f();
    }
    return st;
}

// Handle 0 asks only for the size; otherwise the data is copied and EOD set.
// An empty clipboard gives 0.
void BinaryClipGet(Call& c) {
    Buffer b;
    if (c.Int(0) != 0 && !Get(c, 0, &b)) return;
    std::string data;
    switch (WithRetry([&] { return ClipGet(c.Int(1), &data); })) {
        case ClipStatus::Ok: break;
        case ClipStatus::Empty: return c.ReturnInt(0);
        case ClipStatus::NoClipboard: return c.Fail(err::BinaryClipUnableOpenClipboard);
        case ClipStatus::NoFormat:
        case ClipStatus::BadFormat: return c.Fail(err::BinaryClipSpecifiedClipboardFormatNot);
        case ClipStatus::Failed: return c.Fail(err::BinaryClipErrorRetrievingClipboardData);
    }
    if (c.Int(0) != 0) {
        if (static_cast<long>(data.size()) > b.size) return c.Fail(err::BinaryClipInsufficientSpaceBinaryBuffer);
        std::memcpy(b.data, data.data(), data.size());
        *b.eod = static_cast<std::uint32_t>(data.size());
    }
    c.ReturnInt(static_cast<std::int32_t>(data.size()));
}

void BinaryClipPut(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    const auto used = b.Used();
    const std::string_view data(reinterpret_cast<const char*>(used.data()), used.size());
    switch (WithRetry([&] { return ClipPut(c.Int(1), data); })) {
        case ClipStatus::Ok: return c.ReturnInt(1);
        case ClipStatus::NoClipboard: return c.Fail(err::BinaryClipUnableOpenClipboard);
        case ClipStatus::BadFormat: return c.Fail(err::BinaryClipErrorAccessingClipboardData);
        default: return c.Fail(err::BinaryClipErrorStoringDataClipboard);
    }
}

// --- tags -------------------------------------------------------------------

bool Tag(Call& c, int arg, TagState* t, Buffer* b) {
    if (!ParseTag(c.Str(arg), t)) {
        c.Fail(err::BinaryTagInvalidBinaryTagStructure);
        return false;
    }
    State& s = c.State();
    const std::int32_t h = t->handle;
    if (h < kHandleBase || h >= kHandleBase + kBinarySlots || !s.binaries[h - kHandleBase]) {
        c.Fail(kBadHandle);
        return false;
    }
    b->slot = h - kHandleBase;
    b->data = static_cast<std::uint8_t*>(GlobalLock(s.binaries[b->slot]));
    GlobalUnlock(s.binaries[b->slot]);
    b->size = s.binary_size[b->slot];
    b->eod = &s.binary_eod[b->slot];
    // A structure edited by the script must still name a block inside the
    // data: none (-1, -1) or begin..end holding both tags.
    const long eod = *b->eod;
    const bool none = t->begin == -1 && t->end == -1;
    const bool block = t->begin >= 0 && t->begin <= eod &&
                       t->begin + static_cast<long>(t->open.size() + t->close.size()) <= t->end && t->end <= eod;
    if (t->next > eod || !(none || block)) {
        c.Fail(err::BinaryTagInvalidBinaryTagStructure);
        return false;
    }
    return true;
}

void BinaryTagInit(Call& c) {
    Buffer b;
    if (!Get(c, 0, &b)) return;
    if (c.Str(1).empty() || c.Str(2).empty()) return c.Fail(err::BinaryTagInitBlankTagSpecified);
    TagState t;
    t.handle = c.Int(0);
    t.open = std::string(c.Str(1));
    t.close = std::string(c.Str(2));
    ReturnTextOrMemError(c, FormatTag(t));
}

// Finds the next start tag and the end tag after it; the structure then
// names that block. No further block: the found block is -1 and the search
// position stays.
void BinaryTagFind(Call& c) {
    TagState t;
    Buffer b;
    if (!Tag(c, 0, &t, &b)) return;
    const long open = FindBytes(b.Used(), t.open, t.next, false, false);
    const long close =
        open < 0 ? -1 : FindBytes(b.Used(), t.close, open + static_cast<long>(t.open.size()), false, false);
    if (close < 0) {
        t.begin = t.end = -1;
    } else {
        t.begin = open;
        t.end = close + static_cast<long>(t.close.size());
        t.next = t.end;
    }
    ReturnTextOrMemError(c, FormatTag(t));
}

// The text of the found block: without the tags (flags 0) or with them (1).
void BinaryTagExtr(Call& c) {
    TagState t;
    Buffer b;
    if (!Tag(c, 0, &t, &b)) return;
    if (t.begin < 0) return ReturnTextOrMemError(c, "");
    long from = t.begin, to = t.end;
    if (!(c.Int(1) & 1)) {
        from += static_cast<long>(t.open.size());
        to -= static_cast<long>(t.close.size());
    }
    ReturnTextOrMemError(c, std::string_view(reinterpret_cast<const char*>(b.data + from), to - from));
}

// Replaces the found block, tags included, by the text, moving the data
// after it; the next search starts after the new text.
void BinaryTagRepl(Call& c) {
    TagState t;
    Buffer b;
    if (!Tag(c, 0, &t, &b)) return;
    if (t.begin < 0) return c.Fail(err::BinaryTagInvalidBinaryTagStructure);
    const std::string_view text = c.Str(1);
    const long old = t.end - t.begin, eod = *b.eod;
    const long grown = eod - old + static_cast<long>(text.size());
    if (grown > b.size) return c.Fail(err::BinaryTagUnableAllocateLockMemory);
    std::memmove(b.data + t.begin + text.size(), b.data + t.end, eod - t.end);
    std::memcpy(b.data + t.begin, text.data(), text.size());
    if (grown < eod) std::memset(b.data + grown, 0, eod - grown);
    *b.eod = static_cast<std::uint32_t>(grown);
    t.next = t.begin + static_cast<long>(text.size());
    t.begin = t.end = -1;
    ReturnTextOrMemError(c, FormatTag(t));
}

constexpr BuiltinEntry kBinary[] = {
    {"binaryalloc", BinaryAlloc},     {"binaryfree", BinaryFree},       {"binaryeodget", BinaryEodGet},
    {"binaryeodset", BinaryEodSet},   {"binarypeek", BinaryPeek},       {"binarypeek2", BinaryPeek2},
    {"binarypeek4", BinaryPeek4},     {"binarypoke", BinaryPoke},       {"binarypoke2", BinaryPoke2},
    {"binarypoke4", BinaryPoke4},     {"binaryincr", BinaryIncr},       {"binaryincr2", BinaryIncr2},
    {"binaryincr4", BinaryIncr4},     {"binarypeekflt", BinaryPeekFlt}, {"binarypokeflt", BinaryPokeFlt},
    {"binaryincrflt", BinaryIncrFlt}, {"binarypeekstr", BinaryPeekStr}, {"binarypokestr", BinaryPokeStr},
    {"binaryand", BinaryAnd},         {"binaryor", BinaryOr},           {"binaryxor", BinaryXor},
    {"binarycompare", BinaryCompare}, {"binarycopy", BinaryCopy},       {"binaryindex", BinaryIndex},
    {"binaryindexnc", BinaryIndexNc}, {"binaryindexex", BinaryIndexEx}, {"binarystrcnt", BinaryStrCnt},
    {"binaryread", BinaryRead},       {"binarywrite", BinaryWrite},     {"binaryreadex", BinaryReadEx},
    {"binarywriteex", BinaryWriteEx}, {"binarysort", BinarySort},       {"binaryhashrec", BinaryHashRec},
    {"binaryconvert", BinaryConvert}, {"binaryoletype", BinaryOleType}, {"binarytaginit", BinaryTagInit},
    {"binaryclipget", BinaryClipGet}, {"binaryclipput", BinaryClipPut}, {"binarytagfind", BinaryTagFind},
    {"binarytagextr", BinaryTagExtr}, {"binarytagrepl", BinaryTagRepl},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(binary, tarn::fn::kBinary)
