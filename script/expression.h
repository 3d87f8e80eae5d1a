// Expression evaluation: precedence levels, arithmetic, comparison, and
// function calls through the keyword table.
#pragma once

#include "tarnproc.h"

namespace tarn {

class OwnedValue;

// Evaluates from the current token into `out`; on return the current token
// is the first one after the expression. False with the statement error
// set (what `out` holds then is freed by its owner, unused).
bool Evaluate(ScriptContext* ctx, OwnedValue& out);

// Applies a binary operator code to two values: the result replaces `left`,
// `right` is freed. False with the error set (`left` undefined).
bool ApplyBinary(ScriptContext* ctx, int op, OwnedValue& left, OwnedValue& right);

// A function call whose name token is current; the token after ")" is
// current on return.
bool CallFunction(ScriptContext* ctx, int code, OwnedValue& out);

// Turns a host or extender status into the statement's error (false) as
// ViperAnswer's protocol says; true for status >= 0.
bool HandleCallbackStatus(ScriptContext* ctx, intptr_t status);

}  // namespace tarn
