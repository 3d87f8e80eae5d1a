// Version resources of Windows executables (PE files): the fixed file
// version and the strings of the StringFileInfo tables.
#pragma once

#include <string>
#include <string_view>

namespace tarn::fn {

enum class PeVersion { NotPe, Broken, NoVersion, Found };

// Reads `field` of the version resource in `bytes` (the whole file).
// `language` names a string table by its key ("040904E4"; empty: the first
// table). A field beginning with "#" reads the fixed part: "#FileVersion" or
// "#ProductVersion" as "a.b.c.d".
PeVersion peVersionField(std::string_view bytes, std::string_view language, std::string_view field, std::string& out);

}  // namespace tarn::fn
