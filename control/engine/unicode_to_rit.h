// Unicode Telugu back into RIT romanization: the inverse of the Unicode form,
// so that Telugu pasted or opened into the English pane becomes romanized
// text that converts back to the same Telugu. Text that is not Telugu passes
// through unchanged.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace vrayu {

struct RitText {
    std::string text;  // UTF-8; Telugu replaced by its romanization
    int inexact = 0;   // places the romanization cannot type exactly (see below)
};

// UTF-8 in (an invalid byte is read as the ISO-8859-1 character it names).
// Every place where converting `text` back would not give the same Telugu is
// counted in `inexact`; there the output keeps the nearest readable spelling.
RitText RitFromUnicode(std::string_view utf8);

// What the romanization cannot type, with an example of each and how it is
// written instead (the help page lists these).
struct UntypeableRow {
    std::string_view what;
    std::string_view example;  // Unicode Telugu (UTF-8)
    std::string_view writtenAs;
};
std::span<const UntypeableRow> UntypeableRows();

}  // namespace vrayu
