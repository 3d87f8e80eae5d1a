// Function calls: the argument list by the keyword's descriptor, conversion
// of each argument, and dispatch to a built-in family, the host or an
// extender.
#include <cstring>
#include <new>
#include <string>

#include "builtins.h"
#include "context.h"
#include "errors.h"
#include "expression.h"
#include "functions/libraries.h"
#include "keywords.h"
#include "messages.h"
#include "owned_value.h"
#include "string_heap.h"
#include "tokenizer.h"
#include "values.h"
#include "variables.h"

namespace tarn {
namespace {

bool IsToken(const State& s, int code) { return s.token_type == kTokKeyword && s.token_code == code; }

// drop(var, ...) and isdefined(var): arguments are variable names.
bool NameFunction(ScriptContext* ctx, int code, Value* out) {
    State& s = S(ctx);
    get_token(ctx);
    if (!IsToken(s, kw::Open)) return Error(s, err::OpeningParenthesisMissing);
    const bool drop = code == kw::Drop;
    int count = 0;
    std::int32_t defined = 0;
    while (true) {
        get_token(ctx);
        if (s.error) return false;
        if (drop && count == 0 && IsToken(s, kw::Close)) break;
        if (s.token_type != kTokVariable) return Error(s, drop ? err::DropNotVariable : err::IsDefinedNotVariable);
        const std::uint16_t slot = s.token_var;
        if (drop) {
            DropVariable(ctx, slot);
        } else {
            defined = (ctx->variables[slot].type & (TARN_INT | TARN_STRING | TARN_FLOAT)) ? 1 : 0;
            // Looking a name up enters it; a name that was never set leaves
            // no trace behind.
            if (!defined && ctx->variables[slot].text == 0) DropVariable(ctx, slot);
        }
        ++count;
        get_token(ctx);
        if (s.error) return false;
        if (IsToken(s, kw::Close)) break;
        if (!IsToken(s, kw::Comma)) return Error(s, err::IllegalDelimiter);
        if (!drop) return Error(s, err::WrongArgumentCount);
    }
    get_token(ctx);
    SetInt(*out, drop ? 1 : defined);
    return true;
}

// Converts an argument by its descriptor bit.
bool Convert(ScriptContext* ctx, std::uint32_t desc, int i, Value& v) {
    State& s = S(ctx);
    if (ArgIsString(desc, i)) {
        if (!ValueToText(ctx, v)) return Error(s, err::NotAString);
        return true;
    }
    if (ArgIsFloat(desc, i)) {
        double d;
        if (!ValueToFloat(ctx, v, &d)) return Error(s, err::NotAFloat);
        ReleaseValue(ctx, v);
        SetFloat(v, d);
        return true;
    }
    // A handle stays a handle: functions that take one tell it from a
    // plain number by its type.
    if (IsHandleValue(v)) {
        const std::int32_t h = v.integer;
        ReleaseValue(ctx, v);
        SetHandle(v, h);
        return true;
    }
    std::int32_t n;
    if (!ValueToInt(ctx, v, &n)) return Error(s, err::NotANumber);
    ReleaseValue(ctx, v);
    SetInt(v, n);
    return true;
}

// Host and extender functions: the callback gets the texts of the first
// five arguments and answers through ViperAnswer.
bool CallOut(ScriptContext* ctx, int code, Value* args, int n, Value* out) {
    State& s = S(ctx);
    std::string texts[5];
    for (int i = 0; i < n && i < 5; ++i) ValueAsString(ctx, args[i], &texts[i]);
    TarnCallback cb = nullptr;
    intptr_t request = 0;
    void* slot = nullptr;
    TarnExtenderCall call{0, n, args, ctx};
    if (code >= kHostCodeBase && code <= kHostCodeLimit) {
        cb = ctx->host_callback;
        request = code - kHostCodeBase;
    } else if (fn::FindExtender(ctx, code, &cb, &request, &call.slot)) {
        slot = &call;
    }
    if (!cb) return Error(s, err::FunctionNotDefined);
    TarnAnswer answer{ctx, out};
    SetInt(*out, 0);
    s.error_detail[0] = 0;
    const intptr_t status =
        cb(s.window, s.instance, TARN_CALLBACK_WORD, request, ViperAnswer, &answer, slot, texts[0].c_str(),
           texts[1].c_str(), texts[2].c_str(), texts[3].c_str(), texts[4].c_str());
    return HandleCallbackStatus(ctx, status);
}

}  // namespace

bool HandleCallbackStatus(ScriptContext* ctx, intptr_t status) {
    State& s = S(ctx);
    if (status >= 0) return true;
    int code;
    switch (status) {
        case -1: code = err::ExtenderMinor; break;
        case -2: code = err::ExtenderModerate; break;
        case -3: code = err::ExtenderSevere; break;
        case -4: return Error(s, kCodeReported);
        case -5: return Error(s, kCodeCancel);
        case -6: return Error(s, kCodeStop);
        default: code = err::ExtenderUnknown; break;
    }
    if (s.error_mode != kModeOff) {
        std::string caption = std::string(MessageText(865)) + "  " +
                              (s.error_detail[0] ? std::string(s.error_detail) : std::string(MessageText(866)));
        std::string text = std::string(s.subst) + "\r\n\r\n" + std::string(MessageText(849)) + TARN_VERSION_TEXT;
        ShowMessage(ctx, caption, text, Buttons::Ok, Icon::Stop);
    }
    s.last_error = static_cast<std::int16_t>(code);
    // A leading number before ":" in the detail becomes lasterror().
    std::int32_t n;
    const char* colon = std::strchr(s.error_detail, ':');
    if (colon && ParseInteger(std::string_view(s.error_detail, colon - s.error_detail), &n))
        s.last_error = static_cast<std::int16_t>(n);
    return Error(s, kCodeCallFailed);
}

// When the argument at the current token is a string variable alone
// (followed by "," or ")"), puts the variable's own value into `arg` (to be
// read, never freed) and its stamp into `source`; otherwise leaves the
// tokenizer where it was and returns false.
bool LendVariable(ScriptContext* ctx, Value* arg, VariableStamp* source) {
    State& s = S(ctx);
    if (s.token_type != kTokVariable) return false;
    const std::uint16_t slot = s.token_var;
    const char* start = s.token_start;
    const std::int16_t before = s.error;
    get_token(ctx);
    const VariableEntry& v = ctx->variables[slot];
    if (!s.error && (IsToken(s, kw::Comma) || IsToken(s, kw::Close)) && (v.type & TARN_STRING) && v.text) {
        *arg = Value{v.real, v.integer, v.type, v.text, -1};
        *source = StampOfVariable(ctx, slot);
        return true;
    }
    s.error = before;
    s.cursor = start;
    get_token(ctx);
    return false;
}

bool CallFunction(ScriptContext* ctx, int code, OwnedValue& out) {
    State& s = S(ctx);
    out.Reset();
    const KeywordEntry* e = KeywordOf(ctx, code);
    if (!e) return Error(s, err::FunctionNotDefined);
    if (e->kind == TARN_KW_VARFUNCTION) return NameFunction(ctx, code, out.get());
    if (ParsesOwnArguments(code)) {
        Builtin h = FindBuiltin(code);
        if (!h) return Error(s, err::FunctionNotDefined);
        Call c(ctx, code, out.get(), nullptr, 0);
        h(c);
        return !s.error;
    }
    const std::uint32_t desc = e->value;
    const int count = ArgCount(desc);
    if (count > kMaxArgs && count != TARN_VARIADIC) return Error(s, err::TooManyArguments);
    get_token(ctx);
    if (!IsToken(s, kw::Open)) return Error(s, err::OpeningParenthesisMissing);
    // Every argument evaluated so far is freed on any return from here.
    OwnedArgs args(ctx);
    const bool lends = ReadsStringsInPlace(code);
    VariableStamp sources[kLentArgsMax];  // where lent arguments come from
    get_token(ctx);
    if (s.error) return false;
    if (count == TARN_VARIADIC) {
        if (!IsToken(s, kw::Close)) {
            while (true) {
                Value* arg = args.Add();
                if (!arg) return Error(s, err::WrongArgumentCount);
                if (!ProcessSubExpression(ctx, arg, 0)) return false;
                if (IsToken(s, kw::Close)) break;
                if (!IsToken(s, kw::Comma)) return Error(s, err::IllegalDelimiter);
                get_token(ctx);
            }
        }
        // A first argument marked string is converted; the rest are raw.
        if (args.size() > 0 && ArgIsString(desc, 0) && !Convert(ctx, desc, 0, args[0])) return false;
    } else {
        for (int n = 0; n < count; ++n) {
            if (n == 0 && IsToken(s, kw::Close)) return Error(s, err::WrongArgumentCount);
            Value* arg = args.Add();
            if (lends && n < kLentArgsMax && ArgIsString(desc, n) && LendVariable(ctx, arg, &sources[n]))
                args.MarkLent(n);
            else if (!ProcessSubExpression(ctx, arg, 0)) return false;
            if (n + 1 < count) {
                if (IsToken(s, kw::Comma)) {
                    get_token(ctx);
                    if (s.error) return false;
                    continue;
                }
                return Error(s, IsToken(s, kw::Close) ? err::WrongArgumentCount : err::IllegalDelimiter);
            }
        }
        if (!IsToken(s, kw::Close)) return Error(s, err::WrongArgumentCount);
        for (int i = 0; i < args.size(); ++i)
            if (!Convert(ctx, desc, i, args[i])) return false;
    }
    // The token after ")" becomes current before the handler runs, so a
    // handler may run statements (call) without disturbing this line.
    const char* after = s.cursor;
    bool ok;
    SetInt(*out, 0);
    if (code < kKeywordCount) {
        Builtin h = FindBuiltin(code);
        if (!h) {
            ok = Error(s, err::FunctionNotDefined);
        } else {
            Call c(ctx, code, out.get(), args.data(), args.size(), lends ? sources : nullptr);
            // Memory a handler cannot get is this statement's error.
            try {
                h(c);
            } catch (const std::bad_alloc&) {
                s.error = err::OutOfStringMemory;
            }
            ok = !s.error;
        }
    } else {
        ok = CallOut(ctx, code, args.data(), args.size(), out.get());
    }
    if (!ok) return false;
    if (out->type & (TARN_INT | TARN_FLOAT)) DropText(ctx, *out);
    s.cursor = after;
    get_token(ctx);
    return !s.error;
}

}  // namespace tarn
