// Expression evaluation: precedence levels, arithmetic, comparison, and
// function calls through the keyword table.
#pragma once

#include <cstdint>
#include <string_view>

#include "tarnproc.h"

namespace tarn {

class OwnedValue;
struct State;

// Evaluates from the current token into `out`; on return the current token
// is the first one after the expression. False with the statement error
// set (what `out` holds then is freed by its owner, unused).
bool Evaluate(ScriptContext* ctx, OwnedValue& out);

// Applies a binary operator code to two values: the result replaces `left`,
// `right` is freed. False with the error set (`left` undefined).
bool ApplyBinary(ScriptContext* ctx, int op, OwnedValue& left, OwnedValue& right);

// Precedence level of a binary operator code, lowest 1 (and, or) to 7
// (power); 0 for anything else. Level 3 holds the comparisons.
int BinaryLevel(int code);
bool IsUnaryOperator(int code);
// Applies a unary operator code to `v` in place. False with the error set.
bool ApplyUnary(ScriptContext* ctx, int op, OwnedValue& v);
// The value of a constant keyword (its table value).
bool ConstantValue(ScriptContext* ctx, std::uint32_t v, OwnedValue& out);
// Value of a number token; an "e" or "e+" that no exponent digit follows
// (1.5e+y) ends it without being part of it.
double LiteralValue(std::string_view t);

// A function call whose name token is current; the token after ")" is
// current on return.
bool CallFunction(ScriptContext* ctx, int code, OwnedValue& out);

// Turns a host or extender status into the statement's error (false) as
// ViperAnswer's protocol says; true for status >= 0.
bool HandleCallbackStatus(ScriptContext* ctx, intptr_t status);

}  // namespace tarn
