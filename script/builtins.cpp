#include "builtins.h"

#include <array>
#include <cstring>

#include "errors.h"
#include "keywords.h"
#include "string_heap.h"
#include "values.h"

namespace tarn {
namespace {

// Filled during static initialisation of the family files; read after.
std::array<Builtin, kKeywordCount>& Handlers() {
    static std::array<Builtin, kKeywordCount> table{};
    return table;
}

}  // namespace

void RegisterFamily(std::span<const BuiltinEntry> table) {
    for (const BuiltinEntry& e : table) SetBuiltin(e.code, e.handler);
}

void SetBuiltin(int code, Builtin handler) {
    if (code >= 0 && code < kKeywordCount) Handlers()[static_cast<std::size_t>(code)] = handler;
}

Builtin FindBuiltin(int code) {
    if (code < 0 || code >= kKeywordCount) return nullptr;
    return Handlers()[static_cast<std::size_t>(code)];
}

std::string_view Call::Name() const {
    const KeywordEntry* e = KeywordOf(ctx_, code_);
    if (!e) return {};
    return std::string_view(e->name, strnlen(e->name, sizeof e->name));
}

std::string_view Call::Str(int i) const {
    const Value& v = args_[i];
    if (!v.text) return {};
    return HeapText(S(ctx_).heap, v.text);
}

bool Call::IsHandle(int i) const { return IsHandleValue(args_[i]); }

bool Call::ToInt(int i, std::int32_t* out) {
    if (!ValueToInt(ctx_, args_[i], out)) {
        Fail(err::NotANumber);
        return false;
    }
    return true;
}

bool Call::ToFloat(int i, double* out) {
    if (!ValueToFloat(ctx_, args_[i], out)) {
        Fail(err::NotAFloat);
        return false;
    }
    return true;
}

bool Call::ToStr(int i, std::string_view* out) {
    if (!ValueToText(ctx_, args_[i])) {
        if (!Failed()) Fail(err::NotAString);
        return false;
    }
    *out = Str(i);
    return true;
}

void Call::ReturnInt(std::int32_t v) {
    ReleaseValue(ctx_, *result_);
    SetInt(*result_, v);
}

void Call::ReturnFloat(double v) {
    ReleaseValue(ctx_, *result_);
    SetFloat(*result_, v);
}

void Call::ReturnHandle(std::int32_t h) {
    ReleaseValue(ctx_, *result_);
    SetHandle(*result_, h);
}

void Call::ReturnObject(std::int32_t id) {
    ReleaseValue(ctx_, *result_);
    *result_ = Value{0.0, id, TARN_OBJECT, 0, -1};
}

bool Call::ReturnText(std::string_view text) {
    ReleaseValue(ctx_, *result_);
    const std::uint16_t off = StoreText(ctx_, text);
    if (!off) return false;
    SetText(*result_, off);
    return true;
}

Answer Call::Message(std::string_view caption, std::string_view text, Buttons buttons, Icon icon) {
    return ShowMessage(ctx_, caption, text, buttons, icon);
}

}  // namespace tarn
