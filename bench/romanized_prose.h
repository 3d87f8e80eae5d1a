// Realistic romanized Telugu prose for benchmarks: common words in RIT
// spelling, sentence punctuation and line ends, deterministic for a size.
#pragma once

#include <cstddef>
#include <string>

namespace vrayu::bench {

std::string RomanizedProse(std::size_t bytes);

// The same prose with a "#...#" run kept as typed after every fifth word.
std::string RomanizedProseWithLiteralRuns(std::size_t bytes);

}  // namespace vrayu::bench
