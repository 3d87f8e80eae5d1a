// Every export of the library, made to fail inside (as an allocation
// failure would), gives its documented failure result and lets no C++
// exception reach the caller's C frames.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "export_guard.h"
#include "failing_new.h"
#include "ui.h"
#include "test_context.h"
#include "tokenizer.h"
#include "functions/ymdhms_export.h"

namespace tarn {
namespace {

// Arms one injected fault, runs the call, and checks the fault was used.
template <class F>
auto Failing(F&& call) {
    g_injected_faults.store(1);
    auto r = call();
    EXPECT_LE(g_injected_faults.load(), 0) << "the export did not pass through its guard";
    g_injected_faults.store(0);
    return r;
}

TEST(ExportGuard, EveryExportGivesItsFailureResult) {
    test::Context c;
    const TarnHandle block = GlobalAlloc(GHND, 16);
    char out[32] = "unchanged";
    int code = 7;
    int32_t fields[6] = {};
    Value v{};
    TarnAnswer answer{c.ctx, &v};
    const TarnHandle script = GlobalAlloc(GHND, 8);

    EXPECT_EQ(Failing([] { return GlobalAlloc(GHND, 8); }), 0);
    EXPECT_EQ(Failing([&] { return GlobalReAlloc(block, 32, 0); }), 0);
    EXPECT_EQ(Failing([&] { return GlobalLock(block); }), nullptr);
    EXPECT_EQ(Failing([&] { return GlobalUnlock(block); }), 0);
    EXPECT_EQ(Failing([&] { return GlobalSize(block); }), 0u);
    EXPECT_EQ(Failing([&] { return GlobalFree(block); }), block);
    EXPECT_EQ(GlobalSize(block), 16u) << "a failed GlobalFree keeps the block";

    EXPECT_EQ(Failing([] { return DoDaDllInit(0, 0, TARN_INTERFACE_WORD, 0, 0, nullptr, nullptr); }), 0);
    EXPECT_EQ(Failing([&] { return ProcessDaBatBuffer(0, c.ctx_h, script, nullptr, nullptr); }), 0);
    EXPECT_EQ(Failing([&] { return DLLServices(c.ctx_h, 2, "x", out, sizeof out, 0); }), 0);
    EXPECT_STREQ(out, "unchanged");
    EXPECT_EQ(Failing([&] { return VMalloc(S(c.ctx).heap, 10); }), 0);
    EXPECT_EQ(Failing([&] { return TarnSelectUi("quiet", nullptr); }), 0);
    EXPECT_EQ(Failing([&] { return TarnLastOutcome(c.ctx_h, &code, out, sizeof out); }), 0);
    EXPECT_EQ(code, 7);
    EXPECT_EQ(Failing([&] { return ParseYMDHMS("2024:01:02", fields, 0, 0); }), 0);
    EXPECT_EQ(Failing([&] { return ViperAnswer(0, 0, &answer, 1, 0, "text"); }), -4);
    Failing([&] { return DoDllAbout(0, c.ctx_h), 0; });

    // Entries working on a context also set the statement error 3096.
    const auto context_entry = [&](const char* name, auto call, auto failure) {
        SCOPED_TRACE(name);
        S(c.ctx).error = 0;
        EXPECT_EQ(Failing(call), failure);
        EXPECT_EQ(S(c.ctx).error, 3096);
    };
    StartLine(c.ctx, "a = 1");
    context_entry(
        "find_var", [&] { return find_var(c.ctx, "a"); }, 0xFFFFu);
    context_entry(
        "get_token", [&] { return get_token(c.ctx); }, 0);
    context_entry(
        "get_string_token", [&] { return get_string_token(c.ctx); }, 0);
    context_entry(
        "ProcessSubExpression", [&] { return ProcessSubExpression(c.ctx, &v, 1); }, 0);
    context_entry(
        "VFree", [&] { return VFree(c.ctx, S(c.ctx).heap, 100), 0; }, 0);
    context_entry(
        "putback", [&] { return putback(c.ctx), 0; }, 0);
    GlobalFree(script);
    GlobalFree(block);
}

// A script run where each allocation in turn fails: the failure surfaces
// as the statement error 3096 or a failed run, never as an exception, and
// the library keeps working afterwards.
TEST(ExportGuard, RealAllocationFailuresInARun) {
    test::Context c;
    SetUi(std::make_unique<ScriptedUi>(std::vector<std::string>{}));
    const std::string text = "a = strcat(\"x\", \"y\")\nb = itemextract(2, \"p q r\", \" \")\nc = 1.5 * 2\n";
    int hits = 0;
    for (long n = 0; n < 500; ++n) {
        const TarnHandle h = GlobalAlloc(GHND, text.size() + 1);
        std::memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
        GlobalUnlock(h);
        test::g_new_countdown.store(n);
        const intptr_t r = ProcessDaBatBuffer(0, c.ctx_h, h, nullptr, nullptr);
        const bool hit = test::g_new_countdown.exchange(-1) < 0;
        GlobalFree(h);
        if (!hit) break;  // the run no longer allocates that often
        ++hits;
        int code = 0;
        if (r == 1 && TarnLastOutcome(c.ctx_h, &code, nullptr, 0) == 0) {
            EXPECT_EQ(code, 3096) << "allocation " << n;
        }
    }
    EXPECT_GT(hits, 0);
    EXPECT_EQ(c.Run(text), 1);
    EXPECT_EQ(c.Var("b"), "q");
}

}  // namespace
}  // namespace tarn
