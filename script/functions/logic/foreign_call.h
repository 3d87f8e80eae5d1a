// Calls of C functions whose signature a script writes at run time
// (dllcall), built with libffi. The type words, their sizes on this
// system, and one call. No interpreter types.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tarn::fn {

// Type words of parameters and results (case does not matter):
//   word     16-bit unsigned
//   long     32-bit signed (a C int; "long" is a Windows word: 32 bits)
//   lpstr    pointer to a NUL-terminated text
//   lpbinary pointer to the data of a binary buffer
//   lpnull   null pointer (parameters only, written without a value)
//   void     no result (results only)
enum class ForeignType { Word, Long, LpStr, LpBinary, LpNull, Void };

std::optional<ForeignType> ParseTypeWord(std::string_view word);

inline constexpr int kForeignMaxArgs = 15;

// One argument: Word and Long use `number`, LpStr and LpBinary `pointer`.
struct ForeignArg {
    ForeignType type = ForeignType::Long;
    std::int32_t number = 0;
    void* pointer = nullptr;
};

struct ForeignResult {
    std::int32_t number = 0;  // Word (0..65535), Long; 0 for Void and LpStr
    std::string text;         // LpStr: a copy of the returned text ("" for null)
};

// Calls `fn` with the C calling convention. The result type is Word, Long,
// LpStr or Void; at most kForeignMaxArgs arguments. False when libffi
// cannot prepare the call (an unsupported type).
bool CallForeign(void* fn, ForeignType result, std::span<const ForeignArg> args, ForeignResult* out);

}  // namespace tarn::fn
