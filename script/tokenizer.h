// The tokenizer: reads the current line of a context one token at a time.
#pragma once

#include <string_view>

#include "tarnproc.h"

namespace tarn {

// Points the tokenizer at a line (kept in the context's buffers).
void StartLine(ScriptContext* ctx, const char* line);

inline bool IsWordChar(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '@' || c == '_';
}
inline bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}  // namespace tarn
