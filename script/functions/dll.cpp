// The library family: scripts load shared libraries (dllload, dllfree) and
// call C functions in them (dllcall), whose signature the call itself
// writes with type words. Libraries are kept in ten slots per context and
// named to scripts by the handle text "?N", where N is a number of the
// slot table, never an address. Every library still loaded is closed at
// shutdown (functions/libraries.h).
#include <dlfcn.h>

#include <array>
#include <charconv>
#include <cstring>
#include <string>
#include <vector>

#include "functions/window_find.h"
#include "x11/windows.h"
#include "builtins.h"
#include "errors.h"
#include "functions/binary_access.h"
#include "functions/libraries.h"
#include "functions/logic/foreign_call.h"
#include "functions/logic/library_load.h"
#include "keywords.h"
#include "values.h"

namespace tarn::fn {
namespace {

bool IsToken(const State& s, int code) { return s.token_type == kTokKeyword && s.token_code == code; }

// A value the handler evaluated itself, released on every path.
struct Held {
    explicit Held(ScriptContext* c) : ctx(c) { SetUndefined(v); }
    ~Held() { ReleaseValue(ctx, v); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ScriptContext* ctx;
    Value v;
};

// Slot of handle text "?N", or -1.
int SlotOfHandle(const State& s, std::string_view text) {
    if (text.size() < 2 || text[0] != '?') return -1;
    std::int32_t id = 0;
    const auto [end, ec] = std::from_chars(text.data() + 1, text.data() + text.size(), id);
    if (ec != std::errc() || end != text.data() + text.size() || id <= 0) return -1;
    for (int i = 0; i < kLibrarySlots; ++i)
        if (s.libraries[i] && s.library_ids[i] == id) return i;
    return -1;
}

int LoadErrorOf(LoadFailure f) {
    return f == LoadFailure::FileMissing || f == LoadFailure::DependencyMissing ? err::DllFileNotFound
                                                                                : err::DllFileNotLoadable;
}

void DllLoad(Call& c) {
    State& s = c.State();
    int slot = 0;
    while (slot < kLibrarySlots && s.libraries[slot]) ++slot;
    if (slot == kLibrarySlots) return c.Fail(err::DllLoadTooMany);
    const LoadResult r = OpenLibrary(c.Str(0));
    if (!r.handle) return c.Fail(LoadErrorOf(r.failure));
    s.libraries[slot] = reinterpret_cast<std::intptr_t>(r.handle);
    s.library_ids[slot] = ++s.library_serial;
    if (!c.ReturnText("?" + std::to_string(s.library_serial))) {
        dlclose(r.handle);
        s.libraries[slot] = 0;
    }
}

void DllFree(Call& c) {
    State& s = c.State();
    const int slot = SlotOfHandle(s, c.Str(0));
    if (slot < 0) return c.Fail(err::DllFreeBadHandle);
    dlclose(reinterpret_cast<void*>(s.libraries[slot]));
    s.libraries[slot] = 0;
    s.library_ids[slot] = 0;
    c.ReturnInt(0);
}

// dllhwnd("") and dllhinst(""): the window and the module instance the host
// gave the library.
// A named window is the X window (its id) the window family finds; its
// instance is the process that owns it (_NET_WM_PID). 0 when none.
void DllHwnd(Call& c) {
    if (c.Str(0).empty()) return c.ReturnInt(static_cast<std::int32_t>(c.State().window));
    const auto w = findWindowOnce(c, c.Str(0));
    c.ReturnInt(w ? static_cast<std::int32_t>(*w) : 0);
}

void DllHinst(Call& c) {
    if (c.Str(0).empty()) return c.ReturnInt(static_cast<std::int32_t>(c.State().instance));
    const auto w = findWindowOnce(c, c.Str(0));
    c.ReturnInt(w ? vrayu::x11::ProcessId(*w) : 0);
}

// Reads a type word with the bare-word reader (so no variable is made of
// it); nullopt when the text there is not a type word.
std::optional<ForeignType> ReadTypeWord(ScriptContext* ctx) {
    State& s = S(ctx);
    const std::int16_t before = s.error;
    get_string_token(ctx);
    if (s.error != before) {
        s.error = before;
        return std::nullopt;
    }
    if (s.token_type != kTokString) return std::nullopt;
    return ParseTypeWord(s.token);
}

// One parameter forced to its type; the storage of texts stays in `texts`.
bool Force(Call& c, ForeignType type, Value& v, std::string* text, ForeignArg* out) {
    ScriptContext* ctx = c.Context();
    out->type = type;
    switch (type) {
        case ForeignType::Word: {
            std::int32_t n;
            if (!ValueToInt(ctx, v, &n) || n < -32768 || n > 65535) return c.Fail(err::DllCallNotShort), false;
            out->number = n;
            return true;
        }
        case ForeignType::Long:
            if (!ValueToInt(ctx, v, &out->number)) return c.Fail(err::DllCallNotLong), false;
            return true;
        case ForeignType::LpStr:
            if (!HasValue(v) || !ValueAsString(ctx, v, text)) return c.Fail(err::DllCallNotString), false;
            out->pointer = text->data();
            return true;
        case ForeignType::LpBinary: {
            std::int32_t h;
            std::uint8_t* data = nullptr;
            std::uint32_t size = 0;
            if (!ValueToInt(ctx, v, &h) || !BinaryData(c.State(), h, &data, &size))
                return c.Fail(err::BinaryDataInvalidBinaryDataHandle), false;
            out->pointer = data;
            return true;
        }
        default: out->pointer = nullptr; return true;
    }
}

// dllcall(library, type:entry, type:value, ...): the call parses its own
// arguments; type words are bare words, values are expressions.
void DllCall(Call& c) {
    ScriptContext* ctx = c.Context();
    State& s = c.State();
    get_token(ctx);
    if (!IsToken(s, kw::Open)) return c.Fail(err::OpeningParenthesisMissing);
    get_token(ctx);
    if (s.error) return;
    // 1. The library.
    Held library(ctx);
    std::string name;
    if (IsToken(s, kw::Comma) || IsToken(s, kw::Close)) return c.Fail(err::DllCallInvalidDllName);
    if (!ProcessSubExpression(ctx, &library.v, 0)) return;
    if (!IsToken(s, kw::Comma) || !HasValue(library.v) || !ValueAsString(ctx, library.v, &name) || name.empty())
        return c.Fail(err::DllCallInvalidDllName);
    // 2. Result type and entry point.
    const std::optional<ForeignType> result = ReadTypeWord(ctx);
    if (result == ForeignType::LpBinary) return c.Fail(err::DllCallLpbinaryReturn);
    if (!result || *result == ForeignType::LpNull) return c.Fail(err::DllCallReturnTypeInvalid);
    get_token(ctx);
    if (!IsToken(s, kw::Colon)) return c.Fail(err::DllCallMissingColon);
    get_token(ctx);
    if (s.error) return;
    Held entry(ctx);
    std::string entry_name;
    if (!ProcessSubExpression(ctx, &entry.v, 0)) return;
    if (!HasValue(entry.v) || !ValueAsString(ctx, entry.v, &entry_name) || entry_name.empty() ||
        entry_name.size() > 127)
        return c.Fail(err::DllCallInvalidEntryPoint);
    // 3. Parameters.
    std::array<ForeignArg, kForeignMaxArgs> args{};
    std::array<std::string, kForeignMaxArgs> texts;
    int count = 0;
    while (!IsToken(s, kw::Close)) {
        if (!IsToken(s, kw::Comma)) return c.Fail(err::DllCallBadPunctuation);
        if (count == kForeignMaxArgs) return c.Fail(err::DllCallTooManyParameters);
        const std::optional<ForeignType> type = ReadTypeWord(ctx);
        if (!type || *type == ForeignType::Void) return c.Fail(err::DllCallBadParmCode);
        get_token(ctx);
        if (s.error) return;
        if (*type == ForeignType::LpNull) {
            args[static_cast<std::size_t>(count++)].type = ForeignType::LpNull;
            continue;
        }
        if (!IsToken(s, kw::Colon)) return c.Fail(err::DllCallMissingColon);
        get_token(ctx);
        if (s.error) return;
        Held value(ctx);
        if (!ProcessSubExpression(ctx, &value.v, 0)) return;
        const auto i = static_cast<std::size_t>(count++);
        if (!Force(c, *type, value.v, &texts[i], &args[i])) return;
    }
    // The library by handle, or loaded for this call only.
    void* handle = nullptr;
    bool own = false;
    if (name[0] == '?') {
        const int slot = SlotOfHandle(s, name);
        if (slot < 0) return c.Fail(err::DllCallInvalidDllName);
        handle = reinterpret_cast<void*>(s.libraries[slot]);
    } else {
        const LoadResult r = OpenLibrary(name);
        if (!r.handle) return c.Fail(LoadErrorOf(r.failure));
        handle = r.handle;
        own = true;
    }
    void* fn = dlsym(handle, entry_name.c_str());
    ForeignResult out;
    const bool called =
        fn && CallForeign(fn, *result, std::span<const ForeignArg>(args.data(), static_cast<std::size_t>(count)), &out);
    if (own) dlclose(handle);
    if (!fn) return c.Fail(err::DllCallBadEntrypoint);
    if (!called) return c.Fail(err::DllCallBadParmCode);
    // The token after ")" is current when the function returns.
    get_token(ctx);
    if (*result == ForeignType::LpStr) {
        c.ReturnText(out.text);
    } else {
        c.ReturnInt(out.number);
    }
}

constexpr tarn::BuiltinEntry kDll[] = {
    {"dllload", DllLoad}, {"dllfree", DllFree}, {"dllcall", DllCall}, {"dllhwnd", DllHwnd}, {"dllhinst", DllHinst},
};

}  // namespace

void CloseScriptLibraries(State& s) {
    for (int i = 0; i < kLibrarySlots; ++i) {
        if (s.libraries[i]) dlclose(reinterpret_cast<void*>(s.libraries[i]));
        s.libraries[i] = 0;
        s.library_ids[i] = 0;
    }
}

}  // namespace tarn::fn

TARN_FAMILY(dll, tarn::fn::kDll)
