#include "functions/logic/sendkey_text.h"

#include "functions/logic/key_names.h"

namespace tarn::fn {

namespace {

// The count of "{name n}": decimal digits only.
bool readCount(std::string_view s, std::uint32_t* n) {
    if (s.empty() || s.size() > 6) return false;
    *n = 0;
    for (char ch : s) {
        if (ch < '0' || ch > '9') return false;
        *n = *n * 10 + static_cast<std::uint32_t>(ch - '0');
    }
    return true;
}

}  // namespace

SendKeyText parseSendKey(std::string_view text) {
    SendKeyText out;
    unsigned hold = 0;
    auto push = [&](std::uint32_t keysym, std::uint32_t times) {
        for (std::uint32_t i = 0; i < times; ++i) out.keys.push_back({keysym, hold});
        hold = 0;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '!') hold |= kHoldAlt;
        else if (ch == '+') hold |= kHoldShift;
        else if (ch == '^') hold |= kHoldCtrl;
        else if (ch == '~') push(0xff0d, 1);
        else if (ch == '{') {
            // {c}: one character, whatever it is (so "{}}" is "}").
            if (i + 2 < text.size() && text[i + 2] == '}') {
                if (std::uint32_t k = characterKeysym(static_cast<unsigned char>(text[i + 1]))) push(k, 1);
                i += 2;
                continue;
            }
            const std::size_t close = text.find('}', i + 2);
            if (close == std::string_view::npos) {
                out.complete = false;
                return out;
            }
            std::string_view inner = text.substr(i + 1, close - i - 1);
            std::uint32_t times = 1;
            if (const std::size_t blank = inner.rfind(' '); blank != std::string_view::npos && blank > 0) {
                if (!readCount(inner.substr(blank + 1), &times)) {
                    out.complete = false;
                    return out;
                }
                inner = inner.substr(0, blank);
            }
            std::uint32_t keysym = 0;
            if (inner.size() == 1) keysym = characterKeysym(static_cast<unsigned char>(inner[0]));
            else if (auto named = findKeyName(inner)) keysym = named->keysym;
            if (!keysym) {
                out.complete = false;
                return out;
            }
            push(keysym, times);
            i = close;
        } else if (std::uint32_t k = characterKeysym(static_cast<unsigned char>(ch))) {
            push(k, 1);
        }
    }
    return out;
}

}  // namespace tarn::fn
