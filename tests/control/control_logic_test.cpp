// The control's pure rules: key codes, colour answers, layout in twips.
#include <gtest/gtest.h>

#include "key_codes.h"
#include "pane_layout.h"
#include "text_color.h"

using namespace vrayu;

namespace {

TEST(KeyCodes, QtKeysToClassicCodes) {
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        int code;
    } cases[] = {
        {Qt::Key_A, Qt::NoModifier, 65},           {Qt::Key_Z, Qt::ShiftModifier, 90},
        {Qt::Key_0, Qt::NoModifier, 48},           {Qt::Key_0, Qt::KeypadModifier, 96},
        {Qt::Key_Period, Qt::KeypadModifier, 110}, {Qt::Key_Period, Qt::NoModifier, 190},
        {Qt::Key_Return, Qt::NoModifier, 13},      {Qt::Key_Enter, Qt::KeypadModifier, 13},
        {Qt::Key_Space, Qt::NoModifier, 32},       {Qt::Key_Backspace, Qt::NoModifier, 8},
        {Qt::Key_Tab, Qt::NoModifier, 9},          {Qt::Key_Left, Qt::NoModifier, 37},
        {Qt::Key_Delete, Qt::NoModifier, 46},      {Qt::Key_F1, Qt::NoModifier, 112},
        {Qt::Key_Exclam, Qt::ShiftModifier, 49},   {Qt::Key_Colon, Qt::ShiftModifier, 186},
        {Qt::Key_Shift, Qt::NoModifier, 16},       {Qt::Key_unknown, Qt::NoModifier, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(WindowsKeyCode(c.key, c.mods), c.code) << c.key;
    EXPECT_EQ(ShiftState(Qt::ShiftModifier | Qt::AltModifier), 5);
    EXPECT_EQ(ShiftState(Qt::KeypadModifier), 0);
}

TEST(KeyCodes, WhichReleasesConvert) {
    const struct {
        int code, shift, conversions;
    } cases[] = {
        {13, 0, 1},  {110, 0, 2}, {32, 1, 1},  {8, 0, 1},   {9, 0, 1},  // the five keys (110 also in range)
        {33, 0, 1},  {65, 1, 1},  {126, 0, 1}, {127, 0, 0}, {16, 1, 0}, {190, 0, 0},
        {186, 0, 0}, {65, 2, 0},  {65, 4, 0},  {13, 3, 0},  {0, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConversionsOnKeyRelease(c.code, c.shift), c.conversions) << c.code << "/" << c.shift;
}

TEST(TextColor, AnswersAndPalette) {
    const struct {
        const char* answer;
        int index;
    } cases[] = {{"", 0},   {"x", 0},  {"7", 7},    {" 7 ", 7}, {"15", 15}, {"16", 0},
                 {"20", 0}, {"-3", 0}, {"4abc", 4}, {"2.5", 2}, {"3.5", 4}, {"1 2", 12}};
    for (const auto& c : cases) EXPECT_EQ(ColorIndexFromAnswer(QString::fromLatin1(c.answer)), c.index) << c.answer;
    EXPECT_EQ(PaletteColor(0), 0x000000);
    EXPECT_EQ(PaletteColor(1), 0x800000);  // blue, in the high byte
    EXPECT_EQ(PaletteColor(4), 0x000080);  // red, in the low byte
    EXPECT_EQ(PaletteColor(7), 0xC0C0C0);  // "White"
    EXPECT_EQ(PaletteColor(8), 0x808080);
    EXPECT_EQ(PaletteColor(12), 0x0000FF);
    EXPECT_EQ(PaletteColor(15), 0xFFFFFF);
}

TEST(PaneLayout, AddressBoxWidthAtTheBoundary) {
    PaneGeometry g = DesignGeometry();
    ASSERT_TRUE(LayoutPanes(8501, 6000, ViewMode::Both, g));
    EXPECT_EQ(g.url.width, 7000);
    ASSERT_TRUE(LayoutPanes(8500, 6000, ViewMode::Both, g));
    EXPECT_EQ(g.url.width, 8500 - 860 - 1050);
}

TEST(PaneLayout, ViewsAndTheMinimumSize) {
    PaneGeometry g = DesignGeometry();
    ASSERT_TRUE(LayoutPanes(9000, 7000, ViewMode::Both, g));
    EXPECT_EQ(g.english, (TwipsRect{120, 7000 - 1955, 9000 - 120 - 50, 1905}));
    EXPECT_EQ(g.telugu, (TwipsRect{120, 525 + 300 + 25, 9000 - 120 - 50, 7000 - 1905 - 850 - 100}));

    ASSERT_TRUE(LayoutPanes(9000, 7000, ViewMode::English, g));
    EXPECT_EQ(g.english, (TwipsRect{120, 850, 8830, 7000 - 850 - 50}));
    ASSERT_TRUE(LayoutPanes(9000, 7000, ViewMode::Telugu, g));
    EXPECT_EQ(g.telugu, (TwipsRect{120, 850, 8830, 7000 - 850 - 50}));
    ASSERT_TRUE(LayoutPanes(9000, 7000, ViewMode::HTML, g));
    EXPECT_EQ(g.html, (TwipsRect{120, 850, 8830, 6100}));

    const PaneGeometry before = g;
    EXPECT_FALSE(LayoutPanes(4399, 7000, ViewMode::Both, g));
    EXPECT_FALSE(LayoutPanes(7000, 4399, ViewMode::Both, g));
    EXPECT_EQ(g.url, before.url);
    EXPECT_EQ(g.english, before.english);
    EXPECT_TRUE(LayoutPanes(4400, 4400, ViewMode::None, g));
    EXPECT_EQ(g.url.width, 4400 - 860 - 1050);
    EXPECT_EQ(g.english, before.english);
}

}  // namespace
