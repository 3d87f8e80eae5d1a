// A context set up the way a host does it, for unit tests.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>

#include "context.h"
#include "tarnproc.h"

namespace tarn::test {

class Context {
public:
    explicit Context(std::size_t heap_bytes = 65536, int variables = 200) {
        // Clock and session-end requests of a test never reach the machine.
        setenv("TARN_SYSTEM_ACTIONS", "refuse", 0);
        ctx_h = GlobalAlloc(GHND, static_cast<size_t>(DoDaDllInit(0, 0, TARN_INTERFACE_WORD, 0, 0, nullptr, nullptr)));
        vars_h = GlobalAlloc(GHND, variables * sizeof(VariableEntry));
        heap_h = GlobalAlloc(GHND, heap_bytes);
        DoDaDllInit(0, ctx_h, 0, 1, 0, "test", nullptr);
        DoDaDllInit(0, ctx_h, vars_h, 2, variables, nullptr, nullptr);
        DoDaDllInit(0, ctx_h, heap_h, 3, static_cast<intptr_t>(heap_bytes), nullptr, nullptr);
        // Keep everything locked for direct use by the test.
        ctx = static_cast<ScriptContext*>(GlobalLock(ctx_h));
        ctx->variables = static_cast<VariableEntry*>(GlobalLock(vars_h));
        S(ctx).heap = static_cast<StringHeap*>(GlobalLock(heap_h));
    }
    ~Context() {
        GlobalUnlock(heap_h);
        GlobalUnlock(vars_h);
        GlobalUnlock(ctx_h);
        DoDaDllInit(0, ctx_h, 0, 99, 0, nullptr, nullptr);
        GlobalFree(heap_h);
        GlobalFree(vars_h);
        GlobalFree(ctx_h);
    }
    // Runs a script text through ProcessDaBatBuffer; returns the outcome.
    int Run(const std::string& text) {
        const TarnHandle h = GlobalAlloc(GHND, text.size() + 1);
        std::memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
        GlobalUnlock(h);
        ProcessDaBatBuffer(0, ctx_h, h, callback, host_table);
        GlobalFree(h);
        // ProcessDaBatBuffer re-locks and unlocks; pointers stay valid.
        ctx->variables = static_cast<VariableEntry*>(vars_ptr());
        return S(ctx).outcome;
    }
    std::string Var(const char* name) {
        char buf[4096];
        if (!DLLServices(ctx_h, 2, name, buf, sizeof buf, 0)) return "<undefined>";
        return buf;
    }
    void* vars_ptr() { return ctx->variables; }

    TarnHandle ctx_h, vars_h, heap_h;
    ScriptContext* ctx;
    TarnCallback callback = nullptr;
    const KeywordEntry* host_table = nullptr;
};

}  // namespace tarn::test
