#include "functions/logic/linefile.h"
#include "temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>

namespace tarn::fn {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

struct Slots {
    std::intptr_t files[kSlotCount] = {};
    std::uint8_t modes[kSlotCount] = {};
    FileSlots view() { return {files, modes}; }
    ~Slots() { lineCloseAll(view()); }
};

std::vector<std::string> readAll(Slots& s, int h, int* lastError = nullptr) {
    std::vector<std::string> lines;
    for (int i = 0; i < 10; ++i) {
        std::string line;
        int rc = lineRead(s.view(), h, line);
        if (rc) {
            if (lastError) *lastError = rc;
            break;
        }
        lines.push_back(line);
    }
    return lines;
}

TEST(LineFile, ReadWithAndWithoutFinalBreak) {
    TempDir tmp;
    writeFile("two.txt", "one\r\ntwo");
    writeFile("final.txt", "one\ntwo\n");
    writeFile("empty.txt", "");
    writeFile("ctrlz.txt",
              "a\nb\x1a"
              "c\n");
    Slots s;
    int h, err = 0;
    ASSERT_EQ(lineOpen(s.view(), "two.txt", "read", 1, 0, h), 0);
    EXPECT_EQ(readAll(s, h, &err), (std::vector<std::string>{"one", "two", "*EOF*"}));
    EXPECT_EQ(err, 3088);
    ASSERT_EQ(lineOpen(s.view(), "final.txt", "READ", 1, 0, h), 0);
    EXPECT_EQ(readAll(s, h, &err), (std::vector<std::string>{"one", "two", "*EOF*"}));
    ASSERT_EQ(lineOpen(s.view(), "empty.txt", "Read", 1, 0, h), 0);
    EXPECT_EQ(readAll(s, h, &err), (std::vector<std::string>{"*EOF*"}));
    EXPECT_EQ(err, 3088);
    ASSERT_EQ(lineOpen(s.view(), "ctrlz.txt", "READ", 1, 0, h), 0);
    EXPECT_EQ(readAll(s, h), (std::vector<std::string>{"a", "b", "*EOF*"}));
}

TEST(LineFile, LongLinesComeInPieces) {
    TempDir tmp;
    writeFile("long.txt", std::string(2000, 'x') + "\r\n" + std::string(1258, 'y') + "\r\nz");
    Slots s;
    int h;
    ASSERT_EQ(lineOpen(s.view(), "long.txt", "READ", 1, 0, h), 0);
    auto lines = readAll(s, h);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].size(), 1258u);
    EXPECT_EQ(lines[1].size(), 742u);
    EXPECT_EQ(lines[2], std::string(1258, 'y'));  // no empty line after an exact piece
    EXPECT_EQ(lines[3], "z");
    EXPECT_EQ(lines[4], "*EOF*");
}

TEST(LineFile, WriteAppendTerminatorsAndSlots) {
    TempDir tmp;
    Slots s;
    int h;
    ASSERT_EQ(lineOpen(s.view(), "out.txt", "WRITE", 1, 0, h), 0);
    EXPECT_EQ(lineWrite(s.view(), h, "a", 1), 0);
    EXPECT_EQ(lineWrite(s.view(), h, "b", 2), 0);
    EXPECT_EQ(lineWrite(s.view(), h, "c", 0), 0);
    EXPECT_EQ(lineWrite(s.view(), h, "d", 4), 0);
    std::string line;
    EXPECT_EQ(lineRead(s.view(), h, line), 3087);
    EXPECT_EQ(lineClose(s.view(), h), 0);
    EXPECT_EQ(lineClose(s.view(), h), 3080);
    EXPECT_EQ(lineWrite(s.view(), h, "x", 1), 3085);
    EXPECT_EQ(lineRead(s.view(), h, line), 3082);
    EXPECT_EQ(readFile("out.txt"), "a\r\nb\ncd\t");
    ASSERT_EQ(lineOpen(s.view(), "out.txt", "APPEND", 1, 0, h), 0);
    EXPECT_EQ(lineWrite(s.view(), h, "e", 3), 0);
    EXPECT_EQ(lineClose(s.view(), h), 0);
    EXPECT_EQ(readFile("out.txt"), "a\r\nb\ncd\te\r");

    EXPECT_EQ(lineOpen(s.view(), "out.txt", "MODIFY", 1, 0, h), 3076);
    EXPECT_EQ(lineOpen(s.view(), "missing.txt", "READ", 1, 0, h), 1077);
    EXPECT_EQ(lineOpen(s.view(), ".", "READ", 1, 0, h), 1077);
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(lineOpen(s.view(), "out.txt", "READ", 3, 0, h), 0) << i;
    }
    EXPECT_EQ(lineOpen(s.view(), "out.txt", "READ", 3, 0, h), 3078);
    lineCloseAll(s.view());
    for (auto f : s.files) EXPECT_EQ(f, 0);
}

TEST(LineFile, ShareModesAsLocks) {
    TempDir tmp;
    writeFile("f.txt", "keep");
    Slots s;
    int r, w;
    ASSERT_EQ(lineOpen(s.view(), "f.txt", "READ", 1, 0, r), 0);
    // A writer that shares nothing cannot open, and does not truncate.
    EXPECT_EQ(lineOpen(s.view(), "f.txt", "WRITE", 1, 0, w), 1077);
    EXPECT_EQ(readFile("f.txt"), "keep");
    // Sharing both ways takes no lock.
    EXPECT_EQ(lineOpen(s.view(), "f.txt", "APPEND", 1, 3, w), 0);
}

TEST(LineFile, PipeWithoutDataIsNotTheEnd) {
    TempDir tmp;
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    Slots s;
    int h;
    ASSERT_EQ(lineOpen(s.view(), "fifo", "PIPE", 1, 0, h), 0);
    std::string line;
    EXPECT_EQ(lineRead(s.view(), h, line), 0);
    EXPECT_EQ(line, "*EOF*");
    EXPECT_EQ(lineWrite(s.view(), h, "hello\n", 1), 0);  // no terminator on a pipe
    EXPECT_EQ(lineRead(s.view(), h, line), 0);
    EXPECT_EQ(line, "hello");
    EXPECT_EQ(lineRead(s.view(), h, line), 0);
    EXPECT_EQ(line, "*EOF*");
    // Writing to a pipe nobody reads fails at once instead of hanging.
    ASSERT_EQ(mkfifo("lonely", 0600), 0);
    EXPECT_EQ(lineOpen(s.view(), "lonely", "WRITE", 1, 0, h), 1077);
}

}  // namespace
}  // namespace tarn::fn
