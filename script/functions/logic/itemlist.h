// Item lists: strings whose items are separated by a one-character delimiter
// (one double-byte character allowed). Shared by every function that returns
// or takes a list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarn::fn {

// The delimiter named by a delimiter argument: its first character, tab when
// the argument is empty.
std::string itemDelimiter(std::string_view arg);

// Splits a list; a final delimiter ends the last item and does not start a
// new one. The empty list has no items.
std::vector<std::string> itemSplit(std::string_view list, std::string_view delim);

// Joins items; trailingDelim re-adds a final delimiter.
std::string itemJoin(const std::vector<std::string>& items, std::string_view delim, bool trailingDelim = false);

bool endsWithDelimiter(std::string_view list, std::string_view delim);

long itemCount(std::string_view list, std::string_view delim);

// Item number `index` (1-based; -1 the last); empty past the end.
std::string itemExtract(long index, std::string_view list, std::string_view delim);

// A place known in one list: item `index` begins at byte `begin`.
struct ItemPlace {
    long index = 0;  // 0: nothing known
    std::size_t begin = 0;
};
// itemExtract, walking from `place` when it lies at or before the item (a
// loop over the items then reads the list once) and moving `place` to the
// item found. `place` must come from this same list and delimiter.
std::string itemExtractFrom(long index, std::string_view list, std::string_view delim, ItemPlace& place);

// Inserts before item `index` (0 or 1: first; -1 or past the end: appended).
std::string itemInsert(std::string_view item, long index, std::string_view list, std::string_view delim);

// Removes item `index` (-1: the last); unchanged when there is no such item.
std::string itemRemove(long index, std::string_view list, std::string_view delim);

// Position of the first item equal (byte-exact) to `item`; 0 when none or when
// `item` is empty.
long itemLocate(std::string_view item, std::string_view list, std::string_view delim);

// Ascending, stable, by the string comparison of strcmp / stricmp.
std::string itemSort(std::string_view list, std::string_view delim, bool ignoreCase);

}  // namespace tarn::fn
