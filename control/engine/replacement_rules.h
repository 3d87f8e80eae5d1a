// The replacement rules that rewrite romanized text before the syllable scan.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace vrayu {

struct ReplacementRule {
    std::string_view find;
    std::string_view replacement;
    bool abTelguOnly;  // applies only while the Telugu pane's face is "abTelgu"
};

// The rules in the order they run; each works on the result of the one before.
std::span<const ReplacementRule> ReplacementRules();

// Runs every rule that applies to `face` over `text`.
std::string ApplyReplacementRules(std::string_view text, std::string_view face);

}  // namespace vrayu
