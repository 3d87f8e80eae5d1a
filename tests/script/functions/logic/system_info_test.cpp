#include "functions/logic/exetype.h"
#include "functions/logic/shortcuts.h"
#include "functions/logic/system_info.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tarn {
namespace {

TEST(SystemInfo, VersionsAndOsRelease) {
    const sysinfo::Version k = sysinfo::ParseVersion("6.1.0-18-amd64");
    EXPECT_EQ(k.major, 6);
    EXPECT_EQ(k.minor, 1);
    EXPECT_EQ(sysinfo::ParseVersion("12").major, 12);
    EXPECT_EQ(sysinfo::ParseVersion("x").major, 0);
    const std::string text = "NAME=\"Debian GNU/Linux\"\nVERSION_ID=\"22.04\"\nID=debian\nPRETTY=\"a \\\"b\\\"\"\n";
    EXPECT_EQ(sysinfo::OsReleaseValue(text, "VERSION_ID"), "22.04");
    EXPECT_EQ(sysinfo::OsReleaseValue(text, "ID"), "debian");
    EXPECT_EQ(sysinfo::OsReleaseValue(text, "PRETTY"), "a \"b\"");
    EXPECT_EQ(sysinfo::OsReleaseValue(text, "NAM"), "");
}

// An ELF header of the given class, byte order and type with one program
// header of type `segment`.
std::string Elf(bool wide, bool big, int type, int segment) {
    std::string b(wide ? 64 + 56 : 52 + 32, '\0');
    b.replace(0, 4,
              "\x7f"
              "ELF");
    b[4] = wide ? 2 : 1;
    b[5] = big ? 2 : 1;
    auto put = [&](std::size_t at, std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i)
            b[at + static_cast<std::size_t>(big ? size - 1 - i : i)] = static_cast<char>((value >> (8 * i)) & 0xff);
    };
    put(16, static_cast<std::uint64_t>(type), 2);
    put(wide ? 32 : 28, wide ? 64 : 52, wide ? 8 : 4);
    put(wide ? 54 : 42, wide ? 56 : 32, 2);
    put(wide ? 56 : 44, 1, 2);
    put(wide ? 64 : 52, static_cast<std::uint64_t>(segment), 4);
    return b;
}

TEST(ExeType, ElfClassesOrdersAndKinds) {
    EXPECT_EQ(exetype::Classify(Elf(false, false, 2, 1)), exetype::kElf32Program);
    EXPECT_EQ(exetype::Classify(Elf(false, true, 3, 1)), exetype::kElf32Library);
    EXPECT_EQ(exetype::Classify(Elf(true, true, 3, 3)), exetype::kElf64Program);  // PIE: interpreter
    EXPECT_EQ(exetype::Classify(Elf(true, false, 1, 1)), exetype::kElfOther);
    EXPECT_EQ(exetype::Classify(Elf(true, false, 3, 1).substr(0, 20)), exetype::kElf64Library);
    std::string pe(0x40 + 26, '\0');
    pe.replace(0, 2, "MZ");
    pe[0x3C] = 0x40;
    pe.replace(0x40, 4, std::string("PE\0\0", 4));
    pe[0x40 + 24] = 0x0b;
    pe[0x40 + 25] = 0x02;
    EXPECT_EQ(exetype::Classify(pe), exetype::kPe64);
    pe[0x3C] = 0x7f;  // new header beyond the file
    EXPECT_EQ(exetype::Classify(pe), exetype::kDos);
    EXPECT_EQ(exetype::Classify("#!/usr/bin/env python3\n"), exetype::kScript);
    EXPECT_EQ(exetype::Classify("M"), exetype::kNotProgram);
}

TEST(Shortcuts, HotKeysAndUserDirs) {
    for (const char* good : {"", "^!A", "+{F5}", "^{F24}", "!{home}", "^+1"})
        EXPECT_TRUE(shortcut::ValidHotKey(good)) << good;
    for (const char* bad : {"^", "^AB", "{F25}", "{F0}", "^{NOPE}", "{F}"})
        EXPECT_FALSE(shortcut::ValidHotKey(bad)) << bad;
    const std::string dirs =
        "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desk top\"\nXDG_MUSIC_DIR=\"/srv/music\"\nXDG_DOCUMENTS_DIR=\"relative\"\n";
    EXPECT_EQ(shortcut::UserDir(dirs, "DESKTOP", "/home/u"), "/home/u/Desk top");
    EXPECT_EQ(shortcut::UserDir(dirs, "MUSIC", "/home/u"), "/srv/music");
    EXPECT_EQ(shortcut::UserDir(dirs, "DOCUMENTS", "/home/u"), "");
    EXPECT_EQ(shortcut::UserDir(dirs, "VIDEOS", "/home/u"), "");
}

}  // namespace
}  // namespace tarn
