// The X11 clipboard (the CLIPBOARD selection) for the binary family, through
// the xclip program, which keeps serving what was put after we return.
// Clipboard formats are the classic numbers, mapped to X targets.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarn::fn {

enum class ClipStatus { Ok, NoClipboard, Empty, NoFormat, BadFormat, Failed };

// The X target of a format number (1 text, 7 OEM text, 13 Unicode text,
// 8 device-independent bitmap), or nothing.
std::optional<std::string> ClipTarget(int format);

// The data of a format, converted to the format's layout (Unicode text as
// UTF-16LE, a bitmap without the BMP file header).
ClipStatus ClipGet(int format, std::string* out);
// Puts data of a format; empty data empties the clipboard.
ClipStatus ClipPut(int format, std::string_view data);

}  // namespace tarn::fn
