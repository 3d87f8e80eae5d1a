// Facts about the product that several parts of the system print.
#pragma once

#include <string_view>

namespace vrayu {

// The product's web site: the HTML page links to it and the editor opens it.
inline constexpr std::string_view kProductSiteUrl = "https://vrayu.example.org/";

}  // namespace vrayu
