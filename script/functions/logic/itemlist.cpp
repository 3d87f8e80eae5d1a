#include "functions/logic/itemlist.h"

#include "functions/logic/charset.h"
#include "functions/logic/textops.h"

#include <algorithm>
#include <cstring>

namespace tarn::fn {

// The item functions work on the list text in place: they walk from
// delimiter to delimiter and stop as soon as the answer is known, so no
// function builds the list's items except the sort. In the single-byte code
// page with a one-byte delimiter (the usual case) the walk skips whole blocks
// by counting delimiter bytes; otherwise it steps character by character so
// that the trail byte of a double-byte character never counts as a delimiter.
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool byteWise(std::string_view delim) { return delim.size() == 1 && !hasLeadBytes(); }

// Offset of the first delimiter at or after `from` (a character start), npos
// when there is none.
std::size_t findDelim(std::string_view list, std::size_t from, std::string_view delim) {
    if (byteWise(delim)) {
        if (from >= list.size()) return npos;
        const void* hit = std::memchr(list.data() + from, delim[0], list.size() - from);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - list.data()) : npos;
    }
    for (std::size_t i = from; i < list.size();) {
        const std::size_t n = charLen(list, i);
        if (list.substr(i, n) == delim) return i;
        i += n;
    }
    return npos;
}

// Offset just past the `skip`-th delimiter at or after `from`; npos when the
// list has fewer.
std::size_t skipDelims(std::string_view list, std::size_t from, long skip, std::string_view delim) {
    if (byteWise(delim)) {
        constexpr std::size_t kBlock = 64;
        const char d = delim[0];
        const char* p = list.data();
        while (skip > 0) {
            if (list.size() - from >= kBlock) {
                unsigned hits = 0;
                for (std::size_t k = 0; k < kBlock; ++k) hits += p[from + k] == d;
                if (hits < static_cast<unsigned long>(skip)) {
                    skip -= static_cast<long>(hits);
                    from += kBlock;
                    continue;
                }
            }
            const std::size_t at = findDelim(list, from, delim);
            if (at == npos) return npos;
            from = at + 1;
            --skip;
        }
        return from;
    }
    for (; skip > 0; --skip) {
        const std::size_t at = findDelim(list, from, delim);
        if (at == npos) return npos;
        from = at + delim.size();
    }
    return from;
}

// Counts delimiters; `last` tells whether the list's last character is one.
std::size_t countDelims(std::string_view list, std::string_view delim, bool* last) {
    if (byteWise(delim)) {
        *last = !list.empty() && list.back() == delim[0];
        return static_cast<std::size_t>(std::count(list.begin(), list.end(), delim[0]));
    }
    std::size_t count = 0;
    *last = false;
    for (std::size_t i = 0; i < list.size();) {
        const std::size_t n = charLen(list, i);
        *last = list.substr(i, n) == delim;
        if (*last) ++count;
        i += n;
    }
    return count;
}

// Bounds of item `index` (1-based, within the count), the end excluding its
// delimiter.
struct Span {
    std::size_t begin, end;
};

Span itemSpan(std::string_view list, long index, std::string_view delim) {
    const std::size_t begin = skipDelims(list, 0, index - 1, delim);
    const std::size_t end = findDelim(list, begin, delim);
    return {begin, end == npos ? list.size() : end};
}

}  // namespace

std::string itemDelimiter(std::string_view arg) {
    if (arg.empty()) return "\t";
    return std::string(arg.substr(0, charLen(arg, 0)));
}

std::vector<std::string> itemSplit(std::string_view list, std::string_view delim) {
    std::vector<std::string> items;
    if (list.empty()) return items;
    std::size_t itemStart = 0;
    for (std::size_t i = 0; i < list.size();) {
        std::size_t n = charLen(list, i);
        if (list.substr(i, n) == delim) {
            items.emplace_back(list.substr(itemStart, i - itemStart));
            itemStart = i + n;
        }
        i += n;
    }
    if (itemStart < list.size()) items.emplace_back(list.substr(itemStart));
    return items;
}

std::string itemJoin(const std::vector<std::string>& items, std::string_view delim, bool trailingDelim) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out.append(delim);
        out.append(items[i]);
    }
    if (trailingDelim && !items.empty()) out.append(delim);
    return out;
}

bool endsWithDelimiter(std::string_view list, std::string_view delim) {
    if (byteWise(delim)) return !list.empty() && list.back() == delim[0];
    bool last;
    countDelims(list, delim, &last);
    return last;
}

long itemCount(std::string_view list, std::string_view delim) {
    if (list.empty()) return 0;
    bool last;
    const std::size_t delims = countDelims(list, delim, &last);
    return static_cast<long>(delims + (last ? 0 : 1));
}

std::string itemExtract(long index, std::string_view list, std::string_view delim) {
    if (index == -1) {
        if (!byteWise(delim)) return itemExtract(itemCount(list, delim), list, delim);
        // The last item runs back from the end (a final delimiter excluded)
        // to the delimiter before it.
        if (list.empty()) return {};
        std::string_view body = list.substr(0, list.size() - (list.back() == delim[0] ? 1 : 0));
        const std::size_t before = body.rfind(delim[0]);
        return std::string(before == npos ? body : body.substr(before + 1));
    }
    if (index < 1) return {};
    const std::size_t begin = skipDelims(list, 0, index - 1, delim);
    if (begin == npos || begin >= list.size()) return {};
    const std::size_t end = findDelim(list, begin, delim);
    return std::string(list.substr(begin, end == npos ? npos : end - begin));
}

std::string itemExtractFrom(long index, std::string_view list, std::string_view delim, ItemPlace& place) {
    if (index < 1 || !byteWise(delim)) return itemExtract(index, list, delim);
    const bool ahead = place.index >= 1 && place.index <= index && place.begin <= list.size();
    const std::size_t begin = skipDelims(list, ahead ? place.begin : 0, index - (ahead ? place.index : 1), delim);
    if (begin == npos || begin >= list.size()) return {};
    place = {index, begin};
    const std::size_t end = findDelim(list, begin, delim);
    return std::string(list.substr(begin, end == npos ? npos : end - begin));
}

std::string itemInsert(std::string_view item, long index, std::string_view list, std::string_view delim) {
    bool last;
    const std::size_t delims = countDelims(list, delim, &last);
    const long n = list.empty() ? 0 : static_cast<long>(delims + (last ? 0 : 1));
    const long at = (index == -1 || index > n) ? n : std::max(0L, index - 1);
    std::string out;
    out.reserve(list.size() + item.size() + delim.size());
    if (at < n) {
        const std::size_t begin = skipDelims(list, 0, at, delim);
        out.append(list.substr(0, begin)).append(item).append(delim).append(list.substr(begin));
    } else if (n == 0) {
        out.append(item);
    } else if (last) {
        out.append(list).append(item).append(delim);
    } else {
        out.append(list).append(delim).append(item);
    }
    return out;
}

std::string itemRemove(long index, std::string_view list, std::string_view delim) {
    const long n = itemCount(list, delim);
    if (index == -1) index = n;
    if (index < 1 || index > n) return std::string(list);
    if (n == 1) return {};
    const Span s = itemSpan(list, index, delim);
    // An item before the last goes with the delimiter after it, the last one
    // with the delimiter before it, so a final delimiter stays.
    const std::size_t from = index < n ? s.begin : s.begin - delim.size();
    const std::size_t to = index < n ? s.end + delim.size() : s.end;
    std::string out(list.substr(0, from));
    out.append(list.substr(to));
    return out;
}

long itemLocate(std::string_view item, std::string_view list, std::string_view delim) {
    if (item.empty()) return 0;
    long pos = 1;
    for (std::size_t begin = 0; begin < list.size(); ++pos) {
        const std::size_t end = findDelim(list, begin, delim);
        if (list.substr(begin, end == npos ? npos : end - begin) == item) return pos;
        if (end == npos) break;
        begin = end + delim.size();
    }
    return 0;
}

std::string itemSort(std::string_view list, std::string_view delim, bool ignoreCase) {
    std::vector<std::string_view> items;
    for (std::size_t begin = 0; begin < list.size();) {
        const std::size_t end = findDelim(list, begin, delim);
        items.push_back(list.substr(begin, end == npos ? npos : end - begin));
        if (end == npos) break;
        begin = end + delim.size();
    }
    std::stable_sort(items.begin(), items.end(),
                     [&](std::string_view a, std::string_view b) { return strCompare(a, b, ignoreCase) < 0; });
    std::string out;
    out.reserve(list.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out.append(delim);
        out.append(items[i]);
    }
    if (!items.empty() && endsWithDelimiter(list, delim)) out.append(delim);
    return out;
}

}  // namespace tarn::fn
