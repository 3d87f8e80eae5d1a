// What kind of program a file holds, from its first bytes: Linux ELF
// programs and shared libraries, scripts with "#!", and the Windows and
// DOS formats (MZ, NE, PE). No interpreter types.
#pragma once

#include <string>
#include <string_view>

namespace tarn::exetype {

// ORDER EXETYPE: the results of exetypeinfo.
enum Kind : int {
    kNotProgram = 0,    // none of the formats below
    kDos = 1,           // MS-DOS program (MZ without a newer header)
    kWin16 = 2,         // 16-bit Windows or OS/2 (NE, LE, LX)
    kPe32 = 3,          // 32-bit Windows (PE32)
    kPe64 = 4,          // 64-bit Windows (PE32+)
    kScript = 5,        // text starting with "#!"
    kElf32Program = 6,  // ELF, 32-bit, executable (position-independent too)
    kElf32Library = 7,  // ELF, 32-bit, shared library
    kElf64Program = 8,
    kElf64Library = 9,
    kElfOther = 10,  // ELF object file, core dump, ...
};

// The kind of the bytes of a file (its beginning and the headers they point to).
Kind Classify(std::string_view bytes);

// The kind of a file; false when it cannot be opened.
bool ClassifyFile(const std::string& path, Kind* kind);

}  // namespace tarn::exetype
