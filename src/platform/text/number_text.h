// Numbers as text, in the forms the program shows and stores.
//
// The plain form is the shortest decimal text without a leading blank
// ("12", "0.5", "-3.25"); the signed form puts a blank before a number of zero
// or more and a minus before a negative one, and drops the 0 before the point
// (" 12", " .5", "-.5"). Both keep `significantDigits` digits at most (7 for
// single-precision values, 15 for double) and switch to exponent form
// ("1E+20", "1.5E-07") outside the exponent range DecimalStyle gives.
#pragma once

#include <string>
#include <string_view>

#include "platform/locale.h"

namespace kelvarin::platform {

struct DecimalStyle {
  int significantDigits = 7;
  bool zeroBeforePoint = true;   // "0.5" rather than ".5"
  bool blankBeforePositive = false;
  // Exponent form when the decimal exponent is at least this, or below
  // minFixedExponent.
  int maxFixedExponent = 7;
  int minFixedExponent = -5;
};

std::string DecimalText(double value, const DecimalStyle& style);

// Single-precision values (entry numbers, totals held as singles).
std::string PlainNumber(float value);
std::string SignedNumber(float value);

// The "Standard" format: thousands separators and two decimals, by the
// user's number settings (1234.5 gives "1,234.50").
std::string StandardFormat(double value, const LocaleSettings& locale);

// The number a text begins with, as the program reads numbers everywhere
// (totals, comparisons, the DBF engine and its expressions): blanks are
// skipped wherever they stand (other white space is not a blank), then an
// optional sign, digits with "." as the decimal point, and an exponent
// introduced by E or D (either case) with an optional sign. 0 when the text
// does not begin with a number; magnitudes too small for a double read as 0.
struct LeadingNumberResult {
  double value = 0;
  // The text names a number beyond the range of a double; value is 0.
  bool overflow = false;
};
LeadingNumberResult ReadLeadingNumber(std::string_view text);

// ReadLeadingNumber's value, 0 on overflow: the numeric value of a text where
// the caller has no failure to report.
double LeadingNumber(std::string_view text);

// Adds the number a text begins with to a total held as a single, as every
// output totals its summed fields: the sum is taken in double precision and
// only then stored back (83757.80 + 55645.43 gives 139403.23, not .22).
void AddToTotal(float& total, std::string_view text);

}  // namespace kelvarin::platform
