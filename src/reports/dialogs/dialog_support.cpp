#include "reports/dialogs/dialog_support.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

namespace kelvarin::reports::dialogs {

using platform::Color;

namespace {
constexpr Color kFrameShadow = 0x808080;
constexpr Color kFrameLight = 0xFFFFFF;

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

void CenterForm(platform::Form& form) {
  platform::ScreenInfo s = form.GetHost().Screen();
  form.SetLeft((s.widthTwips - form.Width()) / 2);
  form.SetTop((s.heightTwips - form.Height()) / 2);
}

void Draw3DFrame(platform::Form& form, const platform::Control& box) {
  platform::ScreenInfo s = form.GetHost().Screen();
  const int32_t px = s.twipsPerPixelX, py = s.twipsPerPixelY;
  const int32_t l = box.Left() - px, t = box.Top() - py;
  const int32_t r = box.Left() + box.Width(), b = box.Top() + box.Height();
  form.DrawLine(l, t, r, t, kFrameShadow);
  form.DrawLine(l, t, l, b, kFrameShadow);
  form.DrawLine(l, b, r + px, b, kFrameLight);
  form.DrawLine(r, t, r, b, kFrameLight);
}

void FillKeyFieldList(platform::ComboBox& combo, const store::Store& store, int16_t keyField) {
  for (int slot = 0; slot < store::kFieldCount; ++slot) {
    const store::FieldDef& def = store.FieldDefs[static_cast<size_t>(slot)];
    if (!store::IsKeyField(def.FieldKind)) continue;
    combo.AddItem(def.FieldName);
    combo.SetItemData(combo.ListCount() - 1, slot);
  }
  for (int32_t i = 0; i < combo.ListCount(); ++i)
    if (combo.ItemData(i) == keyField) {
      combo.SetListIndex(i);
      return;
    }
  if (combo.ListCount() > 0) combo.SetListIndex(0);
}

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

void ChooseReportFont(store::Store& store, platform::Host& host) {
  platform::FontChoice current;
  current.name = store.ReportFontName;
  current.size = store.ReportFontSize;
  current.weight = store.ReportFontFlags.Bold ? 700 : 400;
  current.italic = store.ReportFontFlags.Italic;
  current.underline = store.ReportFontFlags.Underline;
  std::optional<platform::FontChoice> chosen = host.FontDialog(current);
  if (!chosen || chosen->size == 0) return;
  store.ReportFontName = chosen->name;
  store.ReportFontSize = chosen->size;
  store.ReportFontFlags.Bold = chosen->weight == 700;
  store.ReportFontFlags.Italic = chosen->italic;
  store.ReportFontFlags.Underline = chosen->underline;
  platform::Printer& printer = host.GetPrinter();
  printer.PrintPart("");
  platform::PrinterFont font;
  font.name = store.ReportFontName;
  font.size = store.ReportFontSize;
  font.bold = store.ReportFontFlags.Bold;
  font.italic = store.ReportFontFlags.Italic;
  font.underline = store.ReportFontFlags.Underline;
  printer.SetFont(font);
}

}  // namespace kelvarin::reports::dialogs
