// Single-step debugging: the kinds of statement the executor records for the
// "DEBUG" dialog, their outcome words, and the dialog itself.
#pragma once

#include <string>
#include <string_view>

#include "tarnproc.h"

namespace tarn {

enum DebugKind : std::int8_t {
    kDebugExpression = 0, kDebugSingleIf, kDebugSkipped, kDebugWhile, kDebugEnd, kDebugSwitch, kDebugBreak,
    kDebugContinue, kDebugFor, kDebugGosub, kDebugBlockIf, kDebugBlockElse, kDebugCase,
};

// The outcome words of a statement kind ("" for an unknown kind).
std::string DebugOutcome(int kind, int truth);
// The outcome of an error code, by whether it stopped the script.
std::string DebugErrorOutcome(int code, bool stopped);

// Notes the statement about to run (kind and truth are reset).
void DebugNote(ScriptContext* ctx, int kind, int truth);

// Notes an expression or assignment statement and its value.
void DebugNoteValue(ScriptContext* ctx, const Value& v);

// Shows the dialog before a statement when debug mode is on; false when the
// user cancelled (the statement error is then the user's cancel).
bool DebugStep(ScriptContext* ctx, std::string_view statement);
// After a run (result 0: ended normally) with debug mode on: "END OF JOB",
// or the outcome of the error that stopped the script.
void DebugEnd(ScriptContext* ctx, int result);

}  // namespace tarn
