// Ownership of values in the string heap: a value and an argument list that
// free their strings when they go out of scope, on every path (an error
// return or an exception unwinding the statement). The C `Value` inside
// keeps its layout; code that fills or reads a Value in place gets it
// through get() or operator*, and a hand-over to another owner (a variable,
// the host) goes through Release().
#pragma once

#include "context.h"
#include "string_heap.h"
#include "tarnproc.h"
#include "values.h"

namespace tarn {

// One value owning its string. Moves, never copies.
class OwnedValue {
public:
    explicit OwnedValue(ScriptContext* ctx) noexcept : ctx_(ctx) { SetUndefined(v_); }
    // Takes over a value whose string nobody else frees.
    OwnedValue(ScriptContext* ctx, const Value& adopted) noexcept : ctx_(ctx), v_(adopted) {}
    OwnedValue(OwnedValue&& o) noexcept : ctx_(o.ctx_), v_(o.Release()) {}
    OwnedValue& operator=(OwnedValue&& o) noexcept {
        if (this != &o) {
            Reset();
            ctx_ = o.ctx_;
            v_ = o.Release();
        }
        return *this;
    }
    OwnedValue(const OwnedValue&) = delete;
    OwnedValue& operator=(const OwnedValue&) = delete;
    ~OwnedValue() {
        if (v_.text) FreeText(ctx_, v_.text);
    }

    Value& operator*() noexcept { return v_; }
    const Value& operator*() const noexcept { return v_; }
    Value* operator->() noexcept { return &v_; }
    Value* get() noexcept { return &v_; }

    // Hands the value and its string to the caller; this one is undefined.
    Value Release() noexcept {
        const Value v = v_;
        SetUndefined(v_);
        return v;
    }
    // Frees the string now; the value becomes undefined.
    void Reset() noexcept {
        if (v_.text) FreeText(ctx_, v_.text);
        SetUndefined(v_);
    }

private:
    ScriptContext* ctx_;
    Value v_;
};

// The argument values of one function call, freed together. Slots are
// handed out in order and owned from the moment they are handed out.
class OwnedArgs {
public:
    explicit OwnedArgs(ScriptContext* ctx) noexcept : ctx_(ctx) {}
    OwnedArgs(const OwnedArgs&) = delete;
    OwnedArgs& operator=(const OwnedArgs&) = delete;
    ~OwnedArgs() {
        for (int i = 0; i < n_; ++i)
            if (v_[i].text && !(lent_ >> i & 1)) FreeText(ctx_, v_[i].text);
    }

    // Argument i holds a variable's own string: it is not freed here.
    void MarkLent(int i) noexcept { lent_ |= 1u << i; }

    // A new undefined value at the end; false when all kMaxArgs are in use.
    Value* Add() noexcept {
        if (n_ == kMaxArgs) return nullptr;
        SetUndefined(v_[n_]);
        return &v_[n_++];
    }
    int size() const noexcept { return n_; }
    Value* data() noexcept { return v_; }
    Value& operator[](int i) noexcept { return v_[i]; }

private:
    ScriptContext* ctx_;
    Value v_[kMaxArgs];
    int n_ = 0;
    std::uint32_t lent_ = 0;
};

}  // namespace tarn
