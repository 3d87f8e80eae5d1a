// Values own their strings: every error path of each statement kind, taken
// with strings in flight, and an allocation failure at any point of a
// statement, give the string heap back as it was before the run.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "errors.h"
#include "failing_new.h"
#include "owned_value.h"
#include "string_heap.h"
#include "test_context.h"
#include "ui.h"
#include "variables.h"

namespace tarn {
namespace {

// Free bytes of the heap once the run's variables are gone.
std::uint32_t FreeAfterDrop(test::Context& c) {
    for (std::uint16_t i = S(c.ctx).variables_used; i-- > 0;) DropVariable(c.ctx, i);
    int blocks = 0;
    std::uint32_t bytes = 0;
    FreeStats(S(c.ctx).heap, &blocks, &bytes);
    return bytes;
}

std::uint32_t FreeBytes(test::Context& c) {
    int blocks = 0;
    std::uint32_t bytes = 0;
    FreeStats(S(c.ctx).heap, &blocks, &bytes);
    return bytes;
}

int StopCode(test::Context& c) {
    int code = 0;
    return TarnLastOutcome(c.ctx_h, &code, nullptr, 0) == 0 ? code : 0;
}

// One script per error path; each fails with strings of the statement
// still held (a string operand, earlier arguments, a loop's end value).
struct FailingSnippet {
    const char* text;
    int code;
};
constexpr FailingSnippet kFailing[] = {
    // expression and assignment statements
    {"x = \"a\" + 1/0", err::DivideByZero},
    {"x = \"a\" \"b\"", err::ExpressionContinues},
    {"\"a\" + \"b\"", err::NotANumber},
    {"x = (\"a\"", err::UnbalancedParenthesis},
    {"x = -\"a\"", err::NotANumber},
    {"x = ~\"2.5\"", err::UnaryOperatorType},
    {"x = \"a\" = 1", err::AssignmentNotLegal},
    {"x = \"a\" +", err::IncompleteStatement},
    // function calls: argument lists, conversions, handler failures
    {"x = strcat(\"a\", \"b\"", err::IllegalDelimiter},
    {"x = strlen(\"a\"", err::WrongArgumentCount},
    {"x = strcat(\"a\" \"b\")", err::IllegalDelimiter},
    {"x = strcat(\"a\", \"b\", 1/0)", err::DivideByZero},
    {"x = strcat(\"a\", \"b\", \"c\", \"d\", \"e\", \"f\", \"g\", \"h\", \"i\", \"j\", \"k\", \"l\", \"m\", \"n\","
     " \"o\", \"p\", \"q\", \"r\", \"s\", \"t\", \"u\")",
     err::WrongArgumentCount},
    {"x = strindex(\"abc\", \"b\" 1, @fwdscan)", err::IllegalDelimiter},
    {"x = strindex(\"abc\", \"b\", \"one\", @fwdscan)", err::NotANumber},
    {"x = strindex(\"abc\", \"b\", 1)", err::WrongArgumentCount},
    {"x = strcat(\"a\", \"b\") + fileclose(99)", err::FileCloseInvalidFileHandle},
    {"x = \"s\" + strlen(strcat(\"a\", 1/0))", err::DivideByZero},
    // block and single-line statements
    {"if \"a\" + 1/0 then x = 1", err::DivideByZero},
    {"if \"a\" then x = 1", err::NotANumber},
    {"if \"1\" x = 1", err::ThenNotFound},
    {"while \"a\"\nendwhile", err::NotANumber},
    {"switch \"a\"\nendswitch", err::SwitchNotInteger},
    {"switch \"1.5\"\nendswitch", err::SwitchNotInteger},
    {"switch 1\ncase \"a\"\nendswitch", err::SwitchNotInteger},
    {"execute x = \"a\" + 1/0", err::DivideByZero},
    // for: start, end, step and the later rounds
    {"for i = \"a\" to 3\nnext", err::ForCounterNotNumber},
    {"for i = \"1\" + 1/0 to 3\nnext", err::DivideByZero},
    {"for i = 1 to \"a\"\nnext", err::ForCounterNotNumber},
    {"for i = 1 to \"3\" by\nnext", err::IncompleteStatement},
    {"for i = 1 to \"3\" by \"a\"\nnext", err::ForCounterNotNumber},
    {"for i = 1 to \"3\" by 1/0\nnext", err::DivideByZero},
    {"for i = 1 to \"3\" x\nnext", err::ExpressionContinues},
    {"for i = 1 to \"3\"\ni = \"abc\"\nnext", err::ForCounterNotNumber},
    {"for i = 1.0e300 to \"2e300\" by 1.0e300\nnext", err::FPMathResultTooLargeRepresented},
};

TEST(OwnedValue, EveryErrorPathGivesTheHeapBack) {
    SetUi(std::make_unique<ScriptedUi>(std::vector<std::string>{}));
    for (const FailingSnippet& f : kFailing) {
        test::Context c;
        const std::uint32_t before = FreeBytes(c);
        c.Run(f.text);
        EXPECT_EQ(StopCode(c), f.code) << f.text;
        EXPECT_EQ(FreeAfterDrop(c), before) << f.text;
    }
}

// An allocation failure at each point of statements that hold strings
// while they allocate (numbers converted to text at 15 decimals after a
// string argument, nested calls, string operands): the statement fails
// with 3096 and frees them.
TEST(OwnedValue, AllocationFailureAnywhereGivesTheHeapBack) {
    SetUi(std::make_unique<ScriptedUi>(std::vector<std::string>{}));
    const std::string text =
        "d = decimals(15)\n"
        "x = \"left\" + strindex(\"some string\", 1.5, 1, @fwdscan)\n"
        "x = strlen(strcat(\"first\", 1.5)) + strindex(strcat(\"nested\", 2.5), 2.5, 1, @fwdscan)\n"
        "for i = 1 to strindex(\"end value\", 0.5, 1, @fwdscan) by 1\nnext\n"
        "if strindex(\"condition\", 3.25, 1, @fwdscan) >= 0 then y = strcat(\"then\", 4.5)\n";
    // A failure the interpreter works around (a cache it does without)
    // leaves the run's own outcome.
    int natural = 0;
    {
        test::Context c;
        c.Run(text);
        natural = StopCode(c);
    }
    int failures = 0;
    for (long n = 0; n < 2000; ++n) {
        test::Context c;
        const std::uint32_t before = FreeBytes(c);
        // The script block is made before the failures are armed: they
        // belong to the run only.
        const TarnHandle h = GlobalAlloc(GHND, text.size() + 1);
        std::memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
        GlobalUnlock(h);
        test::g_new_countdown.store(n);
        ProcessDaBatBuffer(0, c.ctx_h, h, nullptr, nullptr);
        const bool hit = test::g_new_countdown.exchange(-1) < 0;
        GlobalFree(h);
        if (!hit) break;  // the run no longer allocates that often
        ++failures;
        const int code = StopCode(c);
        EXPECT_TRUE(code == 0 || code == natural || code == err::OutOfStringMemory)
            << "allocation " << n << ": " << code;
        EXPECT_EQ(FreeAfterDrop(c), before) << "allocation " << n;
    }
    EXPECT_GT(failures, 10);
}

TEST(OwnedValue, MovesAndReleasesOwnership) {
    test::Context c;
    const std::uint32_t before = FreeBytes(c);
    {
        OwnedValue a(c.ctx);
        SetText(*a, StoreText(c.ctx, "held"));
        OwnedValue b = std::move(a);
        EXPECT_EQ(a->text, 0);
        EXPECT_EQ(TextOf(c.ctx, *b), "held");
        OwnedValue d(c.ctx);
        SetText(*d, StoreText(c.ctx, "replaced"));
        d = std::move(b);  // frees "replaced"
        EXPECT_EQ(TextOf(c.ctx, *d), "held");
        const Value kept = d.Release();
        EXPECT_LT(FreeBytes(c), before);
        FreeText(c.ctx, kept.text);
    }
    EXPECT_EQ(FreeBytes(c), before);
    {
        OwnedArgs args(c.ctx);
        for (int i = 0; i < kMaxArgs; ++i) SetText(*args.Add(), StoreText(c.ctx, "argument"));
        EXPECT_EQ(args.Add(), nullptr);
    }
    EXPECT_EQ(FreeBytes(c), before);
}

}  // namespace
}  // namespace tarn
