// Object access: objectopen, objectaccess, objectclose and dotted
// references (obj.Property, obj.Property = value, obj.Method(args)). The
// work is done by the object helper library (tarn_extender.h), loaded on
// the first object function with the host's consent (callback request -2)
// and released at shutdown. An object is a value of the object type whose
// integer is the helper's number for it.
#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "plugin_path.h"
#include "builtins.h"
#include "errors.h"
#include "functions/libraries.h"
#include "functions/logic/library_load.h"
#include "keywords.h"
#include "messages.h"
#include "values.h"
#include "variables.h"

namespace tarn::fn {
namespace {

enum Ordinal { kFunctions, kMembers, kMember, kShutdown };
constexpr std::array<const char*, 4> kOrdinalNames = {TARN_OBJECT_ORDINAL3, TARN_OBJECT_ORDINAL4, TARN_OBJECT_ORDINAL5,
                                                      TARN_OBJECT_ORDINAL6};

bool IsToken(const State& s, int code) { return s.token_type == kTokKeyword && s.token_code == code; }

// The helper in the library's plugin folder, else by name through the
// loader's path.
std::string HelperPath() {
    const std::string path = InstalledPluginPath(reinterpret_cast<void*>(&ViperAnswer), TARN_OBJECT_HELPER);
    return access(path.c_str(), F_OK) == 0 ? path : TARN_OBJECT_HELPER;
}

// Loads the helper on first use; false with the error set.
bool EnsureHelper(Call& c) {
    ScriptContext* ctx = c.Context();
    State& s = c.State();
    if (s.object_helper) return true;
    const LoadResult r = OpenLibrary(HelperPath());
    if (!r.handle) {
        // The helper's own file, or the bus libraries it needs.
        if (r.failure == LoadFailure::FileMissing) return c.Fail(err::OleHelperNotFound), false;
        if (r.failure == LoadFailure::DependencyMissing) return c.Fail(err::OleSystemLibrariesMissing), false;
        return c.Fail(err::OleHelperLoadFailure), false;
    }
    Value answer_value;
    SetInt(answer_value, 0);
    intptr_t status = -1;
    if (ctx->host_callback) {
        TarnAnswer answer{ctx, &answer_value};
        status = ctx->host_callback(s.window, s.instance, TARN_CALLBACK_WORD, TARN_CB_OBJECTS, ViperAnswer, &answer,
                                    nullptr, "", "", "", "", "");
    }
    std::int32_t allowed = 0;
    const bool yes = status >= 0 && ValueToInt(ctx, answer_value, &allowed) && allowed != 0;
    ReleaseValue(ctx, answer_value);
    if (!yes) {
        dlclose(r.handle);
        return c.Fail(err::OleNotSupported), false;
    }
    std::array<void*, 4> entries{};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i] = dlsym(r.handle, kOrdinalNames[i]);
        if (!entries[i]) {
            dlclose(r.handle);
            return c.Fail(err::OleHelperLoadFailure), false;
        }
    }
    s.object_helper = reinterpret_cast<std::intptr_t>(r.handle);
    for (std::size_t i = 0; i < entries.size(); ++i) s.object_entries[i] = entries[i];
    return true;
}

template <class Fn>
Fn Entry(State& s, Ordinal o) {
    return reinterpret_cast<Fn>(s.object_entries[o]);
}

// A helper's result code as this statement's error, with its detail.
void FailWith(Call& c, std::int32_t code, const char* detail) {
    std::snprintf(c.State().error_detail, sizeof c.State().error_detail, "%s", detail);
    const bool known = code > 0 && code < kCodeExit && !MessageText(code).empty();
    c.Fail(known ? code : err::OleErrorNotRecognised);
}

// objectopen(name) and objectaccess(name, flag).
void Open(Call& c, std::int32_t request, std::int32_t flag) {
    if (!EnsureHelper(c)) return;
    char detail[TARN_OBJECT_DETAIL] = "";
    std::int32_t object = 0;
    const std::string name(c.Str(0));
    const std::int32_t rc =
        Entry<TarnObjectFunctionsFn>(c.State(), kFunctions)(c.Context(), request, name.c_str(), flag, &object, detail);
    if (rc) return FailWith(c, rc, detail);
    c.ReturnObject(object);
}

void ObjectOpen(Call& c) { Open(c, TARN_OBJ_OPEN, 1); }
void ObjectAccess(Call& c) { Open(c, TARN_OBJ_ACCESS, c.Int(1)); }

void ObjectClose(Call& c) {
    if (!EnsureHelper(c)) return;
    char detail[TARN_OBJECT_DETAIL] = "";
    std::int32_t object = c.Int(0);
    if (!object) return c.Fail(err::OleNullObjectHandle);
    const std::int32_t rc =
        Entry<TarnObjectFunctionsFn>(c.State(), kFunctions)(c.Context(), TARN_OBJ_CLOSE, "", 0, &object, detail);
    if (rc) return FailWith(c, rc, detail);
    c.ReturnInt(0);
}

// Where the helper's result goes: the call's result value.
struct Sink {
    Call* call;
    bool stored = true;
};

void SetResult(void* sink, const TarnObjectValue* v) {
    Sink& k = *static_cast<Sink*>(sink);
    Call& c = *k.call;
    switch (v->type) {
        case TARN_INT: c.ReturnInt(v->integer); break;
        case TARN_FLOAT: c.ReturnFloat(v->real); break;
        case TARN_OBJECT: c.ReturnObject(v->integer); break;
        default: k.stored = c.ReturnText(std::string_view(v->text ? v->text : "", v->text ? v->length : 0)); break;
    }
}

// An argument as the helper sees it; strings point into `texts`.
TarnObjectValue Argument(ScriptContext* ctx, Value& v) {
    TarnObjectValue a{};
    if ((v.type & TARN_OBJECT) == TARN_OBJECT) {
        a.type = TARN_OBJECT;
        a.integer = v.integer;
    } else if (v.type & TARN_STRING) {
        const std::string_view t = TextOf(ctx, v);
        a.type = TARN_STRING;
        a.text = t.data();
        a.length = t.size();
    } else if (v.type & TARN_INT) {
        a.type = TARN_INT;
        a.integer = v.integer;
    } else {
        a.type = TARN_FLOAT;
        a.real = v.real;
    }
    return a;
}

// Values this handler evaluated, released on every path.
struct HeldValues {
    explicit HeldValues(ScriptContext* c) : ctx(c) {}
    ~HeldValues() {
        for (Value& v : values) ReleaseValue(ctx, v);
    }
    HeldValues(const HeldValues&) = delete;
    HeldValues& operator=(const HeldValues&) = delete;
    Value& Add() {
        values.emplace_back();
        SetUndefined(values.back());
        return values.back();
    }
    ScriptContext* ctx;
    std::vector<Value> values;
};

// obj.member, obj.member = value, obj.member(args): the dotted name is the
// current token.
void ObjectReference(Call& c) {
    ScriptContext* ctx = c.Context();
    State& s = c.State();
    const std::string reference = s.token;
    get_token(ctx);
    if (s.error) return;
    if (!s.object_helper) return c.Fail(err::OleNotInitialized);
    const std::size_t dot = reference.find('.');
    std::string name = reference.substr(0, dot);
    for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    const std::string member = reference.substr(dot + 1);
    if (member.empty() || member.back() == '.') return c.Fail(err::OleMemberNotFound);
    const std::uint16_t slot = LookupVariable(ctx, name);
    if (slot == kNoVariable) return c.Fail(err::OleObjectDoesNotExist);
    const VariableEntry& var = ctx->variables[slot];
    if ((var.type & TARN_OBJECT) != TARN_OBJECT) return c.Fail(err::OleObjectDoesNotExist);
    if (!var.integer) return c.Fail(err::OleNullObjectHandle);
    const std::int32_t object = var.integer;

    HeldValues held(ctx);
    held.values.reserve(kMaxArgs + 1);
    std::int32_t request = TARN_OBJ_GET;
    if (IsToken(s, kw::Open)) {
        request = TARN_OBJ_CALL;
        get_token(ctx);
        if (s.error) return;
        while (!IsToken(s, kw::Close)) {
            if (static_cast<int>(held.values.size()) == kMaxArgs) return c.Fail(err::OleTooManyParameters);
            if (!ProcessSubExpression(ctx, &held.Add(), 0)) return;
            if (IsToken(s, kw::Comma)) {
                get_token(ctx);
                if (s.error) return;
            } else if (!IsToken(s, kw::Close)) {
                return c.Fail(err::IllegalDelimiter);
            }
        }
        get_token(ctx);
        if (s.error) return;
    } else if (IsToken(s, kw::Assign)) {
        request = TARN_OBJ_PUT;
        get_token(ctx);
        if (s.error) return;
        if (!ProcessSubExpression(ctx, &held.Add(), 0)) return;
    }
    std::vector<TarnObjectValue> args;
    for (Value& v : held.values) {
        if (!HasValue(v)) return c.Fail(err::OleFormatProblem);
        args.push_back(Argument(ctx, v));
    }
    char detail[TARN_OBJECT_DETAIL] = "";
    c.ReturnInt(0);  // a member that gives nothing gives 0
    Sink sink{&c};
    const std::int32_t rc = Entry<TarnObjectMemberFn>(s, kMember)(
        object, member.c_str(), request, args.data(), static_cast<std::int32_t>(args.size()), SetResult, &sink, detail);
    if (rc) return FailWith(c, rc, detail);
    if (!sink.stored) return c.Fail(err::OutOfStringMemory);
}

constexpr tarn::BuiltinEntry kObjects[] = {
    {"objectopen", ObjectOpen},
    {"objectaccess", ObjectAccess},
    {"objectclose", ObjectClose},
    {"@", ObjectReference},
};

}  // namespace

void ReleaseObjectHelper(ScriptContext* ctx) {
    State& s = S(ctx);
    if (!s.object_helper) return;
    Entry<TarnObjectShutdownFn>(s, kShutdown)(ctx);
    dlclose(reinterpret_cast<void*>(s.object_helper));
    s.object_helper = 0;
    for (void*& e : s.object_entries) e = nullptr;
}

}  // namespace tarn::fn

TARN_FAMILY(objects, tarn::fn::kObjects)
