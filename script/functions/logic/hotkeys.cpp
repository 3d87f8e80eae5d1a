#include "functions/logic/hotkeys.h"

#include "functions/logic/ini_file.h"  // SameNoCase

namespace tarn::menu {
namespace {

struct Prefix {
    std::string_view text;
    std::uint16_t bit;
};
constexpr Prefix kPrefixes[] = {{"Ctrl+", kCtrl}, {"Shift+", kShift}, {"Alt+", kAlt}};

}  // namespace

unsigned char UpperLatin1(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    // à to þ, less ÷, have their capitals 32 below.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
    return c;
}

std::optional<std::uint16_t> KeyByName(std::string_view name) {
    for (const KeyName& k : kMenuKeyNames)
        if (SameNoCase(k.name, name)) return k.vk;
    return std::nullopt;
}

std::optional<std::uint16_t> ParseHotKey(std::string_view text) {
    std::uint16_t mods = 0;
    for (bool more = true; more;) {
        more = false;
        for (const Prefix& p : kPrefixes) {
            // "Ctrl++" is Ctrl with the plus key: the last character is never a prefix's.
            if (text.size() > p.text.size() && SameNoCase(text.substr(0, p.text.size()), p.text)) {
                mods |= p.bit;
                text.remove_prefix(p.text.size());
                more = true;
            }
        }
    }
    if (text.size() == 1) {
        const unsigned char c = UpperLatin1(static_cast<unsigned char>(text[0]));
        if (c <= ' ') return std::nullopt;
        return static_cast<std::uint16_t>(c | mods);
    }
    if (auto vk = KeyByName(text)) return static_cast<std::uint16_t>((kVirtualKey + *vk) | mods);
    return std::nullopt;
}

std::uint16_t KeystrokeCode(unsigned message, std::uintptr_t key, std::uint16_t modifiers) {
    std::uint16_t code = 0;
    if (message == kKeyDown || message == kSysKeyDown) {
        if (key == kVkShift || key == kVkCtrl || key == kVkAlt || key == 0 || key > 0xFF) return 0;
        code = static_cast<std::uint16_t>(kVirtualKey + key);
    } else if (message == kChar || message == kSysChar) {
        unsigned char c = static_cast<unsigned char>(key & 0xFF);
        if ((modifiers & kCtrl) && c >= 1 && c <= 26) c = static_cast<unsigned char>('A' + c - 1);
        c = UpperLatin1(c);
        if (c == 0) return 0;
        code = c;
    } else {
        return 0;
    }
    return static_cast<std::uint16_t>(code | (modifiers & (kShift | kCtrl | kAlt)));
}

}  // namespace tarn::menu
