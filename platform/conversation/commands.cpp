#include "commands.h"

namespace vrayu::conversation {
namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && Blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && Blank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

std::optional<std::vector<Command>> ParseCommands(std::string_view text) {
    std::vector<Command> commands;
    text = Trim(text);
    while (!text.empty()) {
        if (text.front() != '[') return std::nullopt;
        // An argument in double quotes may hold ")" and "]"; one without
        // them ends at the first ")]".
        const std::size_t open = text.find('(');
        std::size_t end = text.find(']');
        Command c;
        if (open != std::string_view::npos && open < end) {
            std::size_t from = open + 1;
            while (from < text.size() && Blank(text[from])) ++from;
            std::size_t paren;
            if (from < text.size() && text[from] == '"') {
                const std::size_t quote = text.find('"', from + 1);
                if (quote == std::string_view::npos) return std::nullopt;
                c.argument = std::string(text.substr(from + 1, quote - from - 1));
                paren = quote + 1;
                while (paren < text.size() && Blank(text[paren])) ++paren;
                if (text.substr(paren, 2) != ")]") return std::nullopt;
            } else {
                paren = text.find(")]", open);
                if (paren == std::string_view::npos) return std::nullopt;
                c.argument = std::string(Trim(text.substr(open + 1, paren - open - 1)));
            }
            c.has_argument = true;
            c.name = std::string(Trim(text.substr(1, open - 1)));
            end = paren + 1;
        } else {
            if (end == std::string_view::npos) return std::nullopt;
            c.name = std::string(Trim(text.substr(1, end - 1)));
        }
        if (c.name.empty()) return std::nullopt;
        commands.push_back(std::move(c));
        text = Trim(text.substr(end + 1));
    }
    if (commands.empty()) return std::nullopt;
    return commands;
}

}  // namespace vrayu::conversation
