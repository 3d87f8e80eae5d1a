// The variable table: the host's block of VariableEntry records. Names are
// lower case, at most 30 characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tarnproc.h"

namespace tarn {

inline constexpr std::uint16_t kNoVariable = 0xFFFF;

// Slot of a name (already lower case, <= 30 chars), or kNoVariable.
std::uint16_t LookupVariable(ScriptContext* ctx, std::string_view name);
// Slot of a name, entered as "undefined" when missing; kNoVariable with
// error 3097 set when the table is full.
std::uint16_t EnterVariable(ScriptContext* ctx, std::string_view name);
// Names from outside: lower-cased, and characters from the 31st on added
// byte-wise to positions 6 onward in turn.
std::string FoldName(std::string_view name);

// Setting and reading by name (names from outside are folded).
bool SetVariableText(ScriptContext* ctx, std::string_view name, std::string_view text);
bool SetVariableInt(ScriptContext* ctx, std::string_view name, std::int32_t v);
bool GetVariableText(ScriptContext* ctx, std::string_view name, std::string* out);
// Stores a value into a slot; takes ownership of its string.
void AssignVariable(ScriptContext* ctx, std::uint16_t slot, const Value& v);
// Deletes a variable and frees its string; the used length shrinks when the
// last slot is freed.
void DropVariable(ScriptContext* ctx, std::uint16_t slot);
VariableEntry& Variable(ScriptContext* ctx, std::uint16_t slot);
// Frees the name index of the context (a new block, or shutdown).
void ForgetVariableIndex(ScriptContext* ctx);

// One value of one variable: equal stamps mean the variable has not been
// written in between. A stamp with `known` false matches nothing (no index).
struct VariableStamp {
    std::uint64_t index = 0;
    std::uint64_t write = 0;
    // Slots not written since the index was built share write 0.
    std::uint16_t slot = 0xFFFF;
    bool known() const { return index != 0; }
    bool operator==(const VariableStamp&) const = default;
};
VariableStamp StampOfVariable(ScriptContext* ctx, std::uint16_t slot);

// Script parameters: words separated by blanks or tabs, quoted with ", ' or
// ` (a doubled quote inside stands for one).
std::vector<std::string> SplitParameters(std::string_view text);
// Sets param1..param9 and Param0 as DLLServices 11 and call() do; returns
// the count.
int SetParameters(ScriptContext* ctx, std::string_view text);

}  // namespace tarn
