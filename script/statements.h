// The statement loop: line reader, %substitution, labels, structures and
// their stack, jumps, call(), error reporting and termination.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tarnproc.h"

namespace tarn {

// Runs a script text (writable: jumps are cached in it) in the context.
// Returns 0 when it ended normally (end of text, exit, return at top
// level), else the code that stopped it.
int RunScript(ScriptContext* ctx, char* text, std::uint32_t length);

// call(file, parameters): runs another script file in this context.
void RunCall(ScriptContext* ctx, std::string_view file, std::string_view parameters);

// %substitution of a line; false with error 3047, 3048 or 3101 set.
bool SubstituteLine(ScriptContext* ctx, const char* line, char* out);

// Text of a script file or buffer starting with a UTF-16 byte order mark in
// the 8-bit code page; nullopt when it cannot be converted.
std::optional<std::string> FromUtf16(std::string_view bytes);
// True when the bytes start with a UTF-16 byte-order mark (either order).
bool HasUtf16Mark(std::string_view bytes);

// Message box of a statement error: caption "CODE:  text", text the line,
// two line breaks, "Tarn Version:" and the version.
std::string ErrorCaption(int code);

}  // namespace tarn
