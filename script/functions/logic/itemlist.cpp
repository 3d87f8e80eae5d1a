#include "functions/logic/itemlist.h"

#include "functions/logic/charset.h"
#include "functions/logic/textops.h"

#include <algorithm>

namespace tarn::fn {

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
    if (list.empty()) return false;
    auto starts = charStarts(list);
    std::size_t last = starts[starts.size() - 2];
    return list.substr(last) == delim;
}

long itemCount(std::string_view list, std::string_view delim) {
    return static_cast<long>(itemSplit(list, delim).size());
}

std::string itemExtract(long index, std::string_view list, std::string_view delim) {
    auto items = itemSplit(list, delim);
    if (index == -1) index = static_cast<long>(items.size());
    if (index < 1 || index > static_cast<long>(items.size())) return {};
    return items[index - 1];
}

std::string itemInsert(std::string_view item, long index, std::string_view list, std::string_view delim) {
    auto items = itemSplit(list, delim);
    bool trailing = endsWithDelimiter(list, delim);
    long n = static_cast<long>(items.size());
    long at = (index == -1 || index > n) ? n : std::max(0L, index - 1);
    items.insert(items.begin() + at, std::string(item));
    return itemJoin(items, delim, trailing);
}

std::string itemRemove(long index, std::string_view list, std::string_view delim) {
    auto items = itemSplit(list, delim);
    long n = static_cast<long>(items.size());
    if (index == -1) index = n;
    if (index < 1 || index > n) return std::string(list);
    bool trailing = endsWithDelimiter(list, delim);
    items.erase(items.begin() + (index - 1));
    return itemJoin(items, delim, trailing);
}

long itemLocate(std::string_view item, std::string_view list, std::string_view delim) {
    if (item.empty()) return 0;
    auto items = itemSplit(list, delim);
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == item) return static_cast<long>(i) + 1;
    return 0;
}

std::string itemSort(std::string_view list, std::string_view delim, bool ignoreCase) {
    auto items = itemSplit(list, delim);
    std::stable_sort(items.begin(), items.end(),
                     [&](const std::string& a, const std::string& b) { return strCompare(a, b, ignoreCase) < 0; });
    return itemJoin(items, delim, endsWithDelimiter(list, delim));
}

}  // namespace tarn::fn
