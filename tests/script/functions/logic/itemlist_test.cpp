#include "functions/logic/itemlist.h"

#include <gtest/gtest.h>

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
