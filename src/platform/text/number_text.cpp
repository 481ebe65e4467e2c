#include "platform/text/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>

namespace kelvarin::platform {

std::string DecimalText(double value, const DecimalStyle& style) {
  if (std::isnan(value)) return "0";
  std::string sign;
  if (value < 0) {
    sign = "-";
    value = -value;
  } else if (style.blankBeforePositive) {
    sign = " ";
  }
  if (value == 0) return sign + "0";
  if (std::isinf(value)) value = 1.7976931348623157e308;

  int digits = style.significantDigits < 1 ? 1 : (style.significantDigits > 17 ? 17 : style.significantDigits);
  // to_chars, unlike printf, ignores the C locale's decimal point.
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf - 1, value, std::chars_format::scientific, digits - 1);
  *res.ptr = '\0';
  // buf: d.ddddde±XX
  std::string mantissa;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p != '.') mantissa += *p;
  int exponent = std::atoi(p + 1);
  while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();

  std::string out;
  if (exponent >= style.maxFixedExponent || exponent < style.minFixedExponent) {
    out.assign(1, mantissa[0]);
    if (mantissa.size() > 1) {
      out += '.';
      out.append(mantissa, 1, std::string::npos);
    }
    char e[16];
    std::snprintf(e, sizeof e, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    out += e;
  } else if (exponent < 0) {
    out = style.zeroBeforePoint ? "0." : ".";
    out += std::string(static_cast<size_t>(-exponent - 1), '0') + mantissa;
  } else {
    size_t intDigits = static_cast<size_t>(exponent) + 1;
    if (mantissa.size() <= intDigits) {
      out = mantissa + std::string(intDigits - mantissa.size(), '0');
    } else {
      out = mantissa.substr(0, intDigits) + "." + mantissa.substr(intDigits);
    }
  }
  return sign + out;
}

std::string PlainNumber(float value) {
  DecimalStyle style;
  return DecimalText(value, style);
}

std::string SignedNumber(float value) {
  DecimalStyle style;
  style.zeroBeforePoint = false;
  style.blankBeforePositive = true;
  return DecimalText(value, style);
}

std::string StandardFormat(double value, const LocaleSettings& locale) {
  bool negative = value < 0;
  double rounded = std::round(std::fabs(value) * 100.0) / 100.0;
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf - 1, rounded, std::chars_format::fixed, 2);
  std::string text(buf, res.ptr);
  size_t point = text.find('.');
  std::string whole = text.substr(0, point);
  std::string cents = text.substr(point + 1);
  std::string grouped;
  for (size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) grouped += locale.thousandsSeparator;
    grouped += whole[i];
  }
  if (negative && rounded != 0) grouped = "-" + grouped;
  return grouped + locale.decimalPoint + cents;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Beyond this many significant digits only the fact that more non-zero digits
// follow matters for correct rounding; a final 1 stands for them.
constexpr size_t kMaxMantissaDigits = 800;

}  // namespace

LeadingNumberResult ReadLeadingNumber(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  auto skip = [&] {
    while (i < n && text[i] == ' ') ++i;
  };
  skip();
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Significant digits without leading zeros; point = decimal exponent of
  // the value 0.digits.
  std::string digits;
  int64_t point = 0;
  bool truncated = false;
  bool anyDigit = false;
  auto take = [&](char c, bool fraction) {
    anyDigit = true;
    if (digits.empty() && c == '0') {
      if (fraction) --point;
      return;
    }
    if (!fraction) ++point;
    if (digits.size() < kMaxMantissaDigits) {
      digits.push_back(c);
    } else if (c != '0') {
      truncated = true;
    }
  };
  for (skip(); i < n && IsDigit(text[i]); skip()) take(text[i++], false);
  if (i < n && text[i] == '.') {
    ++i;
    for (skip(); i < n && IsDigit(text[i]); skip()) take(text[i++], true);
  }
  if (!anyDigit) return {negative ? -0.0 : 0.0, false};

  int64_t exponent = 0;
  if (i < n && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    ++i;
    skip();
    bool expNegative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
      expNegative = text[i] == '-';
      ++i;
    }
    for (skip(); i < n && IsDigit(text[i]); skip()) {
      // Saturate far beyond any exponent a double can take.
      if (exponent < 1000000000) exponent = exponent * 10 + (text[i] - '0');
      ++i;
    }
    if (expNegative) exponent = -exponent;
  }

  if (truncated) {
    digits.push_back('1');
  } else {
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
  }
  if (digits.empty()) return {negative ? -0.0 : 0.0, false};

  const int64_t decimalExponent = point + exponent;
  if (decimalExponent > 310) return {0, true};
  if (decimalExponent < -400) return {negative ? -0.0 : 0.0, false};

  // from_chars, unlike strtod, ignores the C locale's decimal point.
  std::string form = "0.";
  form += digits;
  form += 'e';
  form += std::to_string(decimalExponent);
  double value = 0;
  auto [end, ec] = std::from_chars(form.data(), form.data() + form.size(), value);
  (void)end;
  if (ec == std::errc::result_out_of_range) {
    if (decimalExponent > 0) return {0, true};
    value = 0;
  } else if (ec != std::errc() || std::isinf(value)) {
    return {0, true};
  }
  return {negative ? -value : value, false};
}

double LeadingNumber(std::string_view text) {
  const LeadingNumberResult r = ReadLeadingNumber(text);
  return r.overflow ? 0 : r.value;
}

void AddToTotal(float& total, std::string_view text) {
  total = static_cast<float>(static_cast<double>(total) + LeadingNumber(text));
}

}  // namespace kelvarin::platform
