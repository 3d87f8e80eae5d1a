// Every input the fuzzer once crashed, hung or tripped a sanitizer on runs
// cleanly now (under the sanitizer build this checks the fixes for real).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz_input.h"

namespace {

TEST(FuzzReproducers, RunCleanly) {
    const std::filesystem::path dir = TARN_FUZZ_REPRO_DIR;
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
        const int statements = tarn::fuzz::RunInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        EXPECT_LE(statements, 5001) << entry.path();
        ++count;
    }
    EXPECT_GT(count, 0);
}

}  // namespace
