// Expression evaluation: precedence levels, arithmetic, comparison, and
// function calls through the keyword table.
#pragma once

#include "tarnproc.h"

namespace tarn {

// Evaluates from the current token; on return the current token is the
// first one after the expression. False with the statement error set.
bool Evaluate(ScriptContext* ctx, Value* out);

// Applies a binary operator code to two values (both released); the result
// goes to `out`. False with the error set.
bool ApplyBinary(ScriptContext* ctx, int op, Value& a, Value& b, Value* out);

// A function call whose name token is current; the token after ")" is
// current on return.
bool CallFunction(ScriptContext* ctx, int code, Value* out);

// Turns a host or extender status into the statement's error (false) as
// ViperAnswer's protocol says; true for status >= 0.
bool HandleCallbackStatus(ScriptContext* ctx, intptr_t status);

}  // namespace tarn
