// Numbers of the picture window: its units (twips, and the size fields'
// hundredths of an inch), how a field's text is read as a number, how sizes
// are rounded and written back. No widgets here.
#pragma once

#include <QString>
#include <optional>

namespace vrayu {

// Twips in one unit of the width and height fields (1/100 inch).
inline constexpr double kTwipsPerSizeUnit = 14.4;
// The canvas is the text's extent plus these margins, in twips.
inline constexpr double kCanvasMarginWidth = 100;
inline constexpr double kCanvasMarginHeight = 50;
// Added text items lie this far below the previous one, in twips.
inline constexpr double kTextItemStep = 360;
inline constexpr int kMaxTextItems = 20;
// Text items whose tops differ by more than this start a new printed line.
inline constexpr double kPrintedLineStep = 240;
// No side of the canvas grows beyond this many pixels (memory stays bounded).
inline constexpr int kMaxCanvasPixels = 8192;

// The number at the start of `text` as the classic Val reads it: blanks
// anywhere are skipped, then an optional sign, digits, a decimal point and
// an exponent (E or D); anything else ends the number. No number gives 0.
double LeadingNumber(const QString& text);

// Nearest integer, halves to even.
double RoundHalfEven(double x);

// A number as decimal text with up to 15 significant digits and no
// trailing zeros ("40.2777777777778", "17", "-0.5").
QString DecimalText(double x);

// Size field value for a measured text extent (twips) and margin, as the
// scroll bars take it (rounded) and as "Refresh Text on Picture" writes it.
int RoundedSizeUnits(double extentTwips, double marginTwips);
double SizeUnits(double extentTwips, double marginTwips);

// A 16-bit integer from the start of `text` ("75%" gives 75, "" gives 0),
// rounded halves to even; no value when it does not fit in 16 bits.
std::optional<int> QualityFromAnswer(const QString& text);

}  // namespace vrayu
