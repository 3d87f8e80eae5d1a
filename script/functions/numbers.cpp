// The number family: arithmetic and trigonometric functions, tests for
// numeric text, characters and random numbers.
#include <cmath>
#include <random>

#include "builtins.h"
#include "errors.h"
#include "values.h"

namespace tarn {
namespace {

void Result(Call& c, double v) {
    if (!CheckFloat(&v)) return c.Fail(err::FPMathResultTooLargeRepresented);
    c.ReturnFloat(v);
}

void Abs(Call& c) {
    const std::int32_t v = c.Int(0);
    c.ReturnInt(v < 0 ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(v)) : v);
}

void Acos(Call& c) {
    if (c.Float(0) < -1 || c.Float(0) > 1) return c.Fail(err::FPMathArgumentFunctionOutsideDomain);
    Result(c, std::acos(c.Float(0)));
}
void Asin(Call& c) {
    if (c.Float(0) < -1 || c.Float(0) > 1) return c.Fail(err::FPMathArgumentFunctionOutsideDomain);
    Result(c, std::asin(c.Float(0)));
}
void Atan(Call& c) { Result(c, std::atan(c.Float(0))); }
void Ceiling(Call& c) { Result(c, std::ceil(c.Float(0))); }
void Cos(Call& c) { Result(c, std::cos(c.Float(0))); }
void Cosh(Call& c) { Result(c, std::cosh(c.Float(0))); }
void Exp(Call& c) { Result(c, std::exp(c.Float(0))); }
void Fabs(Call& c) { Result(c, std::fabs(c.Float(0))); }
void Floor(Call& c) { Result(c, std::floor(c.Float(0))); }
void Sin(Call& c) { Result(c, std::sin(c.Float(0))); }
void Sinh(Call& c) { Result(c, std::sinh(c.Float(0))); }
void Tan(Call& c) { Result(c, std::tan(c.Float(0))); }
void Tanh(Call& c) { Result(c, std::tanh(c.Float(0))); }
void Sqrt(Call& c) {
    if (c.Float(0) < 0) return c.Fail(err::FPMathSquareRootNegativeNumber);
    Result(c, std::sqrt(c.Float(0)));
}
void Log10(Call& c) {
    if (c.Float(0) <= 0) return c.Fail(err::FPMathCannotTakeLogZero);
    Result(c, std::log10(c.Float(0)));
}
void Loge(Call& c) {
    if (c.Float(0) <= 0) return c.Fail(err::FPMathCannotTakeLogZero);
    Result(c, std::log(c.Float(0)));
}

// The integer argument arrives rounded by its descriptor.
void Int(Call& c) { c.ReturnInt(c.Int(0)); }

void IsFloat(Call& c) {
    double d;
    c.ReturnInt(ParseFloat(c.Str(0), &d) ? 1 : 0);
}
void IsInt(Call& c) {
    std::int32_t i;
    c.ReturnInt(ParseInteger(c.Str(0), &i) ? 1 : 0);
}
void IsNumber(Call& c) {
    std::int32_t i;
    double d;
    c.ReturnInt(ParseInteger(c.Str(0), &i) || ParseFloat(c.Str(0), &d) ? 1 : 0);
}

void Char2Num(Call& c) {
    const std::string_view s = c.Str(0);
    c.ReturnInt(s.empty() ? 0 : static_cast<unsigned char>(s[0]));
}
void Num2Char(Call& c) {
    const std::int32_t v = c.Int(0);
    if (v <= 0 || v > 255) {
        c.ReturnText("");
        return;
    }
    const char ch = static_cast<char>(v);
    c.ReturnText(std::string_view(&ch, 1));
}

// random(n): a whole number from 0 to n.
void Random(Call& c) {
    thread_local std::mt19937 engine{std::random_device{}()};
    const std::int64_t n = std::llabs(static_cast<long long>(c.Int(0)));
    std::uniform_int_distribution<std::int64_t> dist(0, n);
    c.ReturnInt(static_cast<std::int32_t>(dist(engine)));
}

// Variadic: every argument must be a number; all integers give an integer
// (max, min), anything floating gives floating point.
template <class Pick>
void Extreme(Call& c, int syntaxError, Pick pick) {
    if (c.Count() == 0) return c.Fail(syntaxError);
    bool allInt = true;
    double best = 0;
    for (int i = 0; i < c.Count(); ++i) {
        double v;
        if (!c.ToFloat(i, &v)) return c.Fail(err::NotANumber);
        if (!(c.Arg(i).type & TARN_INT)) allInt = false;
        best = i == 0 ? v : pick(best, v);
    }
    if (allInt) c.ReturnInt(static_cast<std::int32_t>(best));
    else Result(c, best);
}
void Max(Call& c) {
    Extreme(c, err::WrongArgumentCount, [](double a, double b) { return b > a ? b : a; });
}
void Min(Call& c) {
    Extreme(c, err::WrongArgumentCount, [](double a, double b) { return b < a ? b : a; });
}

void Average(Call& c) {
    if (c.Count() == 0) return c.Fail(err::AVERAGEFunctionSyntaxError);
    double sum = 0;
    for (int i = 0; i < c.Count(); ++i) {
        double v;
        if (!c.ToFloat(i, &v)) {
            c.State().error = 0;
            return c.Fail(err::AVERAGEFunctionSyntaxError);
        }
        sum += v;
    }
    Result(c, sum / c.Count());
}

constexpr BuiltinEntry kNumbers[] = {
    {"abs", Abs},           {"acos", Acos},         {"asin", Asin}, {"atan", Atan},       {"average", Average},
    {"ceiling", Ceiling},   {"char2num", Char2Num}, {"cos", Cos},   {"cosh", Cosh},       {"exp", Exp},
    {"fabs", Fabs},         {"floor", Floor},       {"int", Int},   {"isfloat", IsFloat}, {"isint", IsInt},
    {"isnumber", IsNumber}, {"log10", Log10},       {"loge", Loge}, {"max", Max},         {"min", Min},
    {"num2char", Num2Char}, {"random", Random},     {"sin", Sin},   {"sinh", Sinh},       {"sqrt", Sqrt},
    {"tan", Tan},           {"tanh", Tanh},
};

}  // namespace
}  // namespace tarn

TARN_FAMILY(numbers, tarn::kNumbers)
