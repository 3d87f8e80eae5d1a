// The interpreter-control family's parts that tests reach directly.
#pragma once

#include <cstdint>
#include <string_view>

#include "errors.h"

namespace tarn::fn {

// Requests with no meaning here.
inline constexpr int kIntcontrolNotAvailable = err::NotAvailable;

// p1 of an intcontrol request read as an integer: its first 19 characters,
// leading blanks, an optional sign and the digits that follow (0 when none).
std::int32_t intcontrolNumber(std::string_view p1);

// True when the request number has an entry of its own (it is not handed to
// the host).
bool intcontrolHasRequest(int number);

}  // namespace tarn::fn
