// Script values to D-Bus values of a given type and back.
//
// To D-Bus (the member's signature decides): integers, booleans and
// floating point from numbers or from text holding a number; "s" from any
// value (numbers as decimal text); "o" from an object's path or a text;
// "v" wraps an integer as int32, a number as double, a text as a string,
// an object as its path; any other type (arrays, dictionaries, structures)
// is read from text in the GVariant text form ("['a', 'b']", "{}").
// Texts go to D-Bus as UTF-8: text that is valid UTF-8 as it is, other text
// as ISO-8859-1.
//
// From D-Bus: integer types that fit 32 bits give integers, wider ones
// floating point; booleans 1 or 0; "d" floating point; strings, object
// paths and signatures their text; a variant what it holds; an array of
// strings (or paths) its items joined by tabs; anything else its GVariant
// text.
#pragma once

#include <gio/gio.h>

#include <functional>
#include <string>

#include "tarn_extender.h"

namespace tarn::objects {

// The path of an object handed over as an argument ("" when unknown).
using ObjectPathOf = std::function<std::string(std::int32_t object)>;

// A floating reference to the value, or null with `error` set.
GVariant* ToVariant(const TarnObjectValue& v, const GVariantType* type, const ObjectPathOf& path_of,
                    std::string* error);

// A script value of `v`; text is kept in `storage` (which must outlive the
// result).
TarnObjectValue FromVariant(GVariant* v, std::string* storage);

// The text as UTF-8 (unchanged when it already is).
std::string AsUtf8(std::string_view text);

}  // namespace tarn::objects
