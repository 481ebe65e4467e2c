// Small text conversions the engine shares: upper case and blank trimming of
// Windows-1252 text, the leading number of a text, and rounding to a 16-bit
// integer the way the engine's settings and field definitions take numbers.
#pragma once

#include <cstdint>
#include <string>

namespace kelvarin::dbf {

// Upper-cases ASCII letters and the Windows-1252 accented letters.
std::string UpperCase(std::string text);
// Removes blanks (only 0x20) at both ends.
std::string TrimBlanks(const std::string& text);
// The number the text begins with: leading blanks and tabs skipped, blanks
// between digits ignored, "." as the decimal point, an exponent by E or D;
// 0 when the text does not begin with a number.
double LeadingNumber(const std::string& text);
// Rounds half to even into out; false when the result does not fit 16 bits.
bool RoundToInt16(double value, int16_t& out);

}  // namespace kelvarin::dbf
