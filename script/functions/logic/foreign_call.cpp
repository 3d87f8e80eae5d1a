#include "functions/logic/foreign_call.h"

#include <ffi.h>

#include <array>
#include <cctype>
#include <cstring>

namespace tarn::fn {
namespace {

struct Word {
    std::string_view name;
    ForeignType type;
};
constexpr Word kWords[] = {
    {"word", ForeignType::Word},         {"long", ForeignType::Long},     {"lpstr", ForeignType::LpStr},
    {"lpbinary", ForeignType::LpBinary}, {"lpnull", ForeignType::LpNull}, {"void", ForeignType::Void},
};

ffi_type* FfiType(ForeignType t) {
    switch (t) {
        case ForeignType::Word: return &ffi_type_uint16;
        case ForeignType::Long: return &ffi_type_sint32;
        case ForeignType::LpStr:
        case ForeignType::LpBinary:
        case ForeignType::LpNull: return &ffi_type_pointer;
        case ForeignType::Void: return &ffi_type_void;
    }
    return nullptr;
}

// Longest text copied back from an "lpstr" result: more than any string
// the interpreter could store.
constexpr std::size_t kMaxResultText = 65536;

}  // namespace

std::optional<ForeignType> ParseTypeWord(std::string_view word) {
    for (const Word& w : kWords) {
        if (w.name.size() != word.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < word.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(word[i])) == w.name[i];
        if (same) return w.type;
    }
    return std::nullopt;
}

bool CallForeign(void* fn, ForeignType result, std::span<const ForeignArg> args, ForeignResult* out) {
    if (args.size() > kForeignMaxArgs) return false;
    if (result == ForeignType::LpBinary || result == ForeignType::LpNull) return false;
    std::array<ffi_type*, kForeignMaxArgs> types{};
    std::array<void*, kForeignMaxArgs> values{};
    // Each argument's storage, of the width its type word gives.
    std::array<std::uint16_t, kForeignMaxArgs> words{};
    std::array<std::int32_t, kForeignMaxArgs> longs{};
    std::array<void*, kForeignMaxArgs> pointers{};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const ForeignArg& a = args[i];
        types[i] = FfiType(a.type);
        if (a.type == ForeignType::Void || !types[i]) return false;
        switch (a.type) {
            case ForeignType::Word:
                words[i] = static_cast<std::uint16_t>(a.number);
                values[i] = &words[i];
                break;
            case ForeignType::Long:
                longs[i] = a.number;
                values[i] = &longs[i];
                break;
            default:
                pointers[i] = a.type == ForeignType::LpNull ? nullptr : a.pointer;
                values[i] = &pointers[i];
                break;
        }
    }
    ffi_cif cif;
    if (ffi_prep_cif(&cif, FFI_DEFAULT_ABI, static_cast<unsigned>(args.size()), FfiType(result), types.data()) !=
        FFI_OK)
        return false;
    // libffi widens integer results to a full register.
    ffi_arg r = 0;
    void* rp = nullptr;
    ffi_call(&cif, reinterpret_cast<void (*)()>(fn), result == ForeignType::LpStr ? static_cast<void*>(&rp) : &r,
             values.data());
    out->text.clear();
    switch (result) {
        case ForeignType::Word: out->number = static_cast<std::uint16_t>(r); break;
        case ForeignType::Long: out->number = static_cast<std::int32_t>(r); break;
        case ForeignType::LpStr:
            out->number = 0;
            if (rp)
                out->text.assign(static_cast<const char*>(rp), strnlen(static_cast<const char*>(rp), kMaxResultText));
            break;
        default: out->number = 0; break;
    }
    return true;
}

}  // namespace tarn::fn
