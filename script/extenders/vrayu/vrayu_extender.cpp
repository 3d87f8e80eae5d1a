// libtarn-vrayu.so: the transliteration engine as a Tarn extender. After
// addextender("libtarn-vrayu.so") scripts convert text like this:
//   vrayuglyphs(text [, font])  romanized (RIT) -> glyph codes of the font
//                               ("Vrayu", the default, or "abTelugu"); text
//                               between "#" marks is kept as typed
//   vrayuunicode(text)          romanized -> Unicode Telugu (UTF-8)
//   vrayudecode(glyphs)         "Vrayu" glyph codes -> Unicode Telugu (UTF-8)
//   vrayuromanize(utf8)         Unicode Telugu -> romanized (RIT)
// The contract of the entry: tarn_extender.h. No exception leaves it.
#include <cstdio>
#include <string>
#include <string_view>

#include "convert.h"
#include "glyph_decoder.h"
#include "glyph_tables.h"
#include "tarn_extender.h"
#include "unicode.h"
#include "unicode_to_rit.h"

namespace {

enum Code : int16_t { kGlyphs = 1, kUnicode = 2, kDecode = 3, kRomanize = 4 };

struct Function {
    const char* name;
    Code code;
    uint32_t descriptor;
};
constexpr Function kFunctions[] = {
    {"vrayuglyphs", kGlyphs, TARN_VARIADIC | TARN_ARG_STRING(0)},
    {"vrayuunicode", kUnicode, 1 | TARN_ARG_STRING(0)},
    {"vrayudecode", kDecode, 1 | TARN_ARG_STRING(0)},
    {"vrayuromanize", kRomanize, 1 | TARN_ARG_STRING(0)},
};

intptr_t Bind(TarnExtenderBind* b) {
    if (b->index < 0 || b->index >= static_cast<int32_t>(std::size(kFunctions))) return TARN_EXT_BIND_DONE;
    const Function& f = kFunctions[b->index];
    std::snprintf(b->name, sizeof b->name, "%s", f.name);
    b->code = f.code;
    b->kind = TARN_KW_FUNCTION;
    b->descriptor = f.descriptor;
    b->version = TARN_EXTENDER_VERSION;
    return TARN_EXT_BIND_MORE;
}

// Gives `text` as the function's result; a string heap without room is
// reported as the extender's severe error.
intptr_t Result(TarnViperAnswer answer, TarnAnswer* record, const std::string& text) {
    if (answer(0, 0, record, 1, 0, text.c_str()) == -4)
        return answer(-3, 0, record, 1, 0, "3096: the converted text does not fit in the string memory");
    return 0;
}

intptr_t Glyphs(TarnViperAnswer answer, TarnAnswer* record, const TarnExtenderCall* call, const char* font) {
    if (call->count < 1 || call->count > 2)
        return answer(-3, 0, record, 1, 0, "vrayuglyphs: give the text and, optionally, the font");
    const std::string_view list = call->count == 2 && *font ? font : "Vrayu";
    vrayu::GlyphTables tables;
    std::string face;
    if (!vrayu::SelectGlyphTables(list, tables, face))
        return answer(-2, 0, record, 1, 0, ("vrayuglyphs: unknown font \"" + std::string(list) + "\"").c_str());
    const char* text = TarnArgumentText(call, 0);
    return Result(answer, record, vrayu::ConvertEnglishPane(text ? text : "", 0, tables, face).text);
}

intptr_t Run(intptr_t request, TarnViperAnswer answer, TarnAnswer* record, const TarnExtenderCall* call,
             const char* text1, const char* text2) {
    switch (request) {
        case kGlyphs: return Glyphs(answer, record, call, text2);
        case kUnicode: return Result(answer, record, vrayu::ConvertEnglishPaneUnicode(text1));
        case kDecode: return Result(answer, record, vrayu::DecodeVrayuGlyphs(text1));
        case kRomanize: return Result(answer, record, vrayu::RitFromUnicode(text1).text);
    }
    return answer(-3, 0, record, 1, 0, "libtarn-vrayu: unknown function");
}

}  // namespace

extern "C" __attribute__((visibility("default"))) intptr_t TarnExtender(TarnHandle, TarnHandle, intptr_t,
                                                                        intptr_t request, TarnViperAnswer answer,
                                                                        TarnAnswer* record, void* slot,
                                                                        const char* text1, const char* text2,
                                                                        const char*, const char*, const char*) {
    try {
        if (request == TARN_EXT_BIND) return Bind(static_cast<TarnExtenderBind*>(slot));
        return Run(request, answer, record, static_cast<const TarnExtenderCall*>(slot), text1 ? text1 : "",
                   text2 ? text2 : "");
    } catch (...) {
        return answer(-3, 0, record, 1, 0, "3096: out of memory");
    }
}
