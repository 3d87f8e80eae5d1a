// The label table answers as a search of the text from the start would,
// and a jump costs the same however large the script.
#include "label_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>

#include "line_reader.h"
#include "test_context.h"

namespace tarn {
namespace {

TEST(LabelTable, AnswersAsTheSearchFromTheStart) {
    const char* names[] = {"a", "A", "ab", "loop", "LOOP", "x1", "", "a b", "cancel"};
    const char* ends[] = {"\n", "\r\n", "\r", "\x1a"};
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int line = 0, lines = 1 + static_cast<int>(rng() % 30); line < lines; ++line) {
            text += std::string(rng() % 3, rng() % 2 ? ' ' : '\t');
            switch (rng() % 6) {
                case 0: text += "x = 1"; break;
                case 1: text += std::string(300, ':'); break;  // too long to be read
                default:
                    text += ':';
                    text += names[rng() % std::size(names)];
                    text += rng() % 2 ? "" : rng() % 2 ? " ; note" : ";x";
            }
            text += ends[rng() % std::size(ends)];
        }
        if (rng() % 10 == 0) text.insert(rng() % text.size(), 1, '\0');
        LabelTable table(true);
        const auto length = static_cast<std::uint32_t>(text.size());
        for (const char* name : names)
            ASSERT_EQ(table.Find(text.data(), length, name), ScanForLabel(text.data(), length, name))
                << "label '" << name << "' in:\n"
                << text;
    }
}

TEST(LabelTable, FollowsATextChangedUnderIt) {
    std::string text = ":top\n:mid\nx = 1\n:mid\n";
    LabelTable table(true);
    const auto length = static_cast<std::uint32_t>(text.size());
    EXPECT_EQ(table.Find(text.data(), length, "mid"), 5);
    text[5] = ';';  // the first :mid becomes a comment
    EXPECT_EQ(table.Find(text.data(), length, "MID"), 16);
    EXPECT_EQ(table.Find(text.data(), length, "nowhere"), -1);
}

// The best of three runs, so that a busy machine does not decide.
double SecondsToRun(const std::string& script) {
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        test::Context c;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(c.Run(script), 1);
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        EXPECT_EQ(c.Var("n"), "100000");
    }
    return best;
}

TEST(LabelTable, JumpsCostTheSameInAHugeScript) {
    const std::string loop = "n = 0\n:top\nn = n + 1\nif n < 100000 then goto top\n";
    std::string small, huge;
    for (int i = 0; i < 50; ++i) small += "; filler line\n";
    for (int i = 0; i < 100000; ++i) huge += "; filler line\n";
    small += loop;
    huge += loop;
    for (int i = 0; i < 50; ++i) small += "; filler line\n";
    for (int i = 0; i < 100000; ++i) huge += "; filler line\n";
    const double small_s = SecondsToRun(small), huge_s = SecondsToRun(huge);
    EXPECT_LT(huge_s, 3 * small_s + 0.05)
        << "100-line script " << small_s << " s, 200,000-line script " << huge_s << " s";
}

}  // namespace
}  // namespace tarn
