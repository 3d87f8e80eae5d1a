#include "values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "context.h"
#include "errors.h"
#include "string_heap.h"

namespace tarn {

bool ParseInteger(std::string_view s, std::int32_t* out) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool negative = false;
    while (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') negative = !negative;
        ++i;
    }
    if (i == s.size()) return false;
    std::int64_t v = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > 2147483648LL) return false;
    }
    if (negative) v = -v;
    if (v > 2147483647LL) return false;
    *out = static_cast<std::int32_t>(v);
    return true;
}

namespace {

// Power of ten of the leading digit of a decimal number text (digits, an
// optional "." and exponent): tells an overflow from an underflow when the
// text does not fit a double.
long DecimalExponent(std::string_view t) {
    long lead = 0;   // digits before the point, after leading zeros
    long zeros = 0;  // zeros after the point before the first other digit
    bool seen = false, point = false;
    std::size_t i = 0;
    for (; i < t.size() && t[i] != 'e' && t[i] != 'E'; ++i) {
        if (t[i] == '.') point = true;
        else if (!seen && t[i] == '0') zeros += point;
        else if (!point) seen = true, ++lead;
        else seen = true;
    }
    long exponent = 0;
    if (i < t.size()) {
        bool negative = false;
        std::size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) negative = t[j++] == '-';
        for (; j < t.size(); ++j) exponent = std::min(exponent * 10 + (t[j] - '0'), 100000L);
        if (negative) exponent = -exponent;
    }
    if (!seen) return -100000;  // all zeros
    return (lead > 0 ? lead - 1 : -(zeros + 1)) + exponent;
}

}  // namespace

bool ParseFloat(std::string_view s, double* out) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const std::size_t start = i;
    bool digits = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, digits = true;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, digits = true;
    }
    if (!digits) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j >= s.size() || s[j] < '0' || s[j] > '9') return false;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j;
        i = j;
    }
    if (i != s.size()) return false;
    double v = 0;
    const auto r = std::from_chars(s.data() + start, s.data() + i, v);
    if (r.ec == std::errc::invalid_argument) return false;
    if (r.ec == std::errc::result_out_of_range) v = DecimalExponent(s.substr(start, i - start)) > 0 ? HUGE_VAL : 0.0;
    *out = negative ? -v : v;
    return true;
}

bool FloatToInt(double v, std::int32_t* out) {
    if (!(std::fabs(v) <= 2147483645.0)) return false;
    *out = static_cast<std::int32_t>(std::round(v));
    return true;
}

std::string FormatInt(std::int32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", v);
    return buf;
}

std::string FormatFloat(double v, int d) {
    char buf[512];
    if (d == 0) {
        std::snprintf(buf, sizeof buf, "%.0f", std::round(v));
        return buf;
    }
    const bool below1 = std::fabs(v) < 1.0;
    const int precision = d < 0 ? (below1 ? 8 : 9) : (below1 ? d : d + 1);
    std::snprintf(buf, sizeof buf, "%#1.*g", precision, v);
    std::string s = buf;
    if (s.find_first_of("eE") != std::string::npos || s.find_first_of("ni") != std::string::npos) return s;
    bool added = false;
    if (s.find('.') == std::string::npos) {
        s += ".0";
        added = true;
    }
    if (d < 0 || added) {
        while (s.back() == '0') s.pop_back();
    }
    const std::size_t dot = s.find('.');
    std::size_t fraction = s.size() - dot - 1;
    const std::size_t want = d < 0 ? 1 : static_cast<std::size_t>(d);
    while (fraction < want) s.push_back('0'), ++fraction;
    return s;
}

bool CheckFloat(double* v) {
    if (std::isnan(*v) || std::fabs(*v) > 1e300) return false;
    if (std::fabs(*v) < 1e-300) *v = 0.0;
    return true;
}

void ReleaseValue(ScriptContext* ctx, Value& v) {
    if (v.text) FreeText(ctx, v.text);
    SetUndefined(v);
}

void DropText(ScriptContext* ctx, Value& v) {
    if (!(v.type & (TARN_INT | TARN_FLOAT))) return;
    if (v.text) FreeText(ctx, v.text);
    v.text = 0;
    v.type &= ~TARN_STRING;
}

std::string_view TextOf(const ScriptContext* ctx, const Value& v) {
    if (!v.text) return {};
    return HeapText(S(ctx).heap, v.text);
}

unsigned NumericType(ScriptContext* ctx, Value& v) {
    if (v.type & TARN_INT) return TARN_INT;
    if (v.type & TARN_FLOAT) return TARN_FLOAT;
    if (!(v.type & TARN_STRING)) return 0;
    const std::string_view t = TextOf(ctx, v);
    std::int32_t i;
    if (ParseInteger(t, &i)) {
        v.integer = i;
        v.type |= TARN_INT;
        return TARN_INT;
    }
    double d;
    if (ParseFloat(t, &d)) {
        v.real = d;
        v.type |= TARN_FLOAT;
        return TARN_FLOAT;
    }
    return 0;
}

bool ValueToInt(ScriptContext* ctx, Value& v, std::int32_t* out) {
    switch (NumericType(ctx, v)) {
        case TARN_INT: *out = v.integer; return true;
        case TARN_FLOAT: return FloatToInt(v.real, out);
        default: return false;
    }
}

bool ValueToFloat(ScriptContext* ctx, Value& v, double* out) {
    switch (NumericType(ctx, v)) {
        case TARN_INT: *out = v.integer; return true;
        case TARN_FLOAT: *out = v.real; return true;
        default: return false;
    }
}

bool ValueAsString(ScriptContext* ctx, const Value& v, std::string* out) {
    if (v.type & TARN_STRING) {
        *out = TextOf(ctx, v);
        return true;
    }
    if (v.type & TARN_INT) {
        *out = FormatInt(v.integer);
        return true;
    }
    if (v.type & TARN_FLOAT) {
        *out = FormatFloat(v.real, S(ctx).decimals);
        return true;
    }
    return false;
}

bool ValueToText(ScriptContext* ctx, Value& v) {
    if (v.type & TARN_STRING) return true;
    std::string s;
    if (!ValueAsString(ctx, v, &s)) return false;
    const std::uint16_t off = StoreText(ctx, s);
    if (!off) return false;
    v.text = off;
    v.type |= TARN_STRING;
    return true;
}

bool CopyValue(ScriptContext* ctx, const Value& from, Value& to) {
    to = from;
    if (from.text) {
        // Blocks never move, so the source stays valid while the copy is
        // allocated beside it.
        StringHeap* heap = S(ctx).heap;
        const std::size_t n = std::strlen(HeapText(heap, from.text));
        const std::uint16_t off = n < 0xFFFF ? VMalloc(heap, static_cast<std::uint32_t>(n + 1)) : 0;
        if (!off) {
            if (!S(ctx).error) S(ctx).error = err::OutOfStringMemory;
            SetUndefined(to);
            return false;
        }
        std::memcpy(HeapText(heap, off), HeapText(heap, from.text), n + 1);
        to.text = off;
    }
    return true;
}

}  // namespace tarn
