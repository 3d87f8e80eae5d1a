// The pure parts of the window family: window names, "sendkey" text and the
// "winplace" arithmetic.
#include <gtest/gtest.h>

#include "functions/logic/key_names.h"
#include "functions/logic/sendkey_text.h"
#include "functions/logic/window_names.h"
#include "functions/logic/window_place.h"

namespace tarn::fn {
namespace {

TEST(WindowNames, TitleRules) {
    struct Case {
        const char* name;
        const char* title;
        bool match;
    } cases[] = {
        {"Note", "Notepad", true},     {"note", "Notepad", false},
        {"~pad", "Notepad", true},     {"~pad", "Notepads", true},
        {"~pad~", "Notepad", true},    {"~pad~", "Notepads", false},
        {"Notepad~", "Notepad", true}, {"Notepad~", "Notepads", false},
        {"Note", "", false},           {"Win", "WinOldAp", false},
        {"~", "a~b", false},           {"~", "~tilde", true},
        {"~~", "anything", true},      {"x~", "x", true},
        {"", "Notepad", false},
    };
    for (const Case& k : cases) EXPECT_EQ(titleMatches(k.name, k.title), k.match) << k.name << " / " << k.title;
}

TEST(WindowNames, IdsRoundTripAndRejectOtherText) {
    EXPECT_EQ(windowIdText(0x1a2b3c), "#WIN$ID#001A2B3C");
    EXPECT_EQ(parseWindowId("#WIN$ID#001A2B3C"), 0x1a2b3cu);
    EXPECT_EQ(parseWindowId("#WIN$ID#ffffffff"), 0xffffffffu);
    EXPECT_FALSE(parseWindowId("#WIN$ID#001A2B3"));    // 15 characters
    EXPECT_FALSE(parseWindowId("#WIN$ID#001A2B3C0"));  // 17
    EXPECT_FALSE(parseWindowId("#WIN$ID#001A2B3G"));
    EXPECT_FALSE(parseWindowId("#win$id#001A2B3C"));
}

std::vector<KeyStroke> Keys(std::string_view text, bool complete = true) {
    const SendKeyText t = parseSendKey(text);
    EXPECT_EQ(t.complete, complete) << text;
    return t.keys;
}

TEST(SendKeyText, BracesCountsAndModifiers) {
    const std::uint32_t tab = findKeyName("tab")->keysym, enter = findKeyName("ENTER")->keysym;
    EXPECT_EQ(Keys("{TAB 3}"), (std::vector<KeyStroke>{{tab, 0}, {tab, 0}, {tab, 0}}));
    EXPECT_EQ(Keys("{a 2}"), (std::vector<KeyStroke>{{'a', 0}, {'a', 0}}));
    EXPECT_EQ(Keys("+{TAB}"), (std::vector<KeyStroke>{{tab, kHoldShift}}));
    EXPECT_EQ(Keys("^+a!~"), (std::vector<KeyStroke>{{'a', kHoldCtrl | kHoldShift}, {enter, kHoldAlt}}));
    EXPECT_EQ(Keys("{+}{~}{{}{}}"), (std::vector<KeyStroke>{{'+', 0}, {'~', 0}, {'{', 0}, {'}', 0}}));
    EXPECT_EQ(Keys("{Tab 0}x"), (std::vector<KeyStroke>{{'x', 0}}));
    EXPECT_EQ(Keys("\xe9\t"), (std::vector<KeyStroke>{{0xe9, 0}, {tab, 0}}));
    EXPECT_EQ(Keys("{NUMPAD~}")[0].keysym, findKeyName("numpad~")->keysym);
}

TEST(SendKeyText, StopsAtUnknownNamesBadCountsAndOpenBraces) {
    EXPECT_EQ(Keys("ab{NOSUCH}c", false).size(), 2u);
    EXPECT_EQ(Keys("a{TAB", false).size(), 1u);
    EXPECT_EQ(Keys("{TAB x}", false).size(), 0u);
    EXPECT_EQ(Keys("{F17}", false).size(), 0u);
    EXPECT_TRUE(Keys("").empty());
}

TEST(WindowPlace, EightSteps) {
    const PlaceInputs screen{1024, 768, 100, 24, 300, 200, 740};
    // Half the screen from the corner.
    EXPECT_EQ(placeRect(0, 0, 500, 500, screen), (PixelRect{0, 0, 512, 384}));
    // x2 = y2 = 0: only moved, the size kept.
    EXPECT_EQ(placeRect(100, 100, 0, 0, screen), (PixelRect{102, 76, 300, 200}));
    // @aboveicons reaches the lower edge of the area above the icons.
    EXPECT_EQ(placeRect(0, 500, 1000, 1, screen), (PixelRect{0, 384, 1024, 356}));
    // Clamped to -1000..2000; the left edge at most the screen less the minimum.
    EXPECT_EQ(placeRect(5000, 0, 5000, 500, screen), (PixelRect{924, 0, 1024, 384}));
    // A corner before the top-left corner: the size is at least the minimum
    // and part of the window stays on the screen.
    EXPECT_EQ(placeRect(-1000, -1000, -500, -500, screen), (PixelRect{-924, -744, 1024, 768}));
    EXPECT_EQ(toVirtual(512, 1024), 500);
    // Units read back place the window on the same pixel.
    for (int px : {-77, -76, -1, 0, 1, 76, 383, 767})
        EXPECT_EQ(placeRect(0, toVirtual(px, 768), 0, 0, PlaceInputs{1024, 768, 0, 0, 10, 500, 0}).top, px) << px;
}

}  // namespace
}  // namespace tarn::fn
