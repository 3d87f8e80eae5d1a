// Case-sensitive replacement of every occurrence of a text.
#pragma once

#include <string>
#include <string_view>

namespace vrayu {

// Replaces every occurrence of `find` in `text`, left to right; the search
// continues directly behind each inserted replacement, so inserted text is
// never searched again. An empty `find` leaves the text as it is.
std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement);

// Same, writing into `out` (cleared first) so callers can reuse its buffer.
// Returns false, leaving `out` untouched, when `find` does not occur.
bool ReplaceAllInto(std::string_view text, std::string_view find, std::string_view replacement, std::string& out);

}  // namespace vrayu
