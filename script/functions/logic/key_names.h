// The key names of "sendkey" text ({name}) with the virtual-key code each
// stands for and the X keysym that types it. The one table of key names:
// the text parser and "waitforkey" read it, tests check against it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarn::fn {

struct KeyName {
    std::string_view name;  // upper case
    int code;               // virtual-key code
    std::uint32_t keysym;
};

// ORDER KEYNAMES: none; names are unique and upper case (checked below).
inline constexpr KeyName kKeyNames[] = {
    {"BACKSPACE", 8, 0xff08}, {"BS", 8, 0xff08},        {"CAPSLOCK", 20, 0xffe5}, {"CLEAR", 12, 0xff0b},
    {"DELETE", 46, 0xffff},   {"DEL", 46, 0xffff},      {"DOWN", 40, 0xff54},     {"END", 35, 0xff57},
    {"ENTER", 13, 0xff0d},    {"ESCAPE", 27, 0xff1b},   {"ESC", 27, 0xff1b},      {"HELP", 47, 0xff6a},
    {"HOME", 36, 0xff50},     {"INSERT", 45, 0xff63},   {"INS", 45, 0xff63},      {"LEFT", 37, 0xff51},
    {"NUMLOCK", 144, 0xff7f}, {"PGDN", 34, 0xff56},     {"PGUP", 33, 0xff55},     {"PRTSC", 42, 0xff61},
    {"RIGHT", 39, 0xff53},    {"TAB", 9, 0xff09},       {"UP", 38, 0xff52},       {"SPACE", 32, 0x20},
    {"SP", 32, 0x20},         {"SHIFT", 16, 0xffe1},    {"CTRL", 17, 0xffe3},     {"MENU", 18, 0xffe9},
    {"ALT", 18, 0xffe9},      {"F1", 112, 0xffbe},      {"F2", 113, 0xffbf},      {"F3", 114, 0xffc0},
    {"F4", 115, 0xffc1},      {"F5", 116, 0xffc2},      {"F6", 117, 0xffc3},      {"F7", 118, 0xffc4},
    {"F8", 119, 0xffc5},      {"F9", 120, 0xffc6},      {"F10", 121, 0xffc7},     {"F11", 122, 0xffc8},
    {"F12", 123, 0xffc9},     {"F13", 124, 0xffca},     {"F14", 125, 0xffcb},     {"F15", 126, 0xffcc},
    {"F16", 127, 0xffcd},     {"NUMPAD0", 96, 0xffb0},  {"NUMPAD1", 97, 0xffb1},  {"NUMPAD2", 98, 0xffb2},
    {"NUMPAD3", 99, 0xffb3},  {"NUMPAD4", 100, 0xffb4}, {"NUMPAD5", 101, 0xffb5}, {"NUMPAD6", 102, 0xffb6},
    {"NUMPAD7", 103, 0xffb7}, {"NUMPAD8", 104, 0xffb8}, {"NUMPAD9", 105, 0xffb9}, {"NUMPAD*", 106, 0xffaa},
    {"NUMPAD+", 107, 0xffab}, {"NUMPAD-", 109, 0xffad}, {"NUMPAD.", 110, 0xffae}, {"NUMPAD/", 111, 0xffaf},
    {"NUMPAD~", 0, 0xff8d},
};

namespace detail {
consteval bool keyNamesValid() {
    for (std::size_t i = 0; i < std::size(kKeyNames); ++i) {
        for (char ch : kKeyNames[i].name)
            if (ch >= 'a' && ch <= 'z') return false;
        for (std::size_t j = i + 1; j < std::size(kKeyNames); ++j)
            if (kKeyNames[i].name == kKeyNames[j].name) return false;
    }
    return true;
}
}  // namespace detail
static_assert(detail::keyNamesValid(), "key names must be unique and upper case");

// The row of a name, without regard to case; nothing for an unknown name.
std::optional<KeyName> findKeyName(std::string_view name);

// The keysym that types an ISO-8859-1 character (Tab, Enter, Backspace and
// Escape for their control characters); 0 for other control characters.
std::uint32_t characterKeysym(unsigned char c);

}  // namespace tarn::fn
