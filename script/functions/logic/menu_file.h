// Menu files: titles on up to four levels, each command item followed by
// the script lines it runs. One walk reads a file's text for every menu
// export: it checks the structure line by line and gives the menu as a flat
// list of entries in file order, each with its level.
//
// Lines end at CR, LF, CR LF or Ctrl-Z. A line holding only blanks and tabs,
// or whose first other character is ";" or "'", is skipped. A line starting
// with a character other than blank or tab is a level-1 title; one, two or
// three blanks before such a character make a level 2, 3 or 4 title; a tab
// after at most three blanks, or four blanks, start a script line of the
// item whose title came last.
//
// A title may carry a hot key after a tab ("&Notepad<TAB>Ctrl+F1", see
// hotkeys.h for the key texts). A title made only of "-" that neither opens
// a deeper level nor has script lines is a separator.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarn::menu {

enum class LineKind : std::uint8_t { Skip, Title, Script };

struct MenuLine {
    LineKind kind;
    int level;              // 1 to 4 for a title
    std::string_view text;  // without the indentation
};

// What one line is.
MenuLine ClassifyLine(std::string_view line);

// The nine states of the walk: before the first title, after a title of
// level n, in the script lines of an item of level n.
enum class WalkState : std::uint8_t {
    ExpectTop,
    AfterTitle1,
    AfterTitle2,
    AfterTitle3,
    AfterTitle4,
    InScript1,
    InScript2,
    InScript3,
    InScript4,
};

// What each state accepts and the message of a line (or an end) it does
// not: titles of levels min_title to max_title (none when max is 0),
// script lines, the end of the file.
struct WalkRule {
    WalkState state;
    int min_title, max_title;
    bool script;
    bool end;
    int message;
};

// ORDER WALKSTATE
inline constexpr WalkRule kWalkRules[] = {
    {WalkState::ExpectTop, 1, 1, false, false, 512},  {WalkState::AfterTitle1, 2, 2, true, false, 514},
    {WalkState::AfterTitle2, 3, 3, true, false, 519}, {WalkState::AfterTitle3, 4, 4, true, false, 521},
    {WalkState::AfterTitle4, 0, 0, true, false, 580}, {WalkState::InScript1, 1, 1, true, true, 515},
    {WalkState::InScript2, 1, 2, true, true, 520},    {WalkState::InScript3, 1, 3, true, true, 579},
    {WalkState::InScript4, 1, 4, true, true, 581},
};

consteval bool WalkRulesInOrder() {
    for (std::size_t i = 0; i < std::size(kWalkRules); ++i)
        if (static_cast<std::size_t>(kWalkRules[i].state) != i) return false;
    return std::size(kWalkRules) == 9;
}
static_assert(WalkRulesInOrder(), "one rule per walk state, in state order");

enum class EntryKind : std::uint8_t { Popup, Item, Separator };

struct MenuEntry {
    EntryKind kind;
    int level;                             // 1 to 4
    std::string_view title;                // without its hot key
    std::string_view hotkey;               // text after the tab, "" for none
    std::uint16_t key_code = 0;            // its code (hotkeys.h), 0 = none or not a key
    int position = 0;                      // items: 1-based number among the items
    std::vector<std::string_view> script;  // items: the script lines
};

struct MenuWalk {
    std::vector<MenuEntry> entries;
    int items = 0;             // count of command items
    int message = 0;           // 0, or the message of the expectation that failed
    std::size_t bad_line = 0;  // 1-based line where it failed (0 = the end)
};

// Walks a menu text (8-bit; views point into it).
MenuWalk WalkMenu(std::string_view text);

// The script text of an item: its lines joined by CR LF.
std::string ItemScript(const MenuEntry& item);

// A file time in the DOS forms (local time; before 1980 gives 1 January
// 1980): date = (year - 1980) << 9 | month << 5 | day, time = hour << 11 |
// minute << 5 | second / 2.
std::pair<std::uint16_t, std::uint16_t> DosDateTime(std::time_t t);

}  // namespace tarn::menu
