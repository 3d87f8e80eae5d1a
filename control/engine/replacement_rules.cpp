#include "replacement_rules.h"

#include "glyph_tables.h"
#include "replace_all.h"

namespace vrayu {
namespace {

using namespace std::string_view_literals;

// ORDER matters: "RR" must hide from the vocalic r rules and come back as two
// consonant "R"s; the "~r" rule runs after the "~l"/"~L"/"~m"/"~n" rules.
constexpr ReplacementRule kRules[] = {
    {"|", "!", true},
    {"^", " ", false},
    {"z", "j", false},
    {"Z", "J", false},
    {"a'", "aa", false},
    {"i'", "ee", false},
    {"u'", "uu", false},
    {"oo", "U", false},
    {"ai", "\xDE", false},
    {"ei", "\xDE", false},
    {"ou", "\xDF", false},
    {"au", "\xDF", false},
    {"ow", "\xDF", false},
    {"RR", "~r~r", false},
    {"Ru", "\xE0", false},
    {"RU", "\xE1", false},
    {"R", "\xE0", false},
    {"~l", "\xE2", false},
    {"~L", "\xE3", false},
    {"e'", "E", false},
    {"o'", "O", false},
    {"oe", "O", false},
    {"oa", "O", false},
    {"~m", "\xE7", false},
    {"~n", "\xE8", false},
    {"c'", "C", false},
    {"t'", "T", false},
    {"th'", "Th", false},
    {"d'", "D", false},
    {"dh'", "Dh", false},
    {"dH'", "Dh", false},
    {"n'", "N", false},
    {"s'", "S", false},
    {"l'", "L", false},
    {"ksh", "x", false},
    {"~r", "R", false},
    {"r''", "R", false},
    {"m'", "\xA5\xF7", false},
    {"@M", "\xBF", false},
    {"@m", "\xBF", false},
    {"@N", "\xBD", false},
    {"@n", "\xBD", false},
    {"@2", "\xBE", false},
    {"@h", "\xE5", false},
};

}  // namespace

std::span<const ReplacementRule> ReplacementRules() { return kRules; }

std::string ApplyReplacementRules(std::string_view text, std::string_view face) {
    // Two buffers used in turn: a rule that finds nothing costs one search and
    // no copy.
    std::string current(text), next;
    const bool abTelgu = face == kAbTeluguFace;
    for (const ReplacementRule& rule : kRules) {
        if (rule.abTelguOnly && !abTelgu) continue;
        if (ReplaceAllInto(current, rule.find, rule.replacement, next)) current.swap(next);
    }
    return current;
}

}  // namespace vrayu
