// The ini family: WIN.INI and private profile files in the Windows
// directory stand-in, read and written as real INI files. Every write is a
// locked read-modify-write through a temporary file renamed over the old
// one (atomic_file.h): the file is never lost to a failed write, concurrent
// writers keep each other's keys, and a file that cannot be read is never
// overwritten.
#include "builtins.h"
#include "errors.h"
#include "functions/family_util.h"
#include "windows_directory.h"
#include "functions/logic/ini_file.h"

#include <string>

namespace tarn::fn {
namespace {

constexpr int kIllegalDevice = err::IniPrivateFunctionsIllegalAccess386EnhDevice;
// Value of @wholesection, as the key text it converts to.
constexpr std::string_view kWholeSection = "692837";

std::string WinIni() { return WindowsFile("WIN.INI"); }

// A private file named without a folder lives in the Windows directory (as
// the profile API does); "\" is accepted as a separator. "" when that
// folder cannot be used.
std::string PrivateFile(std::string_view name) {
    std::string f(name);
    for (char& ch : f)
        if (ch == '\\') ch = '/';
    if (f.find('/') == std::string::npos) return WindowsFile(f);
    return f;
}

// Before a write: the Windows directory is created (0700) and must be the
// user's own; other folders are the caller's choice.
bool PrepareFolder(const std::string& file) {
    if (file.empty()) return false;
    const std::string dir = WindowsDirectory();
    if (dir.empty() || file.compare(0, dir.size() + 1, dir + "/") != 0) return true;
    return PrepareWindowsDirectory();
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
    const bool ok = PrepareFolder(file) && UpdateIni(file, [&](IniFile& ini) {
                        ini.Set(c.Str(0), c.Str(1), c.Str(2));
                        return true;
                    });
    c.ReturnInt(ok ? 1 : 0);
}

void Delete(Call& c, const std::string& file) {
    const bool ok =
        PrepareFolder(file) && UpdateIni(file, [&](IniFile& ini) {
            return c.Str(1) == kWholeSection ? ini.DeleteSection(c.Str(0)) : ini.DeleteKey(c.Str(0), c.Str(1));
        });
    c.ReturnInt(ok ? 1 : 0);
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
    {"iniread", IniRead},         {"inireadpvt", IniReadPvt},       {"iniwrite", IniWrite},
    {"iniwritepvt", IniWritePvt}, {"inidelete", IniDelete},         {"inideletepvt", IniDeletePvt},
    {"iniitemize", IniItemize},   {"iniitemizepvt", IniItemizePvt},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(profile, tarn::fn::kProfile)
