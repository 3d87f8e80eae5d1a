// Values and their conversions: integer, floating point and string, with a
// value carrying every representation it has been converted to.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tarnproc.h"

namespace tarn {

// Pure text conversions.
bool ParseInteger(std::string_view s, std::int32_t* out);  // blanks, signs, digits only
bool ParseFloat(std::string_view s, double* out);          // decimal with fraction/exponent
bool FloatToInt(double v, std::int32_t* out);              // half away from zero, |v| <= 2147483645
std::string FormatInt(std::int32_t v);
std::string FormatFloat(double v, int decimals);

// Float results of arithmetic: magnitude above 1e300 is error 1342 (false),
// below 1e-300 becomes 0.
bool CheckFloat(double* v);

// Value records.
inline void SetInt(Value& v, std::int32_t i) { v = Value{0.0, i, TARN_INT, 0, -1}; }
inline void SetFloat(Value& v, double d) { v = Value{d, 0, TARN_FLOAT, 0, -1}; }
inline void SetText(Value& v, std::uint16_t off) { v = Value{0.0, 0, TARN_STRING, off, -1}; }
inline void SetHandle(Value& v, std::int32_t h) { v = Value{0.0, h, TARN_HANDLE, 0, -1}; }
inline void SetUndefined(Value& v) { v = Value{0.0, 0, TARN_UNDEFINED, 0, -1}; }
inline bool HasValue(const Value& v) { return v.type & (TARN_INT | TARN_STRING | TARN_FLOAT); }
inline bool IsIntValue(const Value& v) { return (v.type & TARN_INT) != 0; }
inline bool IsHandleValue(const Value& v) { return (v.type & TARN_HANDLE) == TARN_HANDLE; }

// Frees a value's string and marks it undefined.
void ReleaseValue(ScriptContext* ctx, Value& v);
// Drops the string representation of a numeric value.
void DropText(ScriptContext* ctx, Value& v);

// Text of a value that has a string representation ("" when it has none).
std::string_view TextOf(const ScriptContext* ctx, const Value& v);

// Numeric class of a value: 1 integer, 32 floating point (strings parsed,
// and the value gains the flag), 0 not a number.
unsigned NumericType(ScriptContext* ctx, Value& v);

// Conversions used by operators and argument descriptors; they add the
// representation to the value. False when not convertible (no error set,
// except ValueToText which may set 3096).
bool ValueToInt(ScriptContext* ctx, Value& v, std::int32_t* out);
bool ValueToFloat(ScriptContext* ctx, Value& v, double* out);
bool ValueToText(ScriptContext* ctx, Value& v);
// Text form without storing it in the heap.
bool ValueAsString(ScriptContext* ctx, const Value& v, std::string* out);

// Copies a value, duplicating its string.
bool CopyValue(ScriptContext* ctx, const Value& from, Value& to);

}  // namespace tarn
