#include "functions/logic/key_names.h"

namespace tarn::fn {

std::optional<KeyName> findKeyName(std::string_view name) {
    for (const KeyName& k : kKeyNames) {
        if (k.name.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) {
            char ch = name[i];
            if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
            same = ch == k.name[i];
        }
        if (same) return k;
    }
    return std::nullopt;
}

std::uint32_t characterKeysym(unsigned char c) {
    switch (c) {
        case '\t': return 0xff09;
        case '\r':
        case '\n': return 0xff0d;
        case '\b': return 0xff08;
        case 0x1b: return 0xff1b;
        case 0x7f: return 0xffff;
        default: break;
    }
    if (c < 0x20) return 0;
    // ISO-8859-1 characters are their own keysyms; the C1 controls have
    // none but their Unicode ones.
    if (c >= 0x80 && c < 0xa0) return 0x1000000u | c;
    return c;
}

}  // namespace tarn::fn
