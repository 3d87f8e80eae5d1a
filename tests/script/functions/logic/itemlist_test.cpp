#include "functions/logic/itemlist.h"

#include "functions/logic/charset.h"
#include "functions/logic/textops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace tarn::fn {
namespace {

TEST(ItemCount, Boundaries) {
    EXPECT_EQ(itemCount("a,b,", ","), 2);
    EXPECT_EQ(itemCount("", ","), 0);
    EXPECT_EQ(itemCount(",", ","), 1);
    EXPECT_EQ(itemCount(",,", ","), 2);
    EXPECT_EQ(itemCount("a", ","), 1);
    EXPECT_EQ(itemCount("a\tb", itemDelimiter("")), 2);
    EXPECT_EQ(itemDelimiter(";x"), ";");
}

TEST(ItemExtract, IndexRules) {
    EXPECT_EQ(itemExtract(-1, "a,b,c", ","), "c");
    EXPECT_EQ(itemExtract(4, "a,b,c", ","), "");
    EXPECT_EQ(itemExtract(0, "a,b,c", ","), "");
    EXPECT_EQ(itemExtract(2, "a,,c", ","), "");
    EXPECT_EQ(itemExtract(3, "a,,c", ","), "c");
    EXPECT_EQ(itemExtract(-1, "a,b,", ","), "b");
}

TEST(ItemEdit, InsertRemoveLocateSort) {
    EXPECT_EQ(itemInsert("x", 1, "a,b", ","), "x,a,b");
    EXPECT_EQ(itemInsert("x", 2, "a,b", ","), "a,x,b");
    EXPECT_EQ(itemInsert("x", -1, "a,b", ","), "a,b,x");
    EXPECT_EQ(itemInsert("x", 9, "a,b", ","), "a,b,x");
    EXPECT_EQ(itemInsert("x", -1, "", ","), "x");
    EXPECT_EQ(itemInsert("x", -1, "a,b,", ","), "a,b,x,");
    EXPECT_EQ(itemRemove(1, "a,b,c", ","), "b,c");
    EXPECT_EQ(itemRemove(-1, "a,b,c", ","), "a,b");
    EXPECT_EQ(itemRemove(5, "a,b,c", ","), "a,b,c");
    EXPECT_EQ(itemRemove(1, "a", ","), "");
    EXPECT_EQ(itemLocate("b", "a,b,b", ","), 2);
    EXPECT_EQ(itemLocate("B", "a,b", ","), 0);
    EXPECT_EQ(itemLocate("", "a,,b", ","), 0);
    EXPECT_EQ(itemLocate("a", "ab,a", ","), 2);
    EXPECT_EQ(itemSort("pear,Apple,apple,fig", ",", false), "apple,Apple,fig,pear");
    EXPECT_EQ(itemSort("b,A,a", ",", true), "A,a,b");  // stable for equal items
    EXPECT_EQ(itemSort("", ",", false), "");
}

}  // namespace
}  // namespace tarn::fn

namespace tarn::fn {
namespace {

// The item functions as they were first written: every one splits the whole
// list. The scanning versions must give the same answer for every input.
struct SplitModel {
    std::string_view delim;
    bool ends(std::string_view list) const {
        if (list.empty()) return false;
        auto starts = charStarts(list);
        return list.substr(starts[starts.size() - 2]) == delim;
    }
    long count(std::string_view list) const { return static_cast<long>(itemSplit(list, delim).size()); }
    std::string extract(long index, std::string_view list) const {
        auto items = itemSplit(list, delim);
        if (index == -1) index = static_cast<long>(items.size());
        if (index < 1 || index > static_cast<long>(items.size())) return {};
        return items[static_cast<std::size_t>(index - 1)];
    }
    std::string insert(std::string_view item, long index, std::string_view list) const {
        auto items = itemSplit(list, delim);
        const long n = static_cast<long>(items.size());
        const long at = (index == -1 || index > n) ? n : std::max(0L, index - 1);
        items.insert(items.begin() + at, std::string(item));
        return itemJoin(items, delim, ends(list));
    }
    std::string remove(long index, std::string_view list) const {
        auto items = itemSplit(list, delim);
        const long n = static_cast<long>(items.size());
        if (index == -1) index = n;
        if (index < 1 || index > n) return std::string(list);
        items.erase(items.begin() + (index - 1));
        return itemJoin(items, delim, ends(list));
    }
    long locate(std::string_view item, std::string_view list) const {
        if (item.empty()) return 0;
        auto items = itemSplit(list, delim);
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == item) return static_cast<long>(i) + 1;
        return 0;
    }
};

// Random lists over a small alphabet that mixes delimiters, empty items,
// lead bytes and their trail bytes; long enough to cross the 64-byte blocks
// the single-byte scan skips.
void compareWithSplit(const std::vector<std::string>& delims, unsigned seed) {
    std::mt19937 rng(seed);
    const std::string alphabet = std::string("ab,;") + "\x81" + "\x82";
    for (int round = 0; round < 3000; ++round) {
        std::string list;
        const int len = round % 10 == 0 ? static_cast<int>(rng() % 300) : static_cast<int>(rng() % 12);
        for (int i = 0; i < len; ++i) list += alphabet[rng() % alphabet.size()];
        for (const std::string& d : delims) {
            const SplitModel old{d};
            SCOPED_TRACE(testing::Message() << "list \"" << list << "\" delim \"" << d << "\"");
            const long n = old.count(list);
            ASSERT_EQ(itemCount(list, d), n);
            ASSERT_EQ(endsWithDelimiter(list, d), old.ends(list));
            ItemPlace place;  // carried through the indexes in turn and in random order
            for (long index = -2; index <= n + 2; ++index) {
                ASSERT_EQ(itemExtract(index, list, d), old.extract(index, list)) << index;
                ASSERT_EQ(itemExtractFrom(index, list, d, place), old.extract(index, list)) << index;
                const long any = static_cast<long>(rng() % static_cast<unsigned>(n + 3)) - 1;
                ASSERT_EQ(itemExtractFrom(any, list, d, place), old.extract(any, list)) << any;
                ASSERT_EQ(itemRemove(index, list, d), old.remove(index, list)) << index;
                ASSERT_EQ(itemInsert("x", index, list, d), old.insert("x", index, list)) << index;
            }
            for (const char* item : {"", "a", "ab", "\x81,", "b"})
                ASSERT_EQ(itemLocate(item, list, d), old.locate(item, list)) << item;
            auto items = itemSplit(list, d);
            std::stable_sort(items.begin(), items.end(),
                             [](const std::string& a, const std::string& b) { return strCompare(a, b, true) < 0; });
            ASSERT_EQ(itemSort(list, d, true), itemJoin(items, d, old.ends(list)));
        }
    }
}

TEST(ItemScan, AgreesWithSplittingInTheSingleByteCodePage) { compareWithSplit({",", ";", "", "ab"}, 1); }

TEST(ItemScan, AgreesWithSplittingAroundDoubleByteCharacters) {
    setLeadByteRanges({{0x81, 0x81}});
    compareWithSplit({",", "\x81,", "\x81", "b"}, 2);
    setLeadByteRanges({});
}

}  // namespace
}  // namespace tarn::fn
