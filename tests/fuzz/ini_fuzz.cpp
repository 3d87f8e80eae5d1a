// The INI parser and editor: any text is read, queried, edited and written
// back; a key just set reads back as set.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "functions/logic/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    tarn::IniFile ini(text);
    for (const std::string& section : ini.Sections())
        for (const std::string& key : ini.Keys(section)) ini.Get(section, key);
    const std::string section = text.substr(0, text.find_first_of("[]\r\n=;\0", 0, 6) % 16);
    ini.Set(section, "fuzzkey", "value");
    const auto back = ini.Get(section, "fuzzkey");
    if (!back || *back != "value") std::abort();
    ini.DeleteKey(section, "fuzzkey");
    ini.DeleteSection(section);
    tarn::IniFile(ini.Text()).Text();
    return 0;
}
