// Key path spelling shared by the store's parts: the case folding keys and
// value names are compared by, and the depth of a path.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vrayu::registry::detail {

// ASCII letters to lower case; every other byte as it is.
std::string Fold(std::string_view s);
// Number of names in a normalized path ("" has none).
std::size_t Depth(std::string_view path);

}  // namespace vrayu::registry::detail
