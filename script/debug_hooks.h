// What the statement loop tells the debugger: the kind of each statement
// run, the value of an expression statement, a step before each statement
// and the end of a run. The debug family (functions/debug.cpp) implements
// them with the "DEBUG" dialog; they do nothing while debug mode is off.
#pragma once

#include <cstdint>
#include <string_view>

#include "tarnproc.h"

namespace tarn {

enum DebugKind : std::int8_t {
    kDebugExpression = 0,
    kDebugSingleIf,
    kDebugSkipped,
    kDebugWhile,
    kDebugEnd,
    kDebugSwitch,
    kDebugBreak,
    kDebugContinue,
    kDebugFor,
    kDebugGosub,
    kDebugBlockIf,
    kDebugBlockElse,
    kDebugCase,
};

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
