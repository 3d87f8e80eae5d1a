#include "expression.h"

#include <cmath>
#include <cstring>
#include <string>

#include "context.h"
#include "functions/logic/textops.h"
#include "int_operators.h"
#include "errors.h"
#include "export_guard.h"
#include "keywords.h"
#include "owned_value.h"
#include "string_heap.h"
#include "tokenizer.h"
#include "values.h"
#include "variables.h"

namespace tarn {
namespace {

int LevelOf(const State& s) { return s.token_type == kTokKeyword ? BinaryLevel(s.token_code) : 0; }

bool FloatArith(State& s, int op, double a, double b, Value* out) {
    double r;
    switch (op) {
        case kw::Plus: r = a + b; break;
        case kw::Minus: r = a - b; break;
        case kw::Mul: r = a * b; break;
        case kw::Div:
            if (b == 0) return Error(s, err::DivideByZero);
            r = a / b;
            break;
        case kw::Mod:
            if (b == 0) return Error(s, err::DivideByZero);
            r = a - b * std::trunc(a / b);
            break;
        case kw::Pow:
            if (a < 0 && b != std::floor(b)) return Error(s, err::FPMathNonIntegerPowerNegativeNumber);
            r = std::pow(a, b);
            break;
        case kw::And: SetInt(*out, (a != 0 && b != 0) ? 1 : 0); return true;
        case kw::Or: SetInt(*out, (a != 0 || b != 0) ? 1 : 0); return true;
        default: return Error(s, err::BinaryOperatorType);
    }
    if (!CheckFloat(&r)) return Error(s, err::FPMathResultTooLargeRepresented);
    SetFloat(*out, r);
    return true;
}

int Compare3(double a, double b) { return a < b ? -1 : a > b ? 1 : 0; }

bool IsEquality(int op) { return op == kw::Equal || op == kw::NotEqual || op == kw::NotEqual2; }

bool Compare(ScriptContext* ctx, int op, Value& a, Value& b, Value* out) {
    State& s = S(ctx);
    if (!HasValue(a) || !HasValue(b)) return Error(s, err::NotANumber);
    const bool aNum = a.type & (TARN_INT | TARN_FLOAT), bNum = b.type & (TARN_INT | TARN_FLOAT);
    int c = 0;
    if (aNum && bNum) {
        if (IsIntValue(a) && IsIntValue(b)) {
            c = a.integer < b.integer ? -1 : a.integer > b.integer;
        } else if (IsEquality(op)) {
            std::string x, y;
            ValueAsString(ctx, a, &x);
            ValueAsString(ctx, b, &y);
            c = x == y ? 0 : 1;
        } else {
            double x = 0, y = 0;
            ValueToFloat(ctx, a, &x);
            ValueToFloat(ctx, b, &y);
            c = Compare3(x, y);
        }
    } else if (aNum || bNum) {
        Value& num = aNum ? a : b;
        Value& str = aNum ? b : a;
        std::int32_t si;
        double sf;
        const std::string_view st = TextOf(ctx, str);
        if (IsIntValue(num) && ParseInteger(st, &si)) {
            c = num.integer < si ? -1 : num.integer > si;
            if (!aNum) c = -c;
        } else if (ParseFloat(st, &sf)) {
            double n = 0;
            ValueToFloat(ctx, num, &n);
            c = Compare3(n, sf);
            if (!aNum) c = -c;
        } else {
            std::string ns;
            ValueAsString(ctx, num, &ns);
            c = fn::strCompare(ns, st, false);
            if (!aNum) c = -c;
        }
    } else {
        const std::string_view x = TextOf(ctx, a), y = TextOf(ctx, b);
        std::int32_t xi, yi;
        double xf, yf;
        if (ParseInteger(x, &xi) && ParseInteger(y, &yi)) c = xi < yi ? -1 : xi > yi;
        else if (ParseFloat(x, &xf) && ParseFloat(y, &yf)) c = Compare3(xf, yf);
        else c = fn::strCompare(x, y, false);
    }
    SetInt(*out, Holds(op, c) ? 1 : 0);
    return true;
}

// The evaluation functions below fill a value their caller owns: on a
// failure (or an exception) the owner frees whatever it holds.
bool Level(ScriptContext* ctx, int level, OwnedValue& out);

bool Unary(ScriptContext* ctx, OwnedValue& out);

bool Primary(ScriptContext* ctx, OwnedValue& out) {
    State& s = S(ctx);
    out.Reset();
    switch (s.token_type) {
        case kTokEnd: return Error(s, err::IncompleteStatement);
        case kTokInteger: {
            std::int32_t v;
            if (ParseInteger(s.token, &v)) {
                SetInt(*out, v);
            } else {
                double d = LiteralValue(s.token);
                if (!CheckFloat(&d)) return Error(s, err::FPMathResultTooLargeRepresented);
                SetFloat(*out, d);
            }
            get_token(ctx);
            return true;
        }
        case kTokFloat: {
            double d = LiteralValue(s.token);
            if (!CheckFloat(&d)) return Error(s, err::FPMathResultTooLargeRepresented);
            SetFloat(*out, d);
            get_token(ctx);
            return true;
        }
        case kTokString: {
            const std::uint16_t off = StoreText(ctx, s.token);
            if (!off) return false;
            SetText(*out, off);
            get_token(ctx);
            return true;
        }
        case kTokVariable: {
            const VariableEntry& v = ctx->variables[s.token_var];
            if (!(v.type & (TARN_INT | TARN_STRING | TARN_FLOAT))) return Error(s, err::UninitializedVariable);
            if (!CopyValue(ctx, Value{v.real, v.integer, v.type, v.text, -1}, *out)) return false;
            get_token(ctx);
            return true;
        }
        default: break;
    }
    const int code = s.token_code;
    if (code == kw::Open) {
        get_token(ctx);
        if (s.error) return false;
        if (!Level(ctx, 1, out)) return false;
        if (s.token_type != kTokKeyword || s.token_code != kw::Close) return Error(s, err::UnbalancedParenthesis);
        get_token(ctx);
        return true;
    }
    const KeywordEntry* e = KeywordOf(ctx, code);
    if (!e) return Error(s, err::IllegalSyntax);
    if (code == kw::Object || e->kind == TARN_KW_FUNCTION || e->kind == TARN_KW_VARFUNCTION || code >= kHostCodeBase)
        return CallFunction(ctx, code, out);
    if (e->kind == TARN_KW_CONSTANT) {
        if (!ConstantValue(ctx, e->value, out)) return false;
        get_token(ctx);
        return true;
    }
    if (code == kw::Assign) return Error(s, err::AssignmentNotLegal);
    return Error(s, err::IllegalSyntax);
}

bool Unary(ScriptContext* ctx, OwnedValue& out) {
    State& s = S(ctx);
    if (s.token_type == kTokKeyword && IsUnaryOperator(s.token_code)) {
        const int op = s.token_code;
        get_token(ctx);
        if (s.error) return false;
        return Unary(ctx, out) && ApplyUnary(ctx, op, out);
    }
    return Primary(ctx, out);
}

bool Level(ScriptContext* ctx, int level, OwnedValue& out) {
    State& s = S(ctx);
    if (level == 8) return Unary(ctx, out);
    if (!Level(ctx, level + 1, out)) return false;
    while (LevelOf(s) == level) {
        const int op = s.token_code;
        get_token(ctx);
        if (s.error) return false;
        OwnedValue right(ctx);
        if (!Level(ctx, level + 1, right)) return false;
        if (!ApplyBinary(ctx, op, out, right)) return false;
    }
    if (level == 3 && s.token_type == kTokKeyword && s.token_code == kw::Assign)
        return Error(s, err::AssignmentNotLegal);
    return true;
}

}  // namespace

int BinaryLevel(int code) {
    switch (code) {
        case kw::And:
        case kw::Or: return 1;
        case kw::BitAnd:
        case kw::BitOr:
        case kw::Xor: return 2;
        case kw::Equal:
        case kw::NotEqual:
        case kw::NotEqual2:
        case kw::Less:
        case kw::LessEq:
        case kw::Greater:
        case kw::GreaterEq: return 3;
        case kw::Shl:
        case kw::Shr: return 4;
        case kw::Plus:
        case kw::Minus: return 5;
        case kw::Mul:
        case kw::Div:
        case kw::Mod: return 6;
        case kw::Pow: return 7;
        default: return 0;
    }
}

bool ConstantValue(ScriptContext* ctx, std::uint32_t v, OwnedValue& out) {
    if ((v & 0xFFFFFF00u) == 0xF0F0F000u) {
        static constexpr double kFloats[] = {3.141592653589793,
                                             2.718281828459045,
                                             0.017453292519943,
                                             57.29577951308232,
                                             6.6256e-34,
                                             6.6252e-27,
                                             32.174,
                                             9.80665,
                                             1.66043e-27,
                                             6.02252e+23,
                                             1.38054e-23,
                                             8.8541853e-12,
                                             0.5772156649015339,
                                             96487.0,
                                             1.618033988749895,
                                             6.67e-11,
                                             299792500.0,
                                             1.256637,
                                             206.265,
                                             186272.0};
        const std::uint32_t n = v & 0xFF;
        if (n >= std::size(kFloats)) return Error(S(ctx), err::IllegalSyntax);
        SetFloat(*out, kFloats[n]);
    } else if ((v & 0xFFFFFF00u) == 0xFFF0F000u) {
        static constexpr const char* kStrings[] = {"\r\n", "\t", "\r", "\n"};
        const std::uint32_t n = v & 0xFF;
        if (n >= std::size(kStrings)) return Error(S(ctx), err::IllegalSyntax);
        const std::uint16_t off = StoreText(ctx, kStrings[n]);
        if (!off) return false;
        SetText(*out, off);
    } else {
        SetInt(*out, static_cast<std::int32_t>(v));
    }
    return true;
}

bool IsUnaryOperator(int code) {
    return code == kw::Not || code == kw::Minus || code == kw::Plus || code == kw::BitNot;
}

// Value of a number token; an "e" or "e+" that no exponent digit follows
// (1.5e+y) ends it without being part of it.
double LiteralValue(std::string_view t) {
    double d = 0;
    while (!t.empty() && !ParseFloat(t, &d)) t.remove_suffix(1);
    return d;
}

bool ApplyUnary(ScriptContext* ctx, int op, OwnedValue& v) {
    State& s = S(ctx);
    const unsigned t = NumericType(ctx, *v);
    if (!t) return Error(s, err::NotANumber);
    if (t == TARN_FLOAT) {
        const double d = v->real;
        v.Reset();
        if (op == kw::Not || op == kw::BitNot) return Error(s, err::UnaryOperatorType);
        SetFloat(*v, op == kw::Minus ? -d : d);
        return true;
    }
    const std::int32_t i = v->integer;
    v.Reset();
    SetInt(*v, IntUnary(op, i));
    return true;
}

bool ApplyBinary(ScriptContext* ctx, int op, OwnedValue& left, OwnedValue& right) {
    State& s = S(ctx);
    Value& a = *left;
    Value& b = *right;
    bool ok;
    Value r;
    SetUndefined(r);
    if (IsComparison(op)) {
        ok = Compare(ctx, op, a, b, &r);
    } else {
        const unsigned ta = NumericType(ctx, a), tb = NumericType(ctx, b);
        if (!ta || !tb) {
            ok = Error(s, err::NotANumber);
        } else if (ta == TARN_INT && tb == TARN_INT) {
            std::int32_t v;
            ok = IntArith(s, op, a.integer, b.integer, &v);
            if (ok) SetInt(r, v);
        } else {
            double x = 0, y = 0;
            ValueToFloat(ctx, a, &x);
            ValueToFloat(ctx, b, &y);
            ok = FloatArith(s, op, x, y, &r);
        }
    }
    left.Reset();
    right.Reset();
    *left = r;
    return ok;
}

bool Evaluate(ScriptContext* ctx, OwnedValue& out) {
    out.Reset();
    if (S(ctx).error) return false;
    return Level(ctx, 1, out);
}

}  // namespace tarn

using namespace tarn;

static int SubExpression(ScriptContext* ctx, Value* out, int assignment_allowed) {
    State& s = S(ctx);
    if (s.token_type == kTokVariable) {
        const std::uint16_t slot = s.token_var;
        const char* save_start = s.token_start;
        const std::int16_t before = s.error;
        get_token(ctx);
        if (s.token_type == kTokKeyword && s.token_code == kw::Assign) {
            if (!assignment_allowed) return Error(s, err::AssignmentNotLegal), 0;
            get_token(ctx);
            if (s.error) return 0;
            OwnedValue v(ctx);
            if (!Evaluate(ctx, v)) return 0;
            if (s.token_type != kTokEnd) return Error(s, err::ExpressionContinues), 0;
            AssignVariable(ctx, slot, v.Release());
            if (out) SetUndefined(*out);
            return 1;
        }
        // Not an assignment: step back onto the variable.
        s.error = before;
        s.cursor = save_start;
        get_token(ctx);
    }
    // The host's value is written only with a complete result.
    if (out) SetUndefined(*out);
    OwnedValue v(ctx);
    if (!Evaluate(ctx, v)) return 0;
    if (out) *out = v.Release();
    return 1;
}

extern "C" int ProcessSubExpression(ScriptContext* ctx, Value* out, int assignment_allowed) {
    return Guarded(
        0, [&] { return SubExpression(ctx, out, assignment_allowed); }, ctx);
}
