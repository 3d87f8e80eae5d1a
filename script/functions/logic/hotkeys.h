// Hot keys of menu files: the key names a title may use, the codes a hot
// key is stored as, and the code a keystroke gives.
//
// A code is a character in upper case, or a virtual-key code plus
// kVirtualKey; the bits kShift, kCtrl and kAlt are added for the keys held.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarn::menu {

inline constexpr std::uint16_t kVirtualKey = 0x1000;
inline constexpr std::uint16_t kShift = 0x8000;
inline constexpr std::uint16_t kCtrl = 0x4000;
inline constexpr std::uint16_t kAlt = 0x2000;

// Keystroke messages a host passes on (the Windows numbers).
inline constexpr unsigned kKeyDown = 0x0100;
inline constexpr unsigned kChar = 0x0102;
inline constexpr unsigned kSysKeyDown = 0x0104;
inline constexpr unsigned kSysChar = 0x0106;

// Virtual keys that are modifiers only.
inline constexpr unsigned kVkShift = 16, kVkCtrl = 17, kVkAlt = 18;

struct KeyName {
    std::string_view name;
    std::uint16_t vk;
};

// ORDER MENUKEYS: the names a menu title's hot key may use (upper case).
inline constexpr KeyName kMenuKeyNames[] = {
    {"BACKSPACE", 8}, {"BS", 8},      {"CLEAR", 12}, {"DELETE", 46}, {"DEL", 46},  {"DOWN", 40},   {"END", 35},
    {"ENTER", 13},    {"ESCAPE", 27}, {"ESC", 27},   {"HELP", 47},   {"HOME", 36}, {"INSERT", 45}, {"LEFT", 37},
    {"PGDN", 34},     {"PGUP", 33},   {"PRTSC", 42}, {"RIGHT", 39},  {"TAB", 9},   {"UP", 38},     {"F1", 112},
    {"F2", 113},      {"F3", 114},    {"F4", 115},   {"F5", 116},    {"F6", 117},  {"F7", 118},    {"F8", 119},
    {"F9", 120},      {"F10", 121},   {"F11", 122},  {"F12", 123},   {"F13", 124}, {"F14", 125},   {"F15", 126},
    {"F16", 127},     {"SPACE", 32},  {"SP", 32},
};

consteval bool FunctionKeysInOrder() {
    int f = 0;
    for (const KeyName& k : kMenuKeyNames) {
        if (k.name.size() < 2 || k.name[0] != 'F' || k.name[1] < '1' || k.name[1] > '9') continue;
        if (k.vk != 112 + f) return false;
        ++f;
    }
    return f == 16;
}
static_assert(FunctionKeysInOrder(), "F1 to F16 are 112 to 127, in order");

// Virtual-key code of a key name (any case), or nullopt.
std::optional<std::uint16_t> KeyByName(std::string_view name);

// Code of a hot-key text: "Ctrl+", "Shift+" and "Alt+" prefixes (any case,
// any order), then a key name of kMenuKeyNames or one character.
// nullopt when the text is none of these.
std::optional<std::uint16_t> ParseHotKey(std::string_view text);

// Code of a keystroke message for matching against hot keys, 0 for none:
// a key down gives its virtual key plus kVirtualKey (Shift, Ctrl and Alt
// alone give 0); a character gives itself in upper case, a control
// character 1 to 26 typed with Ctrl its letter. `modifiers` (the kShift,
// kCtrl, kAlt bits held) is added.
std::uint16_t KeystrokeCode(unsigned message, std::uintptr_t key, std::uint16_t modifiers);

// Upper case of an ISO-8859-1 character.
unsigned char UpperLatin1(unsigned char c);

}  // namespace tarn::menu
