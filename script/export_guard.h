// The two helpers every export of tarnproc.h runs through: a guard that
// turns any C++ exception into the export's documented failure result (none
// ever crosses a host's C frames), and the lock of a context handle that
// checks the library state is live.
#pragma once

#include <atomic>

#include "context.h"
#include "errors.h"
#include "tarnproc.h"

namespace tarn {

// Test builds arm this to make the next exports fail as an allocation
// failure inside them would (count of exports left to fail).
extern std::atomic<int> g_injected_faults;

// Throws std::bad_alloc when a fault is armed; otherwise nothing.
void InjectedFault();

// Runs body; an exception gives `failure` instead. With a context, the
// statement error becomes 3096 (out of memory), what allocation failures
// inside the interpreter mean.
template <class R, class Body>
R Guarded(R failure, Body&& body, ScriptContext* ctx = nullptr) noexcept {
    try {
        if (g_injected_faults.load(std::memory_order_relaxed) > 0) [[unlikely]]
            InjectedFault();
        return body();
    } catch (...) {
        if (ctx) S(ctx).error = err::OutOfStringMemory;
        return failure;
    }
}

// The same for exports without a result.
template <class Body>
void GuardedVoid(Body&& body, ScriptContext* ctx = nullptr) noexcept {
    Guarded(
        0, [&] { return body(), 0; }, ctx);
}

// Locks a handle for the length of one call.
class Locked {
public:
    explicit Locked(TarnHandle h) : h_(h), p_(h ? GlobalLock(h) : nullptr) {}
    ~Locked() {
        if (p_) GlobalUnlock(h_);
    }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    void* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    TarnHandle h_;
    void* p_;
};

// A context handle locked for one call; null unless DoDaDllInit 1 ran on it
// and it was not shut down.
class LockedContext {
public:
    explicit LockedContext(TarnHandle h) : lock_(h) {
        auto* ctx = static_cast<ScriptContext*>(lock_.get());
        ctx_ = ctx && S(ctx).magic == kStateMagic ? ctx : nullptr;
    }
    ScriptContext* get() const { return ctx_; }
    State& state() const { return S(ctx_); }
    explicit operator bool() const { return ctx_ != nullptr; }

private:
    Locked lock_;
    ScriptContext* ctx_;
};

// Attaches the variable table and heap of a locked context for one call.
class Attached {
public:
    explicit Attached(ScriptContext* ctx) : ctx_(ctx), vars_(S(ctx).variables_handle), heap_(S(ctx).heap_handle) {
        ctx->variables = static_cast<VariableEntry*>(vars_.get());
        S(ctx).heap = static_cast<StringHeap*>(heap_.get());
    }
    bool ok() const { return ctx_->variables && S(ctx_).heap; }

private:
    ScriptContext* ctx_;
    Locked vars_;
    Locked heap_;
};

}  // namespace tarn
