// Runs arbitrary bytes as a script text through the statement loop, in
// quiet mode, with file, program and library functions out of reach and a
// statement budget (so endless loops end). Shared by the libFuzzer target
// and the reproducer test.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarn::fuzz {

// Returns the number of statements run.
int RunInput(const std::uint8_t* data, std::size_t size);

}  // namespace tarn::fuzz
