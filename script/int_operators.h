// Integer operators: 32-bit results that wrap, errors for division by zero
// and negative powers. Shared by both expression evaluators, inline because
// loops spend most of their time here.
#pragma once

#include <cstdint>

#include "context.h"
#include "errors.h"
#include "keywords.h"

namespace tarn {

inline std::int32_t Wrap(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }

inline std::int32_t IntPow(std::int32_t base, std::int32_t exp) {
    std::uint32_t result = 1, b = static_cast<std::uint32_t>(base);
    std::uint32_t e = static_cast<std::uint32_t>(exp);
    while (e) {
        if (e & 1) result *= b;
        b *= b;
        e >>= 1;
    }
    return static_cast<std::int32_t>(result);
}

inline bool IntArith(State& s, int op, std::int32_t a, std::int32_t b, std::int32_t* r) {
    switch (op) {
        case kw::Plus: *r = Wrap(std::int64_t{a} + b); return true;
        case kw::Minus: *r = Wrap(std::int64_t{a} - b); return true;
        case kw::Mul: *r = Wrap(std::int64_t{a} * b); return true;
        case kw::Div:
            if (b == 0) return Error(s, err::DivideByZero);
            *r = Wrap(std::int64_t{a} / b);
            return true;
        case kw::Mod:
            if (b == 0) return Error(s, err::DivideByZero);
            *r = static_cast<std::int32_t>(std::int64_t{a} % b);
            return true;
        case kw::Pow:
            if (b < 0) return Error(s, err::FPMathFactArgsMustPositive);
            *r = IntPow(a, b);
            return true;
        case kw::Shl: *r = static_cast<std::int32_t>(static_cast<std::uint32_t>(a) << (b & 31)); return true;
        case kw::Shr: *r = a >> (b & 31); return true;
        case kw::BitAnd: *r = a & b; return true;
        case kw::BitOr: *r = a | b; return true;
        case kw::Xor: *r = a ^ b; return true;
        case kw::And: *r = (a && b) ? 1 : 0; return true;
        case kw::Or: *r = (a || b) ? 1 : 0; return true;
    }
    return Error(s, err::IllegalSyntax);
}

// Whether a three-way comparison result satisfies a comparison operator.
inline bool IsComparison(int op) {
    return op == kw::Equal || op == kw::NotEqual || op == kw::NotEqual2 || op == kw::Less || op == kw::LessEq ||
           op == kw::Greater || op == kw::GreaterEq;
}

inline bool Holds(int op, int c) {
    switch (op) {
        case kw::Equal: return c == 0;
        case kw::NotEqual:
        case kw::NotEqual2: return c != 0;
        case kw::Less: return c < 0;
        case kw::LessEq: return c <= 0;
        case kw::Greater: return c > 0;
        case kw::GreaterEq: return c >= 0;
    }
    return false;
}

// A binary operator on two plain integers, as ApplyBinary has it.
inline bool IntBinary(State& s, int op, std::int32_t a, std::int32_t b, std::int32_t* r) {
    if (IsComparison(op)) {
        *r = Holds(op, a < b ? -1 : a > b) ? 1 : 0;
        return true;
    }
    return IntArith(s, op, a, b, r);
}

// A unary operator (not, minus, plus, bitwise not) on an integer.
inline std::int32_t IntUnary(int op, std::int32_t i) {
    switch (op) {
        case kw::Not: return i == 0 ? 1 : 0;
        case kw::Minus: return Wrap(-std::int64_t{i});
        case kw::Plus: return i;
        default: return ~i;
    }
}

}  // namespace tarn
