// Entering, finding and dropping variables through the name index gives
// the slots a scan of the block gives: the lowest free slot is reused and
// a dropped name is found no more.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "context.h"
#include "test_context.h"
#include "values.h"
#include "variables.h"

namespace tarn {
namespace {

TEST(VariableIndex, SlotsAsAScanOfTheBlockGivesThem) {
    constexpr int kCapacity = 64;
    test::Context c(65536, kCapacity);
    std::vector<std::string> model;  // the name in each used slot, "" when free
    const auto expected = [&](const std::string& name) {
        for (std::size_t i = 0; i < model.size(); ++i)
            if (model[i] == name) return static_cast<std::uint16_t>(i);
        return kNoVariable;
    };
    std::mt19937 rng(11);
    for (int step = 0; step < 20000; ++step) {
        const std::string name = "v" + std::to_string(rng() % 100);
        switch (rng() % 3) {
            case 0: {
                std::uint16_t slot = expected(name);
                if (slot == kNoVariable) {
                    for (std::size_t i = 0; i < model.size() && slot == kNoVariable; ++i)
                        if (model[i].empty()) slot = static_cast<std::uint16_t>(i);
                    if (slot == kNoVariable && model.size() < kCapacity) {
                        slot = static_cast<std::uint16_t>(model.size());
                        model.emplace_back();
                    }
                    if (slot != kNoVariable) model[slot] = name;
                }
                ASSERT_EQ(EnterVariable(c.ctx, name), slot) << "step " << step;
                S(c.ctx).error = 0;
                break;
            }
            case 1: {
                const std::uint16_t slot = expected(name);
                if (slot == kNoVariable) break;
                DropVariable(c.ctx, slot);
                model[slot].clear();
                while (!model.empty() && model.back().empty()) model.pop_back();
                break;
            }
            default: ASSERT_EQ(LookupVariable(c.ctx, name), expected(name)) << "step " << step;
        }
        ASSERT_EQ(S(c.ctx).variables_used, model.size());
    }
}

// A stamp names one value of one variable: two variables never share one,
// not even after the index is rebuilt and neither was written since.
TEST(VariableIndex, StampsTellVariablesAndValuesApart) {
    test::Context c;
    const std::uint16_t a = EnterVariable(c.ctx, "a"), b = EnterVariable(c.ctx, "b");
    const VariableStamp first = StampOfVariable(c.ctx, a);
    ASSERT_TRUE(first.known());
    EXPECT_NE(first, StampOfVariable(c.ctx, b));
    Value v;
    SetInt(v, 1);
    AssignVariable(c.ctx, a, v);
    EXPECT_NE(StampOfVariable(c.ctx, a), first);
    ForgetVariableIndex(c.ctx);
    const VariableStamp rebuilt = StampOfVariable(c.ctx, a);
    EXPECT_NE(rebuilt, first);
    EXPECT_NE(rebuilt, StampOfVariable(c.ctx, b));
}

}  // namespace
}  // namespace tarn
