// Execute strings in the usual form of conversation commands: one or more
// "[Name]" or "[Name(argument)]" in a row, blanks allowed between them.
// The argument is the text between "(" and ")]", blanks around it dropped,
// or the text between double quotes, which may then hold ")" and "]".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrayu::conversation {

struct Command {
    std::string name;      // as written
    std::string argument;  // "" without parentheses
    bool has_argument = false;
};

// The commands of an execute string; nullopt when it is not in that form.
std::optional<std::vector<Command>> ParseCommands(std::string_view text);

}  // namespace vrayu::conversation
