// Pure operations of the binary family on a buffer's bytes: searching,
// sorting fixed-size records, hashed record lookup, the tag-structure text
// and character-set conversion. Errors are message numbers (0 success).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tarn::fn {

// Offset of `needle` in data searching forward from `start` (or backward,
// the match beginning at or before `start`), -1 when absent.
long FindBytes(std::span<const std::uint8_t> data, std::string_view needle, long start, bool backward, bool ignoreCase);

// Key types of binarysort (low bits of the flags); 16 sorts descending.
enum SortKey { kKeyString = 0, kKeyWord1 = 1, kKeyWord2 = 2, kKeyWord4 = 4, kKeyFloat8 = 8 };
inline constexpr int kDescending = 16;

// Checks a record layout against a buffer of `size` bytes (1474 to 1478).
int CheckRecordLayout(long size, long recSize, long keyOffset, long keySize);

// Sorts the whole records within `data` (stable). 1476 when the key type is
// unknown or does not match the key size.
int SortRecords(std::span<std::uint8_t> data, long recSize, long keyOffset, long keySize, int flags);

// Finds the record whose key is `key` (NUL-padded to the key size) in an
// open-addressing table filling all of `data`, or claims the first empty
// record (key all NUL) on its probe path. Offset in *offset.
int HashRecord(std::span<std::uint8_t> data, long recSize, long keyOffset, long keySize, std::string_view key,
               long* offset);

// The tag structure of binarytaginit/find/extr/repl, kept as text by the
// script: the buffer handle, where the next search starts, the found block
// (begin of the start tag, end after the end tag; -1 none) and the tags.
struct TagState {
    std::int32_t handle = 0;
    long next = 0;
    long begin = -1;
    long end = -1;
    std::string open, close;
};
std::string FormatTag(const TagState& t);
bool ParseTag(std::string_view text, TagState* out);

// binaryconvert's types: 0 8-bit (ISO-8859-1), 1 OEM (taken as the same),
// 2 Unicode (UTF-16LE), 3 multibyte in code page 65001 (UTF-8) or 28591.
// Flags: 1 upper case, 2 lower case.
int ConvertBytes(std::string_view in, int from, int to, int codePage, int flags, std::string* out);

}  // namespace tarn::fn
