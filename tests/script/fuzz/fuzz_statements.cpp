// libFuzzer entry: script text in, statement loop run in quiet mode.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 20000) return 0;
    tarn::fuzz::RunInput(data, size);
    return 0;
}
