// What both picture converters share: the command line they accept, how
// they report a failure, and how they write their output so that a reader
// never sees a half-written file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vrayu::converter {

// "-quality N" (optional; encoder only) followed by one bare input name.
struct Arguments {
    int quality = 75;
    std::string input;
};

// Parses argv; on a bad command line prints the usage text of `program` to
// stderr and returns no value. `acceptsQuality` is false for the decoder.
std::optional<Arguments> ParseArguments(int argc, char** argv, const char* program, bool acceptsQuality);

// "PROGRAM: MESSAGE" on stderr.
void Fail(const char* program, const std::string& message);

// The whole file, or no value (with errno set) when it cannot be read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path);

// Writes `bytes` under a temporary name beside `path`, flushes it to disk and
// renames it to `path`, so `path` appears complete or not at all. On failure
// the temporary file is removed and the reason is returned.
std::optional<std::string> WriteAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace vrayu::converter
