#include "functions/logic/desktop_entry.h"

#include <gtest/gtest.h>

namespace tarn::desktop {
namespace {

TEST(DesktopEntry, ExecWordsSurviveQuotingWhateverTheyHold) {
    const std::vector<std::vector<std::string>> cases = {
        {"/usr/bin/prog", "plain", "two words", "", "100%", "$HOME", "back\\slash", "quote\"d", "`tick`", "a'b"},
        {"/opt/my app/run", "%f"},
    };
    for (const auto& words : cases) {
        const std::string line = ExecLine(words);
        // Through the file's string escapes and back, as a desktop reads it.
        const auto back = ExecWords(UnescapeValue(EscapeValue(line)));
        ASSERT_TRUE(back.has_value()) << line;
        EXPECT_EQ(*back, words) << line;
    }
    EXPECT_EQ(ExecLine({"a b", "50%"}), "\"a b\" 50%%");
}

TEST(DesktopEntry, FieldCodesDropAndBrokenQuotesAreRefused) {
    EXPECT_EQ(ExecWords("gedit %U --new"), (std::vector<std::string>{"gedit", "--new"}));
    EXPECT_EQ(ExecWords("prog \"a\\\"b\""), (std::vector<std::string>{"prog", "a\"b"}));
    EXPECT_FALSE(ExecWords("prog \"open").has_value());
}

TEST(DesktopEntry, EditsKeepOtherGroupsCommentsAndLocalizedKeys) {
    Entry e;
    EXPECT_FALSE(e.Parse("[Other]\nA=1\n"));
    ASSERT_TRUE(e.Parse("# c\n[Desktop Entry]\nName=A\nName[te]=B\n\n[Desktop Action x]\nName=X\n"));
    e.Set("Comment", " lead\ttab");
    e.Set("Name[te]", "");
    EXPECT_EQ(e.Get("Comment"), " lead\ttab");
    EXPECT_EQ(e.Get("Name"), "A");
    EXPECT_FALSE(e.Get("Name[te]").has_value());
    EXPECT_EQ(e.Text(), "# c\n[Desktop Entry]\nName=A\nComment=\\slead\\ttab\n\n[Desktop Action x]\nName=X\n");
}

TEST(DesktopEntry, FileUrlsRoundTrip) {
    EXPECT_EQ(FileUrl("/a b/ü#.txt"), "file:///a%20b/%C3%BC%23.txt");
    EXPECT_EQ(PathOfUrl(FileUrl("/a b/ü#%.txt")), "/a b/ü#%.txt");
    EXPECT_EQ(PathOfUrl("https://x.org/a%20b"), "https://x.org/a%20b");
}

}  // namespace
}  // namespace tarn::desktop
