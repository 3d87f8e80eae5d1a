// The registry store's file parser: any text either fails to parse or gives
// a hive whose saved form parses back to the same saved form.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "registry_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;
    const auto hive = vrayu::registry::Hive::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!hive) return 0;
    const std::string saved = hive->Serialize();
    const auto again = vrayu::registry::Hive::Parse(saved);
    if (!again || again->Serialize() != saved) std::abort();
    return 0;
}
