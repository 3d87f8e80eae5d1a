// The ini family: WIN.INI and private profile files in the Windows
// directory stand-in, read and written as real INI files. Every write goes
// through a temporary file renamed over the old one, so the file is never
// lost to a failed write.
#include "builtins.h"
#include "errors.h"
#include "family_util.h"
#include "ini_file.h"

#include <string>

namespace tarn::fn {
namespace {

constexpr int kIllegalDevice = err::IniPrivateFunctionsIllegalAccess386EnhDevice;
// Value of @wholesection, as the key text it converts to.
constexpr std::string_view kWholeSection = "692837";

std::string WinIni() { return WindowsDir() + "WIN.INI"; }

// A private file named without a folder lives in the Windows directory (as
// the profile API does); "\" is accepted as a separator.
std::string PrivateFile(std::string_view name) {
    std::string f(name);
    for (char& ch : f)
        if (ch == '\\') ch = '/';
    if (f.find('/') == std::string::npos) return WindowsDir() + f;
    return f;
}

// [386Enh] Device= belongs to the system; refused in private files.
bool DeviceGuard(Call& c, std::string_view section, std::string_view key) {
    if (SameNoCase(section, "386enh") && SameNoCase(key, "device")) {
        c.Fail(kIllegalDevice);
        return false;
    }
    return true;
}

void Read(Call& c, const std::string& file) {
    auto v = LoadIni(file).Get(c.Str(0), c.Str(1));
    ReturnTextOrMemError(c, v ? *v : std::string(c.Str(2)));
}

// All three empty is the cache flush: nothing is cached, so nothing to do.
// A failed write gives 0 (the file stays as it was), success 1.
void Write(Call& c, const std::string& file) {
    if (c.Str(0).empty() && c.Str(1).empty() && c.Str(2).empty()) return c.ReturnInt(1);
    IniFile ini = LoadIni(file);
    ini.Set(c.Str(0), c.Str(1), c.Str(2));
    if (!SaveIni(file, ini)) return c.ReturnInt(0);
    c.ReturnInt(1);
}

void Delete(Call& c, const std::string& file) {
    IniFile ini = LoadIni(file);
    const bool changed = c.Str(1) == kWholeSection ? ini.DeleteSection(c.Str(0)) : ini.DeleteKey(c.Str(0), c.Str(1));
    if (changed && !SaveIni(file, ini)) return c.ReturnInt(0);
    c.ReturnInt(1);
}

void Itemize(Call& c, const std::string& file) {
    const IniFile ini = LoadIni(file);
    const auto names = c.Str(0).empty() ? ini.Sections() : ini.Keys(c.Str(0));
    std::string out;
    const std::string delim = ItemDelim(c);
    for (std::size_t i = 0; i < names.size(); ++i) out += (i ? delim : "") + names[i];
    ReturnTextOrMemError(c, out);
}

void IniRead(Call& c) { Read(c, WinIni()); }
void IniReadPvt(Call& c) {
    if (DeviceGuard(c, c.Str(0), c.Str(1))) Read(c, PrivateFile(c.Str(3)));
}
// WM_WININICHANGE has no listener here: programs read WIN.INI afresh.
void IniWrite(Call& c) { Write(c, WinIni()); }
void IniWritePvt(Call& c) {
    if (DeviceGuard(c, c.Str(0), c.Str(1))) Write(c, PrivateFile(c.Str(3)));
}
void IniDelete(Call& c) { Delete(c, WinIni()); }
void IniDeletePvt(Call& c) {
    if (DeviceGuard(c, c.Str(0), c.Str(1))) Delete(c, PrivateFile(c.Str(2)));
}
void IniItemize(Call& c) { Itemize(c, WinIni()); }
void IniItemizePvt(Call& c) { Itemize(c, PrivateFile(c.Str(1))); }

constexpr BuiltinEntry kProfile[] = {
    {"iniread", IniRead},         {"inireadpvt", IniReadPvt},     {"iniwrite", IniWrite},
    {"iniwritepvt", IniWritePvt}, {"inidelete", IniDelete},       {"inideletepvt", IniDeletePvt},
    {"iniitemize", IniItemize},   {"iniitemizepvt", IniItemizePvt},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(profile, tarn::fn::kProfile)
