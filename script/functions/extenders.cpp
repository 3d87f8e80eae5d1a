// addextender: binds an extender library, whose functions then read like
// built-in ones. Up to ten extenders per context share the context's table
// of 200 functions; an entry's index holds 2000 + 100 x slot + the
// extender's own code, which is how a call finds its way back to the entry
// (the contract: tarn_extender.h, docs/extenders.md).
#include <dlfcn.h>

#include <cctype>
#include <cstring>
#include <string>

#include "builtins.h"
#include "errors.h"
#include "export_guard.h"
#include "functions/libraries.h"
#include "functions/logic/library_load.h"
#include "keywords.h"
#include "messages.h"
#include "string_heap.h"

namespace tarn::fn {
namespace {

constexpr int kExtenderCodes = 2000;
constexpr int kCodesPerSlot = 100;

// Message of the load-error box for a reason of a failed load.
int LoadMessage(LoadFailure f) {
    switch (f) {
        case LoadFailure::DependencyMissing: return 851;
        case LoadFailure::WrongMachine: return 852;
        case LoadFailure::WrongClass: return 854;
        default: return 860;
    }
}

bool ValidName(const char (&name)[14]) {
    const std::size_t n = strnlen(name, sizeof name);
    if (n == 0 || n > 13) return false;
    if (!std::isalpha(static_cast<unsigned char>(name[0])) && name[0] != '_') return false;
    for (std::size_t i = 0; i < n; ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])) && name[i] != '_') return false;
    return true;
}

// Asks the entry for its functions and enters them; the error code, or 0.
int Bind(ScriptContext* ctx, int slot, TarnCallback entry) {
    State& s = S(ctx);
    const TarnExtenderServices services{TARN_EXTENDER_VERSION, static_cast<std::int32_t>(sizeof(TarnExtenderServices)),
                                        DLLServices, s.context_handle};
    const std::int32_t first = ctx->extender_count;
    for (std::int32_t index = 0;; ++index) {
        TarnExtenderBind b{};
        b.index = index;
        b.version = TARN_EXTENDER_VERSION;
        b.services = &services;
        const intptr_t rc = entry(s.window, s.instance, TARN_CALLBACK_WORD, TARN_EXT_BIND, ViperAnswer, nullptr, &b, "",
                                  "", "", "", "");
        if (rc == TARN_EXT_BIND_MORE) {
            int code = 0;
            if (!ValidName(b.name) || b.code < 0 || b.code >= kCodesPerSlot || b.kind != TARN_KW_FUNCTION)
                code = err::AddExtenderNotValid;
            else if (ctx->extender_count >= kExtenderMax) code = err::AddExtenderTableFull;
            if (code) {
                ctx->extender_count = first;
                return code;
            }
            KeywordEntry& e = ctx->extenders[ctx->extender_count++];
            e = KeywordEntry{};
            e.index = static_cast<std::int16_t>(kExtenderCodes + kCodesPerSlot * slot + b.code);
            e.kind = b.kind;
            e.value = b.descriptor;
            const std::size_t n = strnlen(b.name, sizeof b.name);
            e.name_length = static_cast<std::int16_t>(n);
            for (std::size_t i = 0; i < n; ++i)
                e.name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(b.name[i])));
            continue;
        }
        if (rc == TARN_EXT_BIND_REFUSE) {
            ctx->extender_count = first;
            return err::AddExtenderExtenderRefuses;
        }
        return 0;
    }
}

void AddExtender(Call& c) {
    ScriptContext* ctx = c.Context();
    State& s = c.State();
    int slot = -1, bound = 0;
    for (int i = 0; i < kExtenderSlots; ++i) {
        if (s.extender_libs[i]) ++bound;
        else if (slot < 0) slot = i;
    }
    if (bound == kExtenderSlots) return c.Fail(err::AddExtenderTooMany);
    if (ctx->extender_count >= kExtenderMax) return c.Fail(err::AddExtenderTableFull);
    const LoadResult r = OpenLibrary(c.Str(0));
    if (!r.handle) {
        if (r.failure == LoadFailure::FileMissing) return c.Fail(err::AddExtenderNotFound);
        std::string text(MessageText(LoadMessage(r.failure)));
        if (!r.detail.empty()) text += "\r\n\r\n" + r.detail;
        c.Message(MessageText(850), text, Buttons::Ok, Icon::Stop);
        return c.Fail(err::AddExtenderLoadFailed);
    }
    // A library bound already stays bound once: this load only counted.
    for (int i = 0; i < kExtenderSlots; ++i) {
        if (s.extender_libs[i] == reinterpret_cast<std::intptr_t>(r.handle)) {
            dlclose(r.handle);
            return c.ReturnInt(1);
        }
    }
    void* sym = dlsym(r.handle, TARN_EXTENDER_ENTRY);
    if (!sym) sym = dlsym(r.handle, TARN_EXTENDER_ENTRY_PLAIN);
    if (!sym) {
        dlclose(r.handle);
        return c.Fail(err::AddExtenderNotValid);
    }
    const auto entry = reinterpret_cast<TarnCallback>(sym);
    if (const int code = Bind(ctx, slot, entry)) {
        dlclose(r.handle);
        return c.Fail(code);
    }
    s.extender_libs[slot] = reinterpret_cast<std::intptr_t>(r.handle);
    s.extender_entries[slot] = entry;
    c.ReturnInt(1);
}

constexpr tarn::BuiltinEntry kExtenders[] = {
    {"addextender", AddExtender},
};

}  // namespace

void ReleaseExtenders(ScriptContext* ctx) {
    State& s = S(ctx);
    ctx->extender_count = 0;
    for (int i = 0; i < kExtenderSlots; ++i) {
        if (s.extender_libs[i]) dlclose(reinterpret_cast<void*>(s.extender_libs[i]));
        s.extender_libs[i] = 0;
        s.extender_entries[i] = nullptr;
    }
}

bool FindExtender(ScriptContext* ctx, int code, TarnCallback* entry, std::intptr_t* request, std::int32_t* slot) {
    const int position = code - kExtenderCodeBase;
    if (position < 0 || position >= ctx->extender_count) return false;
    const int own = ctx->extenders[position].index - kExtenderCodes;
    if (own < 0 || own >= kCodesPerSlot * kExtenderSlots) return false;
    *slot = own / kCodesPerSlot;
    *entry = S(ctx).extender_entries[*slot];
    *request = own % kCodesPerSlot;
    return *entry != nullptr;
}

}  // namespace tarn::fn

TARN_FAMILY(extenders, tarn::fn::kExtenders)

extern "C" TARN_API const char* TarnArgumentText(const TarnExtenderCall* call, int32_t i) {
    return tarn::Guarded<const char*>(nullptr, [&]() -> const char* {
        if (!call || !call->context || i < 0 || i >= call->count) return nullptr;
        const Value& v = call->args[i];
        if (!(v.type & TARN_STRING) || !v.text) return nullptr;
        return tarn::HeapText(tarn::S(call->context).heap, v.text);
    });
}
