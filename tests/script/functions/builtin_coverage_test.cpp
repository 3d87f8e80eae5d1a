// Walks the keyword table: every built-in function has a handler, so no
// name raises "Function not defined" (3046) at run time.
#include "builtins.h"
#include "keywords.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace tarn {
namespace {

TEST(BuiltinCoverage, EveryFunctionOfTheKeywordTableHasAHandler) {
    std::vector<std::string> missing;
    for (int code = 0; code < static_cast<int>(std::size(kKeywordTable)); ++code) {
        const KeywordEntry& k = kKeywordTable[code];
        // drop and isdefined (variable-name arguments) are the dispatcher's own.
        if (k.kind != TARN_KW_FUNCTION) continue;
        const std::string_view name(k.name);
        if (FindBuiltin(code)) continue;
        missing.emplace_back(name);
    }
    EXPECT_TRUE(missing.empty()) << "no handler (3046): " << ::testing::PrintToString(missing);
}

}  // namespace
}  // namespace tarn
