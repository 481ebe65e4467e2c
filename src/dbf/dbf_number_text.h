// Numbers as the expression evaluator sees them: every value travels as
// text, so reading a number from text (platform::ReadLeadingNumber, the one
// reader the whole program uses), writing a number as text and rounding a
// number to a count are the conversions every operation leans on.
//
// Number text: the shortest decimal form with up to 15 significant digits,
// "-" for negatives, no leading blank, no 0 before the decimal point of a
// magnitude below 1 (.25, -.25), and the exponent form (1E+20, 1.5E-07) for
// magnitudes of 1E+15 and above or below 1E-04.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text/number_text.h"

namespace kelvarin::dbf {

// The number text of value (see above). Never called with inf or NaN by the
// evaluator; they come out as "0".
std::string NumberText(double value);

// value with decimals (at least 1) decimal places, rounded half away from
// zero on its 15-significant-digit decimal form, and no 0 before the point
// (3.14, .50, -.50). A result of only zeros has no sign.
std::string FixedDecimalText(double value, int32_t decimals);

// True when text, after one optional leading "+", is exactly the number text
// of the number it reads as.
bool IsNumberTextForm(std::string_view text);

// Rounds to the nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value);

// RoundHalfEven into a 32-bit integer; false when it does not fit (or the
// value is not finite).
bool RoundToInt32(double value, int32_t& out);
// The same into 16 bits.
bool RoundToInt16(double value, int16_t& out);
// The number the text begins with, rounded into 16 bits, as the engine takes
// its settings and field definitions; false on overflow.
bool LeadingInt16(std::string_view text, int16_t& out);

// -1 when text is a number above 0 (or begins with the digit 0) whose length
// trimmed of blanks equals that of its number text; else 0.
double DbfIsNumber(std::string_view text);

}  // namespace kelvarin::dbf
