// The string family: "str" built-ins and "parsedata".
#include "builtins.h"
#include "functions/logic/charset.h"
#include "errors.h"
#include "functions/family_util.h"
#include "functions/logic/textops.h"
#include "variables.h"

namespace tarn::fn {
namespace {

void StrCat(Call& c) {
    std::string out;
    for (int i = 0; i < c.Count(); ++i) {
        std::string_view s;
        if (!c.ToStr(i, &s)) return;
        out.append(s);
    }
    ReturnTextOrMemError(c, out);
}

void StrLen(Call& c) { c.ReturnInt(static_cast<std::int32_t>(charCount(c.Str(0)))); }
void StrSub(Call& c) { ReturnTextOrMemError(c, strSub(c.Str(0), c.Int(1), c.Int(2))); }

void StrIndex(Call& c) {
    c.ReturnInt(static_cast<std::int32_t>(strIndex(c.Str(0), c.Str(1), c.Int(2), c.Int(3) != 0, false)));
}
void StrIndexNc(Call& c) {
    c.ReturnInt(static_cast<std::int32_t>(strIndex(c.Str(0), c.Str(1), c.Int(2), c.Int(3) != 0, true)));
}
void StrScan(Call& c) { c.ReturnInt(static_cast<std::int32_t>(strScan(c.Str(0), c.Str(1), c.Int(2), c.Int(3) != 0))); }
void StrReplace(Call& c) {
    if (!TextCanFit(c, strReplaceSize(c.Str(0), c.Str(1), c.Str(2)))) return;
    ReturnTextOrMemError(c, strReplace(c.Str(0), c.Str(1), c.Str(2)));
}
void StrTrim(Call& c) { ReturnTextOrMemError(c, strTrim(c.Str(0))); }

void Fix(Call& c, bool left) {
    if (c.Int(2) < 0) return c.Fail(err::StrFixInvalidLength);
    if (!TextCanFit(c, static_cast<std::uint64_t>(c.Int(2)))) return;  // every character takes a byte at least
    ReturnTextOrMemError(c, strFix(c.Str(0), c.Str(1), c.Int(2), left));
}
void StrFix(Call& c) { Fix(c, false); }
void StrFixLeft(Call& c) { Fix(c, true); }

void StrFill(Call& c) {
    if (c.Int(1) > 0 && !TextCanFit(c, static_cast<std::uint64_t>(c.Int(1)))) return;
    ReturnTextOrMemError(c, strFill(c.Str(0), c.Int(1)));
}
void StrUpper(Call& c) { ReturnTextOrMemError(c, toUpper(c.Str(0))); }
void StrLower(Call& c) { ReturnTextOrMemError(c, toLower(c.Str(0))); }
void StrCmp(Call& c) { c.ReturnInt(strCompare(c.Str(0), c.Str(1), false)); }
void StrICmp(Call& c) { c.ReturnInt(strCompare(c.Str(0), c.Str(1), true)); }

void StrIndexWild(Call& c) { c.ReturnInt(static_cast<std::int32_t>(strWild(c.Str(0), c.Str(1), c.Int(2)).pos)); }
void StrLenWild(Call& c) { c.ReturnInt(static_cast<std::int32_t>(strWild(c.Str(0), c.Str(1), c.Int(2)).length)); }
void StrSubWild(Call& c) { ReturnTextOrMemError(c, strWild(c.Str(0), c.Str(1), c.Int(2)).text); }

// Splits a text into param1..param9 and Param0, as a host's parameters are.
void ParseData(Call& c) {
    std::string text(c.Str(0));
    int n = SetParameters(c.Context(), text);
    if (!c.Failed()) c.ReturnInt(n);
}

constexpr BuiltinEntry kStrings[] = {
    {"strcat", StrCat},
    {"strlen", StrLen},
    {"strcharcount", StrLen},
    {"strsub", StrSub},
    {"strindex", StrIndex},
    {"strindexnc", StrIndexNc},
    {"strscan", StrScan},
    {"strreplace", StrReplace},
    {"strtrim", StrTrim},
    {"strfix", StrFix},
    {"strfixchars", StrFix},
    {"strfixleft", StrFixLeft},
    {"strfixcharsl", StrFixLeft},
    {"strfill", StrFill},
    {"strupper", StrUpper},
    {"strlower", StrLower},
    {"strcmp", StrCmp},
    {"stricmp", StrICmp},
    {"strindexwild", StrIndexWild},
    {"strlenwild", StrLenWild},
    {"strsubwild", StrSubWild},
    {"parsedata", ParseData},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(strings, tarn::fn::kStrings)
