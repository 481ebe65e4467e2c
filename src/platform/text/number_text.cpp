#include "platform/text/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
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

double LeadingNumber(const std::string& text) {
  std::string clean;
  size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  };
  skipBlanks();
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) clean += text[i++];
  bool anyDigit = false, point = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c == ' ' || c == '\t') continue;
    if (c >= '0' && c <= '9') {
      clean += c;
      anyDigit = true;
    } else if (c == '.' && !point) {
      clean += c;
      point = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return 0.0;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    size_t j = i + 1;
    std::string exp = "e";
    if (j < text.size() && (text[j] == '-' || text[j] == '+')) exp += text[j++];
    bool expDigit = false;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9') {
      exp += text[j++];
      expDigit = true;
    }
    if (expDigit) clean += exp;
  }
  // from_chars, unlike strtod, ignores the C locale's decimal point.
  const char* first = clean.c_str();
  if (*first == '+') ++first;
  double v = 0;
  auto res = std::from_chars(first, clean.c_str() + clean.size(), v);
  if (res.ec != std::errc() || !std::isfinite(v)) return 0.0;
  return v;
}

}  // namespace kelvarin::platform
