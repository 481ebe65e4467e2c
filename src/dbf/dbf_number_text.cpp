#include "dbf/dbf_number_text.h"

#include "dbf/dbf_text.h"
#include "platform/text/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace kelvarin::dbf {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string NumberText(double value) {
  if (!std::isfinite(value)) return "0";
  platform::DecimalStyle style;
  style.significantDigits = 15;
  style.zeroBeforePoint = false;
  style.blankBeforePositive = false;
  style.maxFixedExponent = 15;
  style.minFixedExponent = -4;
  return platform::DecimalText(value, style);
}

std::string FixedDecimalText(double value, int32_t decimals) {
  if (decimals < 1) decimals = 1;
  std::string digits = "0";
  int exponent = 0;
  if (std::isfinite(value) && value != 0) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                   std::chars_format::scientific, 14);
    if (ec == std::errc()) {
      std::string_view sci(buf, static_cast<size_t>(end - buf));
      const size_t ePos = sci.find('e');
      digits.clear();
      for (size_t k = 0; k < ePos; ++k) {
        if (IsDigit(sci[k])) digits.push_back(sci[k]);
      }
      exponent = std::atoi(std::string(sci.substr(ePos + 1)).c_str());
    }
  }
  // place[k] holds the digit of weight 10^(high - k), down to 10^-(decimals+1)
  // which only decides the rounding.
  const int64_t high = exponent > 0 ? exponent : 0;
  const int64_t low = -static_cast<int64_t>(decimals) - 1;
  std::string place(static_cast<size_t>(high - low + 1), '0');
  for (size_t i = 0; i < digits.size(); ++i) {
    const int64_t weight = exponent - static_cast<int64_t>(i);
    if (weight >= low && weight <= high) place[static_cast<size_t>(high - weight)] = digits[i];
  }
  const bool roundUp = place.back() >= '5';
  place.pop_back();
  if (roundUp) {
    size_t k = place.size();
    while (k > 0) {
      --k;
      if (place[k] == '9') {
        place[k] = '0';
        if (k == 0) place.insert(place.begin(), '1');
      } else {
        ++place[k];
        break;
      }
    }
  }
  const size_t fractionStart = place.size() - static_cast<size_t>(decimals);
  std::string whole = place.substr(0, fractionStart);
  const size_t firstNonZero = whole.find_first_not_of('0');
  whole = firstNonZero == std::string::npos ? "" : whole.substr(firstNonZero);
  const bool allZero = place.find_first_not_of('0') == std::string::npos;
  std::string out = value < 0 && !allZero ? "-" : "";
  out += whole;
  out += '.';
  out.append(place, fractionStart);
  return out;
}

bool IsNumberTextForm(std::string_view text) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  platform::LeadingNumberResult r = platform::ReadLeadingNumber(text);
  return !r.overflow && NumberText(r.value) == text;
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double floorValue = std::floor(value);
  const double diff = value - floorValue;  // exact
  if (diff > 0.5) return floorValue + 1;
  if (diff < 0.5) return floorValue;
  return std::fmod(floorValue, 2.0) == 0 ? floorValue : floorValue + 1;
}

bool RoundToInt32(double value, int32_t& out) {
  const double r = RoundHalfEven(value);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) return false;
  out = static_cast<int32_t>(r);
  return true;
}

bool RoundToInt16(double value, int16_t& out) {
  const double r = RoundHalfEven(value);
  if (!(r >= -32768.0 && r <= 32767.0)) return false;
  out = static_cast<int16_t>(r);
  return true;
}

bool LeadingInt16(std::string_view text, int16_t& out) {
  const platform::LeadingNumberResult r = platform::ReadLeadingNumber(text);
  return !r.overflow && RoundToInt16(r.value, out);
}

double DbfIsNumber(std::string_view text) {
  const std::string_view trimmed = TrimBlanks(text);
  if (trimmed.empty()) return 0;
  const platform::LeadingNumberResult r = platform::ReadLeadingNumber(text);
  if (r.overflow) return 0;
  // The digit 0 counts only as the text's very first character: " 0" is
  // no number, "0 " is.
  if (!(r.value > 0 || text[0] == '0')) return 0;
  return trimmed.size() == NumberText(r.value).size() ? -1 : 0;
}

}  // namespace kelvarin::dbf
