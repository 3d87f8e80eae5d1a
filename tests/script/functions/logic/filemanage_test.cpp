#include "functions/logic/filemanage.h"
#include "temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <vector>

namespace tarn::fn {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

void setMtime(const std::string& p, time_t t) {
    utimbuf u{t, t};
    ASSERT_EQ(utime(p.c_str(), &u), 0);
}

bool exists(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0;
}

// A question that answers from a list and records what it was asked.
struct ScriptedAsker {
    std::vector<int> answers;
    std::vector<ReplaceQuestion> asked;
    ReplaceAsker fn() {
        return [this](const ReplaceQuestion& q) {
            asked.push_back(q);
            if (answers.empty()) return int(kCancelled);
            int a = answers.front();
            answers.erase(answers.begin());
            return a;
        };
    }
};

TEST(FileCopy, PatternsAndDirectories) {
    TempDir tmp;
    writeFile("a.txt", "A");
    writeFile("b.txt", "BB");
    ::mkdir("out", 0755);
    FileManager copy(FileOp::Copy);
    copy.mode = kOverwriteAll;
    EXPECT_EQ(copy.run("*.txt", "*.bak"), 0);
    EXPECT_EQ(readFile("a.bak"), "A");
    EXPECT_EQ(readFile("b.bak"), "BB");
    EXPECT_EQ(copy.run("a.txt|b.txt", "out"), 0);
    EXPECT_EQ(readFile("out/a.txt"), "A");
    EXPECT_EQ(readFile("out/b.txt"), "BB");
    EXPECT_EQ(copy.run("*.zip", "out"), 1002);
    EXPECT_EQ(copy.run("missing.txt", "out"), 1009);
    EXPECT_EQ(copy.run("a.txt", "a.txt"), 2118);
    EXPECT_EQ(readFile("a.txt"), "A");
    // The copy keeps the source's last-write time.
    setMtime("a.txt", 1000000000);
    EXPECT_EQ(copy.run("a.txt", "t.txt"), 0);
    struct stat st;
    stat("t.txt", &st);
    EXPECT_EQ(st.st_mtime, 1000000000);
}

TEST(FileCopy, OverwriteQuestion) {
    TempDir tmp;
    writeFile("a.txt", "new a");
    writeFile("b.txt", "new b");
    ::mkdir("out", 0755);
    writeFile("out/a.txt", "old a");
    writeFile("out/b.txt", "old b");

    // Warning off: overwritten without a question.
    {
        FileManager copy(FileOp::Copy);
        copy.mode = kOverwriteAll;
        EXPECT_EQ(copy.run("a.txt", "out"), 0);
        EXPECT_EQ(readFile("out/a.txt"), "new a");
    }
    writeFile("out/a.txt", "old a");
    // "Overwrite All" answers for the rest of the call.
    {
        ScriptedAsker asker{{kOverwriteAll}, {}};
        FileManager copy(FileOp::Copy);
        copy.ask = asker.fn();
        EXPECT_EQ(copy.run("*.txt", "out"), 0);
        ASSERT_EQ(asker.asked.size(), 1u);
        EXPECT_EQ(asker.asked[0].dest, tmp / "out/a.txt");
        EXPECT_EQ(asker.asked[0].source, tmp / "a.txt");
        EXPECT_NE(asker.asked[0].destInfo.find("5 bytes"), std::string::npos);
        EXPECT_EQ(readFile("out/a.txt"), "new a");
        EXPECT_EQ(readFile("out/b.txt"), "new b");
    }
    // "Use Newer" with a newer destination skips that file; "Skip" skips.
    writeFile("out/a.txt", "old a");
    writeFile("out/b.txt", "old b");
    setMtime("a.txt", 1000), setMtime("out/a.txt", 2000);
    setMtime("b.txt", 3000), setMtime("out/b.txt", 2000);
    {
        ScriptedAsker asker{{kAnswerNewer, kAnswerNewer}, {}};
        FileManager copy(FileOp::Copy);
        copy.ask = asker.fn();
        EXPECT_EQ(copy.run("*.txt", "out"), 0);
        EXPECT_EQ(readFile("out/a.txt"), "old a");
        EXPECT_EQ(readFile("out/b.txt"), "new b");
    }
    writeFile("out/b.txt", "old b");
    setMtime("out/b.txt", 2000);
    {
        ScriptedAsker asker{{kOlderAll}, {}};
        FileManager copy(FileOp::Copy);
        copy.ask = asker.fn();
        EXPECT_EQ(copy.run("*.txt", "out"), 0);
        EXPECT_EQ(asker.asked.size(), 1u);
        EXPECT_EQ(readFile("out/a.txt"), "new a");  // destination newer: older source wins
        EXPECT_EQ(readFile("out/b.txt"), "old b");
    }
    // Cancel stops the call with 9999; no asker at all counts as cancel.
    {
        ScriptedAsker asker{{kCancelled}, {}};
        FileManager copy(FileOp::Copy);
        copy.ask = asker.fn();
        EXPECT_EQ(copy.run("*.txt", "out"), 9999);
        FileManager silent(FileOp::Copy);
        EXPECT_EQ(silent.run("a.txt", "out"), 9999);
    }
}

TEST(FileCopy, FreeSpaceCheckedBeforeSkip) {
    TempDir tmp;
    writeFile("big.txt", std::string(1000, 'x'));
    writeFile("small.txt", std::string(100, 'y'));
    FileManager copy(FileOp::Copy);
    copy.mode = kOverwriteAll;
    copy.freeSpace = [](const std::string&) { return 500LL; };
    EXPECT_EQ(copy.run("big.txt", "new.txt"), 1404);
    EXPECT_FALSE(exists("new.txt"));
    EXPECT_EQ(copy.run("small.txt", "new.txt"), 0);
    // Destination 100 bytes: 900 more are needed.
    EXPECT_EQ(copy.run("big.txt", "new.txt"), 1404);
    copy.freeSpace = [](const std::string&) { return 900LL; };
    EXPECT_EQ(copy.run("big.txt", "new.txt"), 0);
    // No check when the destination is at least as large.
    copy.freeSpace = [](const std::string&) { return 0LL; };
    EXPECT_EQ(copy.run("small.txt", "new.txt"), 0);
    // A file the question skips still fails the check.
    writeFile("dest.txt", "");
    ScriptedAsker asker{{kAnswerSkip}, {}};
    FileManager ask(FileOp::Copy);
    ask.ask = asker.fn();
    ask.freeSpace = [](const std::string&) { return 10LL; };
    EXPECT_EQ(ask.run("big.txt", "dest.txt"), 1404);
    FileManager move(FileOp::Move), app(FileOp::Append);
    move.mode = kOverwriteAll;
    move.freeSpace = app.freeSpace = [](const std::string&) { return 10LL; };
    EXPECT_EQ(move.run("big.txt", "m.txt"), 1405);
    EXPECT_EQ(app.run("big.txt", "small.txt"), 1406);
}

TEST(FileCopy, Ports) {
    TempDir tmp;
    writeFile("data.txt", "to the port");
    writeFile("empty.txt", "");
    FileManager copy(FileOp::Copy);
    copy.mode = kOverwriteAll;
    EXPECT_EQ(copy.run("data.txt", "/dev/null"), 0);
    EXPECT_EQ(copy.run("empty.txt", "/dev/null"), 1008);
    EXPECT_EQ(copyToPort("missing.txt", "/dev/null"), 1507);
    EXPECT_EQ(copyToPort("data.txt", tmp / "no-such-device"), 1508);
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    EXPECT_EQ(copy.run("data.txt", "fifo"), 1508);  // no reader: refused, not waited for
}

TEST(FileMove, AppendRenameDelete) {
    TempDir tmp;
    writeFile("a.txt", "A");
    writeFile("b.txt", "B");
    writeFile("c.log", "C");
    FileManager move(FileOp::Move);
    move.mode = kOverwriteAll;
    EXPECT_EQ(move.run("a.txt", "moved.txt"), 0);
    EXPECT_FALSE(exists("a.txt"));
    EXPECT_EQ(readFile("moved.txt"), "A");
    EXPECT_EQ(move.run("a.txt", "x.txt"), 1004);

    FileManager app(FileOp::Append);
    EXPECT_EQ(app.run("b.txt|c.log", "all.txt"), 0);
    EXPECT_EQ(readFile("all.txt"), "BC");
    EXPECT_EQ(app.run("all.txt", "all.txt"), 0);  // a file onto itself doubles
    EXPECT_EQ(readFile("all.txt"), "BCBC");
    EXPECT_EQ(app.run("nope.txt", "all.txt"), 1012);

    FileManager ren(FileOp::Rename);
    EXPECT_EQ(ren.run("*.txt", "*.old"), 0);
    EXPECT_TRUE(exists("b.old"));
    EXPECT_TRUE(exists("moved.old"));
    writeFile("z.txt", "Z");
    EXPECT_EQ(ren.run("z.txt", "b.old"), 1015);  // never replaces a file
    EXPECT_EQ(readFile("b.old"), "B");

    FileManager del(FileOp::Delete);
    EXPECT_EQ(del.run("*.old|missing.txt|*.zip", ""), 0);
    EXPECT_FALSE(exists("b.old"));
    EXPECT_TRUE(exists("c.log"));
}

}  // namespace
}  // namespace tarn::fn
