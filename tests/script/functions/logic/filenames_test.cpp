#include "functions/logic/filelist.h"
#include "functions/logic/filenames.h"
#include "temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tarn::fn {
namespace {

using test::TempDir;
using test::writeFile;

TEST(FileNames, PartsAndSeparators) {
    EXPECT_EQ(slashes("a\\b/c"), "a/b/c");
    EXPECT_EQ(dirPart("x\\y\\z.txt"), "x/y/");
    EXPECT_EQ(namePart("x\\y\\z.txt"), "z.txt");
    EXPECT_EQ(dirPart("z.txt"), "");
    EXPECT_EQ(rootPart("a.tar.gz"), "a.tar");
    EXPECT_EQ(extPart("a.tar.gz"), "gz");
    EXPECT_EQ(extPart("README"), "");
    EXPECT_EQ(fullPath("/a/./b//c/../d"), "/a/b/d");
    EXPECT_EQ(fullPath("/.."), "/");
    EXPECT_EQ(fullPath("\\tmp\\x\\"), "/tmp/x/");
}

TEST(FileNames, Masks) {
    EXPECT_TRUE(maskMatch("a.txt", "*.txt"));
    EXPECT_FALSE(maskMatch("a.TXT", "*.txt"));
    EXPECT_TRUE(maskMatch("README", "*.*"));
    EXPECT_TRUE(maskMatch("abc.doc", "a?c.*"));
    EXPECT_TRUE(maskMatch("abc", "a?c.*"));
    EXPECT_FALSE(maskMatch("ac.doc", "a?c.*"));
    EXPECT_FALSE(maskMatch(".profile", "*"));
    EXPECT_TRUE(maskMatch(".profile", "*", true));
    EXPECT_TRUE(maskMatch(".profile", ".p*"));
}

TEST(FileNames, DestinationPatterns) {
    EXPECT_EQ(mapName("xyz.doc", "a?c.*"), "ayc.doc");
    EXPECT_EQ(mapName("report.txt", "*.bak"), "report.bak");
    EXPECT_EQ(mapName("README", "*.bak"), "README.bak");
    EXPECT_EQ(mapName("README", "*.*"), "README");  // no extension to carry
    EXPECT_EQ(mapName("a.txt", "*"), "a.txt");
    EXPECT_EQ(mapName("a.txt", "new.txt"), "new.txt");
    EXPECT_EQ(mapName("abcdef.txt", "??.*"), "ab.txt");
    EXPECT_EQ(mapName("ab.txt", "????x.*"), "abx.txt");
    EXPECT_EQ(mapName("a.txt", "?.?"), "a.t");
    EXPECT_EQ(mapName("", "?.?"), "");

    TempDir tmp;
    ::mkdir((tmp / "out").c_str(), 0755);
    std::string src = tmp / "f.txt";
    EXPECT_EQ(destinationPath(src, "out"), tmp / "out/f.txt");
    EXPECT_EQ(destinationPath(src, "out\\"), tmp / "out/f.txt");
    EXPECT_EQ(destinationPath(src, "out/*.bak"), tmp / "out/f.bak");
    EXPECT_EQ(destinationPath(src, "g.txt"), tmp / "g.txt");
    EXPECT_EQ(destinationPath(src, "/abs/dir/"), "/abs/dir/f.txt");
    EXPECT_FALSE(destinationPath("/x/", "?.?").has_value());
}

TEST(FileNames, MaskListsAndPorts) {
    EXPECT_EQ(splitMasks("|a.txt||b.txt\tc;d", ";"), (std::vector<std::string>{"a.txt", "b.txt", "c", "d"}));
    EXPECT_EQ(portDevice("com1"), "/dev/ttyS0");
    EXPECT_EQ(portDevice("LPT2"), "/dev/lp1");
    EXPECT_FALSE(portDevice("COM0").has_value());
    EXPECT_FALSE(portDevice("COM10").has_value());
    EXPECT_FALSE(portDevice("CON1").has_value());
}

TEST(Itemize, FilesDirectoriesHiddenAndLimit) {
    TempDir tmp;
    writeFile("b.txt", "1");
    writeFile("a.txt", "1");
    writeFile("c.doc", "1");
    writeFile(".h.txt", "1");
    ::mkdir("sub", 0755);
    ::mkdir(".hid", 0755);
    writeFile("sub/x.txt", "1");
    EXPECT_EQ(itemizeNames("*.txt", "\t", false, false).list, "a.txt\tb.txt");
    EXPECT_EQ(itemizeNames("*.txt", "\t", false, true).list, ".h.txt\ta.txt\tb.txt");
    EXPECT_EQ(itemizeNames("*.doc|*.txt", ",", false, false).list, "c.doc,a.txt,b.txt");
    EXPECT_EQ(itemizeNames("sub\\*.*", "\t", false, false).list, "x.txt");
    EXPECT_EQ(itemizeNames("c.doc\tnone.doc", "\t", false, false).list, "c.doc");
    EXPECT_EQ(itemizeNames("*", "\t", true, false).list, "sub");
    EXPECT_EQ(itemizeNames("*", "\t", true, true).list, ".hid\tsub");
    EXPECT_EQ(itemizeNames("*.zip", "\t", false, false).list, "");

    // The limit: names that do not fit are left out and 1398 reported.
    auto cut = itemizeNames("*.txt", "\t", false, false, 11);
    EXPECT_EQ(cut.error, 1398);
    EXPECT_EQ(cut.list, "a.txt");
    EXPECT_EQ(itemizeNames("*.txt", "\t", false, false, 12).error, 0);
}

TEST(Itemize, ThirtyTwoThousandBytes) {
    TempDir tmp;
    std::string pad(95, 'n');
    for (int i = 0; i < 400; ++i) writeFile(pad + std::to_string(1000 + i), "");
    auto r = itemizeNames("*", "\t", false, false);
    EXPECT_EQ(r.error, 1398);
    EXPECT_LE(r.list.size(), kListLimit);
    EXPECT_GT(r.list.size(), kListLimit - 100);
}

TEST(Walk, OrderNoMatchAndLongMasks) {
    TempDir tmp;
    writeFile("a.txt", "");
    writeFile("b.txt", "");
    std::vector<std::string> seen;
    auto record = [&](const std::string& p) {
        seen.push_back(namePart(p));
        return 0;
    };
    EXPECT_EQ(walkFiles("b.txt|a.txt", "\t", false, record), 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"b.txt", "a.txt"}));
    seen.clear();
    EXPECT_EQ(walkFiles("*.txt", "\t", false, record), 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(walkFiles("*.zip", "\t", false, record), 1002);
    EXPECT_EQ(walkFiles("*.zip|missing.txt", "\t", true, record), 0);
    std::string mask279(275, 'x'), mask280(276, 'x');
    EXPECT_EQ(walkFiles(mask279 + ".txt", "\t", true, record), 0);
    EXPECT_EQ(walkFiles(mask280 + ".txt", "\t", true, record), 3054);
    // The walk stops at the first failing file.
    seen.clear();
    EXPECT_EQ(walkFiles("*.txt", "\t", false,
                        [&](const std::string& p) {
                            seen.push_back(namePart(p));
                            return 1008;
                        }),
              1008);
    EXPECT_EQ(seen.size(), 1u);
}

}  // namespace
}  // namespace tarn::fn
