// The size list's colour question: the answer typed into the input box and
// the classic 16-colour palette.
#pragma once

#include <QString>
#include <cstdint>

namespace vrayu {

// Leading number of a text as the classic Val reads it ("12abc" -> 12,
// " 7" -> 7, "" or "x" -> 0, "3.7" -> 3.7).
double LeadingNumber(const QString& text);

// Palette index of an answer: its leading number rounded to a whole number;
// below 0 or above 15 gives 0.
int ColorIndexFromAnswer(const QString& answer);

// OLE colour (red in the low byte) of palette entry 0..15.
std::int64_t PaletteColor(int index);

}  // namespace vrayu
