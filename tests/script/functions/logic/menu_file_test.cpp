#include "functions/logic/menu_file.h"

#include <gtest/gtest.h>

#include "functions/logic/hotkeys.h"

namespace tarn::menu {
namespace {

// The menu as one line: popups as title{...}, items as title=position
// [hot key]:script|script, separators as "-".
std::string Shape(const MenuWalk& w) {
    std::string s;
    int level = 1;
    for (const MenuEntry& e : w.entries) {
        for (; level > e.level; --level) s += "}";
        if (!s.empty() && s.back() != '{') s += ";";
        if (e.kind == EntryKind::Separator) {
            s += "-";
            continue;
        }
        s += e.title;
        if (e.kind == EntryKind::Popup) {
            s += "{";
            level = e.level + 1;
            continue;
        }
        s += "=" + std::to_string(e.position);
        if (!e.hotkey.empty()) s += "[" + std::string(e.hotkey) + "]";
        for (std::size_t i = 0; i < e.script.size(); ++i) s += (i ? "|" : ":") + std::string(e.script[i]);
    }
    for (; level > 1; --level) s += "}";
    return s;
}

TEST(MenuWalk, ValidMenus) {
    struct Case {
        const char* text;
        const char* shape;
    } cases[] = {
        // A level-1 title with a tab-indented line is an item of level 1.
        {"Top\n\tx = 1\n", "Top=1:x = 1"},
        // Comments (";" or "'", indented or not) and empty lines are passed over anywhere.
        {"; head\n\nTop\n  ' note\n\tx=1\n;\n\t\n\tb=2\nTwo\n\ty=1", "Top=1:x=1|b=2;Two=2:y=1"},
        // Four levels; four blanks, or blanks before a tab, start script lines.
        {"A\n B\n  C\n   D\n    d1\n   \td2\n E\n\te\n", "A{B{C{D=1:d1|d2}};E=2:e}"},
        // After script lines any shallower title closes the popups.
        {"A\n B\n  C\n\tc\nZ\n\tz", "A{B{C=1:c}};Z=2:z"},
        // CR, CR LF, LF and Ctrl-Z all end lines.
        {"A\r B\r\n\tx\x1a\ty\n", "A{B=1:x|y}"},
        // Separators: a "-" title with nothing of its own; one with script
        // lines is an item, one with deeper titles a popup.
        {"A\n B\n\tb\n --\n C\n\tc\n -\n", "A{B=1:b;-;C=2:c;-}"},
        {"-\n\tx\n-\n -\n\ty", "-=1:x;-{-=2:y}"},
        // A hot key follows a tab in the title.
        {"A\n B \tCtrl+F1 \n\tb", "A{B=1[Ctrl+F1]:b}"},
    };
    for (const Case& c : cases) {
        const MenuWalk w = WalkMenu(c.text);
        EXPECT_EQ(w.message, 0) << c.text;
        EXPECT_EQ(Shape(w), c.shape) << c.text;
    }
    EXPECT_EQ(WalkMenu("A\n B\tCtrl+F1\n\tb\n C\tAlt+Nope\n\tc").entries[1].key_code, 0x1000 + 112 + 0x4000);
    EXPECT_EQ(WalkMenu("A\n C\tAlt+Nope\n\tc").entries[1].key_code, 0);
}

TEST(MenuWalk, EveryExpectationHasItsMessage) {
    struct Case {
        const char* text;
        int message;
        std::size_t line;  // 0 = at the end
    } cases[] = {
        {" Sub\n\tx", 512, 1},  // first meaningful line starts with a blank
        {"\n; c\n\tx\n", 512, 3},
        {"", 512, 0},
        {"A\n  C\n", 514, 2},  // level 1 title, then level 3
        {"A\n", 514, 0},
        {"A\n B\nC\n", 519, 3},
        {"A\n B\n  C\n B2\n", 521, 4},
        {"A\n B\n  C\n   D\n", 580, 0},  // a level-4 title needs script lines
        {"A\n B\n  C\n   D\n E\n", 580, 5},
        {"A\n\tx\n B\n", 515, 3},  // an item of level 1 has no children
        {"A\n B\n\tx\n  C\n", 520, 4},
        {"A\n B\n  C\n\tx\n   D\n", 579, 5},
    };
    for (const Case& c : cases) {
        const MenuWalk w = WalkMenu(c.text);
        EXPECT_EQ(w.message, c.message) << c.text;
        EXPECT_EQ(w.bad_line, c.line) << c.text;
    }
}

TEST(MenuWalk, ItemScriptEndsEachLine) {
    const MenuWalk w = WalkMenu("A\n\tx = 1\n    y = 2");
    EXPECT_EQ(ItemScript(w.entries[0]), "x = 1\r\ny = 2\r\n");
}

TEST(HotKeys, TitleTexts) {
    EXPECT_EQ(ParseHotKey("Ctrl+F1"), 0x1000 + 112 + 0x4000);
    EXPECT_EQ(ParseHotKey("shift+ALT+pgdn"), 0x1000 + 34 + 0x8000 + 0x2000);
    EXPECT_EQ(ParseHotKey("Ctrl+a"), 'A' + 0x4000);
    EXPECT_EQ(ParseHotKey("Ctrl++"), '+' + 0x4000);
    EXPECT_EQ(ParseHotKey("F16"), 0x1000 + 127);
    EXPECT_EQ(ParseHotKey("sp"), 0x1000 + 32);
    EXPECT_EQ(ParseHotKey("\xe9"), 0xC9);  // é takes its capital
    for (const char* bad : {"F17", "Ctrl+", "", "Ctrl+ ", "INS", "Meta+A"})
        EXPECT_EQ(ParseHotKey(bad), std::nullopt) << bad;
}

TEST(HotKeys, Keystrokes) {
    EXPECT_EQ(KeystrokeCode(kKeyDown, 112, kCtrl), 0x1000 + 112 + 0x4000);
    EXPECT_EQ(KeystrokeCode(kSysKeyDown, 'X', kAlt), 0x1000 + 'X' + 0x2000);
    for (unsigned vk : {kVkShift, kVkCtrl, kVkAlt}) EXPECT_EQ(KeystrokeCode(kKeyDown, vk, kCtrl), 0);
    EXPECT_EQ(KeystrokeCode(kChar, 1, kCtrl), 'A' + 0x4000);  // Ctrl+A as a character
    EXPECT_EQ(KeystrokeCode(kChar, 26, kCtrl | kShift), 'Z' + 0x4000 + 0x8000);
    EXPECT_EQ(KeystrokeCode(kChar, 1, 0), 1);  // without Ctrl it stays itself
    EXPECT_EQ(KeystrokeCode(kChar, 'q', 0), 'Q');
    EXPECT_EQ(KeystrokeCode(0x0101, 112, 0), 0);  // key up: nothing
}

TEST(MenuFile, DosDateTime) {
    std::tm tm{};
    tm.tm_year = 2026 - 1900;
    tm.tm_mon = 11;
    tm.tm_mday = 8;
    tm.tm_hour = 15;
    tm.tm_min = 42;
    tm.tm_sec = 59;
    tm.tm_isdst = -1;
    const auto [date, time] = DosDateTime(std::mktime(&tm));
    EXPECT_EQ(date, (46 << 9) | (12 << 5) | 8);
    EXPECT_EQ(time, (15 << 11) | (42 << 5) | 29);
    EXPECT_EQ(DosDateTime(0).first, (1 << 5) | 1);  // before 1980
}

}  // namespace
}  // namespace tarn::menu
