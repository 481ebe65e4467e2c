#include "reports/dialogs/dialog_support.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

namespace kelvarin::reports::dialogs {

namespace {
// Splits "  -123 " into sign and digits; false unless it has exactly that shape.
bool SplitWholeNumber(const std::string& text, bool* negative, std::string* digits) {
  size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  *negative = false;
  if (b < e && text[b] == '-') {
    *negative = true;
    ++b;
  }
  if (b == e) return false;
  for (size_t i = b; i < e; ++i)
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  *digits = text.substr(b, e - b);
  return true;
}
}  // namespace

void DigitsOnlyKeyPress(platform::Host& host, int16_t& keyAscii) {
  if (keyAscii == 8 || (keyAscii >= '0' && keyAscii <= '9')) return;
  keyAscii = 0;
  host.Beep();
}

std::optional<int32_t> ParseWholeNumber(const std::string& text) {
  bool negative = false;
  std::string digits;
  if (!SplitWholeNumber(text, &negative, &digits)) return std::nullopt;
  int64_t value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value > std::numeric_limits<int32_t>::max()) {
      value = std::numeric_limits<int32_t>::max();
      break;
    }
  }
  return static_cast<int32_t>(negative ? -value : value);
}

std::optional<double> ParseWholeEntryNumber(const std::string& text) {
  bool negative = false;
  std::string digits;
  if (!SplitWholeNumber(text, &negative, &digits)) return std::nullopt;
  double value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value > 1e18) break;  // far beyond any entry count; keeps the value finite
  }
  return negative ? -value : value;
}

std::string WholeNumberText(double value) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.0f", std::trunc(value));
  return buf;
}

void CloseBoxCancels(platform::Form& form, store::Store& store) {
  form.QueryUnload = [&store](int16_t& /*cancel*/, int16_t mode) {
    if (mode == platform::kUnloadByUser) store.DialogResult = -1;
  };
}

void SaveCatalogSettings(store::Store& store) {
  if (store.CatalogName.empty()) return;
  store.WriteCatalogSettings(store.CatalogName, store.CurrentSettings);
}

}  // namespace kelvarin::reports::dialogs
