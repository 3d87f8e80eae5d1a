// "sendkey" text read into keystrokes:
//   ! + ^    hold Alt, Shift, Ctrl for the next key (they combine)
//   ~        Enter
//   {c}      the character c itself ({+}, {~}, {{}, {}})
//   {name}   a named key (key_names.h); {name n} and {c n} n times
//   other    the key that types the character.
// An unknown name, a bad count or a missing "}" stops the text there.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tarn::fn {

enum KeyHold : unsigned { kHoldShift = 1, kHoldCtrl = 2, kHoldAlt = 4 };

struct KeyStroke {
    std::uint32_t keysym;
    unsigned hold;  // KeyHold bits
    bool operator==(const KeyStroke&) const = default;
};

struct SendKeyText {
    std::vector<KeyStroke> keys;  // up to where the text stopped
    bool complete = true;         // false: stopped at a bad brace
};

SendKeyText parseSendKey(std::string_view text);

}  // namespace tarn::fn
