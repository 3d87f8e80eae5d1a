// The version-resource reader over any bytes, for the fixed part and for
// strings of the first and of a named table.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "functions/logic/peversion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1 << 20) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string out;
    tarn::fn::peVersionField(bytes, "", "#FileVersion", out);
    tarn::fn::peVersionField(bytes, "", "#ProductVersion", out);
    tarn::fn::peVersionField(bytes, "", "FileDescription", out);
    tarn::fn::peVersionField(bytes, "040904E4", "CompanyName", out);
    return 0;
}
