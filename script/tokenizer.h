// The tokenizer: reads the current line of a context one token at a time.
#pragma once

#include <string_view>

#include "tarnproc.h"

namespace tarn {

// Points the tokenizer at a line (kept in the context's buffers).
void StartLine(ScriptContext* ctx, const char* line);

// Builds the per-byte keyword index once per process and checks the table's
// order ("FSOP782") and indexes ("FNP983"); true when both hold.
bool KeywordIndexOk();
// Same checks over any table (tests feed broken tables): 0 fine, 1 order,
// 2 index.
int CheckKeywordTable(const KeywordEntry* table, int count);

inline bool IsWordChar(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '@' || c == '_';
}
inline bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
// Double-byte lead bytes: none in the ISO-8859-1 code page the library uses.
inline bool IsLeadByte(unsigned char) { return false; }

}  // namespace tarn
