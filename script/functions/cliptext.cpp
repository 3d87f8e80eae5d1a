// The text clipboard of the family: the X11 CLIPBOARD selection (through
// clipboard.h) as Latin-1 text. No display is 1034.
#include <string>

#include "builtins.h"
#include "functions/logic/clipboard.h"
#include "errors.h"

namespace tarn::fn {
namespace {

constexpr int kText = 1, kOemText = 7, kBitmap = 2, kDib = 8, kUnicode = 13;

// The clipboard's text without its final NUL; nothing with the error set.
std::optional<std::string> Text(Call& c, int format, int noText) {
    std::string data;
    switch (ClipGet(format, &data)) {
        case ClipStatus::Ok:
            if (!data.empty() && data.back() == '\0') data.pop_back();
            return data;
        case ClipStatus::Empty: return std::string();
        case ClipStatus::NoFormat:
            if (noText) {
                c.Fail(noText);
                return std::nullopt;
            }
            return std::string();
        default: c.Fail(err::ClipboardOwnedByAnotherApp); return std::nullopt;
    }
}

void ClipGetText(Call& c) {
    if (auto t = Text(c, kText, 0)) c.ReturnText(*t);
}

// clipgetex(format): 1 and 7 text; 13 the Unicode text, as Latin-1 where
// it fits; the bitmap formats 2 and 8 cannot be a string (1536); others 1535.
void ClipGetEx(Call& c) {
    const int format = c.Int(0);
    if (format == kBitmap || format == kDib) return c.Fail(err::ClipGetExFormatNotSupported);
    if (format != kText && format != kOemText && format != kUnicode) return c.Fail(err::ClipGetExInvalidFormat);
    if (auto t = Text(c, kText, 0)) c.ReturnText(*t);
}

// Text is offered as UTF8_STRING, the target today's programs ask for:
// handed over as the Unicode format (UTF-16LE, Latin-1 byte b is U+00bb).
bool PutLatin1(std::string_view text) {
    std::string utf16;
    utf16.reserve(2 * text.size() + 2);
    for (char ch : text) {
        utf16.push_back(ch);
        utf16.push_back('\0');
    }
    utf16.append(2, '\0');
    return ClipPut(kUnicode, utf16) == ClipStatus::Ok;
}

void ClipPutText(Call& c) {
    if (!PutLatin1(c.Str(0))) return c.Fail(err::ClipboardOwnedByAnotherApp);
    c.ReturnInt(1);
}

// clipappend(text): the clipboard's text with the text after it; a
// clipboard holding something else than text is 1035.
void ClipAppend(Call& c) {
    const auto t = Text(c, kText, err::ClipboardNoTextForClipAppend);
    if (!t) return;
    if (!PutLatin1(*t + std::string(c.Str(0)))) return c.Fail(err::ClipboardOwnedByAnotherApp);
    c.ReturnInt(1);
}

constexpr BuiltinEntry kClipText[] = {
    {"clipget", ClipGetText},
    {"clipgetex", ClipGetEx},
    {"clipput", ClipPutText},
    {"clipappend", ClipAppend},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(cliptext, tarn::fn::kClipText)
