// How a script names a window: window ids ("#WIN$ID#" and 8 hexadecimal
// digits) and the title rules, one window at a time. No interpreter types.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarn::fn {

inline constexpr std::string_view kWindowIdPrefix = "#WIN$ID#";

// "#WIN$ID#" followed by the handle as 8 upper-case hexadecimal digits.
std::string windowIdText(std::uint32_t handle);
// The handle of a window id: exactly 16 characters beginning "#WIN$ID#"
// and 8 hexadecimal digits; nothing for any other text.
std::optional<std::uint32_t> parseWindowId(std::string_view name);

// Whether a non-empty, non-id name matches a title (case-sensitive):
//   "~text"   text occurs anywhere in the title;
//   "~text~"  text ends the title;
//   "text~"   text is the whole title;
//   "text"    the title begins with text.
// Empty titles and "WinOldAp" never match.
bool titleMatches(std::string_view name, std::string_view title);

}  // namespace tarn::fn
