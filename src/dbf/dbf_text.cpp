#include "dbf/dbf_text.h"

#include <cmath>
#include <cstdlib>

namespace kelvarin::dbf {

std::string UpperCase(std::string text) {
  for (char& c : text) {
    const auto u = static_cast<uint8_t>(c);
    if (u >= 'a' && u <= 'z') {
      c = static_cast<char>(u - 32);
    } else if (u >= 0xE0 && u <= 0xFE && u != 0xF7) {
      c = static_cast<char>(u - 32);
    } else if (u == 0x9A || u == 0x9C || u == 0x9E) {  // s, oe, z with marks
      c = static_cast<char>(u - 16);
    } else if (u == 0xFF) {
      c = static_cast<char>(0x9F);
    }
  }
  return text;
}

std::string TrimBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

double LeadingNumber(const std::string& text) {
  // Gather the characters of the number, dropping inner blanks, then let
  // strtod read them.
  std::string digits;
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) digits += text[i++];
  bool seenPoint = false, seenDigit = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ' || c == '\t') continue;
    if (c >= '0' && c <= '9') {
      digits += c;
      seenDigit = true;
    } else if (c == '.' && !seenPoint) {
      digits += c;
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!seenDigit) return 0;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::string exponent = "e";
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
    bool expDigit = false;
    for (; j < text.size() && text[j] >= '0' && text[j] <= '9'; ++j) {
      exponent += text[j];
      expDigit = true;
    }
    if (expDigit) digits += exponent;
  }
  return std::strtod(digits.c_str(), nullptr);
}

bool RoundToInt16(double value, int16_t& out) {
  if (!std::isfinite(value)) return false;
  const double rounded = std::nearbyint(value);  // default mode: half to even
  if (rounded < -32768.0 || rounded > 32767.0) return false;
  out = static_cast<int16_t>(rounded);
  return true;
}

}  // namespace kelvarin::dbf
