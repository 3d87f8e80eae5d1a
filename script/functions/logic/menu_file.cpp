#include "functions/logic/menu_file.h"

#include <algorithm>

#include "functions/logic/hotkeys.h"

namespace tarn::menu {
namespace {

bool Blank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimEnd(std::string_view s) {
    while (!s.empty() && Blank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view TrimStart(std::string_view s) {
    while (!s.empty() && Blank(s.front())) s.remove_prefix(1);
    return s;
}

// A title with its hot key split off.
MenuEntry NewTitle(int level, std::string_view text) {
    MenuEntry e{EntryKind::Item, level, text, {}, 0, 0, {}};
    if (const auto tab = text.find('\t'); tab != std::string_view::npos) {
        e.title = text.substr(0, tab);
        e.hotkey = TrimEnd(TrimStart(text.substr(tab + 1)));
        e.key_code = ParseHotKey(e.hotkey).value_or(0);
    }
    e.title = TrimEnd(e.title);
    return e;
}

bool SeparatorTitle(const MenuEntry& e) {
    return !e.title.empty() && e.hotkey.empty() &&
           std::all_of(e.title.begin(), e.title.end(), [](char c) { return c == '-'; });
}

WalkState AfterTitle(int level) { return static_cast<WalkState>(static_cast<int>(WalkState::AfterTitle1) + level - 1); }
WalkState InScript(int level) { return static_cast<WalkState>(static_cast<int>(WalkState::InScript1) + level - 1); }
bool IsAfterTitle(WalkState s) { return s >= WalkState::AfterTitle1 && s <= WalkState::AfterTitle4; }
int LevelOf(WalkState s) {
    const int i = static_cast<int>(s);
    return IsAfterTitle(s) ? i - static_cast<int>(WalkState::AfterTitle1) + 1
                           : i - static_cast<int>(WalkState::InScript1) + 1;
}

}  // namespace

MenuLine ClassifyLine(std::string_view line) {
    const std::string_view rest = TrimStart(line);
    if (rest.empty() || rest.front() == ';' || rest.front() == '\'') return {LineKind::Skip, 0, {}};
    std::size_t blanks = 0;
    while (blanks < line.size() && blanks < 4 && line[blanks] == ' ') ++blanks;
    if (blanks == 4 || line[blanks] == '\t') return {LineKind::Script, 0, rest};
    return {LineKind::Title, static_cast<int>(blanks) + 1, line.substr(blanks)};
}

MenuWalk WalkMenu(std::string_view text) {
    MenuWalk w;
    WalkState state = WalkState::ExpectTop;
    // The last title waits for the next meaningful line to tell what it is.
    auto fail = [&](std::size_t line) {
        w.message = kWalkRules[static_cast<int>(state)].message;
        w.bad_line = line;
        return w;
    };
    std::size_t number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n' && text[end] != 26) ++end;
        const std::string_view line = text.substr(start, end - start);
        start = end + ((end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ? 2 : 1);
        ++number;
        const MenuLine ml = ClassifyLine(line);
        if (ml.kind == LineKind::Skip) continue;
        for (;;) {
            const WalkRule& rule = kWalkRules[static_cast<int>(state)];
            if (ml.kind == LineKind::Script) {
                if (!rule.script) return fail(number);
                if (IsAfterTitle(state)) {
                    w.entries.back().kind = EntryKind::Item;
                    w.entries.back().position = ++w.items;
                    state = InScript(LevelOf(state));
                }
                w.entries.back().script.push_back(ml.text);
                break;
            }
            if (ml.level >= rule.min_title && ml.level <= rule.max_title) {
                if (IsAfterTitle(state)) w.entries.back().kind = EntryKind::Popup;
                w.entries.push_back(NewTitle(ml.level, ml.text));
                state = AfterTitle(ml.level);
                break;
            }
            // A "-" title followed by a sibling or a shallower title is a
            // separator: the line is read again as after a finished item.
            if (IsAfterTitle(state) && ml.level <= LevelOf(state) && SeparatorTitle(w.entries.back())) {
                w.entries.back().kind = EntryKind::Separator;
                state = InScript(LevelOf(state));
                continue;
            }
            return fail(number);
        }
    }
    if (IsAfterTitle(state) && SeparatorTitle(w.entries.back())) {
        w.entries.back().kind = EntryKind::Separator;
        return w;
    }
    if (!kWalkRules[static_cast<int>(state)].end) return fail(0);
    return w;
}

std::string ItemScript(const MenuEntry& item) {
    std::string s;
    for (std::string_view line : item.script) {
        s.append(line);
        s.append("\r\n");
    }
    return s;
}

std::pair<std::uint16_t, std::uint16_t> DosDateTime(std::time_t t) {
    std::tm tm{};
    if (!localtime_r(&t, &tm) || tm.tm_year < 80) return {static_cast<std::uint16_t>((1 << 5) | 1), 0};
    const int year = std::min(tm.tm_year - 80, 127);
    const auto date = static_cast<std::uint16_t>((year << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
    const auto time = static_cast<std::uint16_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
    return {date, time};
}

}  // namespace tarn::menu
