#include "reports/dialogs/dialog_support.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

#include "reports/dialogs/frmCriteria.h"
#include "reports/dialogs/frmReportDest.h"
#include "store/form_helpers.h"

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

bool FieldUsed(const store::Store& store, int16_t slot) {
  return slot >= 0 && slot < store::kFieldCount && store.CatalogHeader.FieldLength[static_cast<size_t>(slot)] > 0;
}

FieldRowsExtent LayOutFieldRows(platform::Host& host, const store::Store& store,
                                platform::ControlArray<platform::Label>& labels,
                                platform::ControlArray<platform::TextBox>& boxes, int16_t rows, int32_t labelWidth) {
  const platform::ScreenInfo screen = host.Screen();
  const int32_t px = screen.twipsPerPixelX, py = screen.twipsPerPixelY;
  platform::Label& label0 = labels[0];
  platform::TextBox& box0 = boxes[0];
  box0.SetHeight(1);  // raised to the least height of one line
  label0.SetWidth(labelWidth);
  box0.SetLeft(label0.Left() + label0.Width() + 3 * px);
  const int32_t top0 = label0.Top();
  const int32_t pitch = box0.Height() + 3 * py;
  const int16_t tabIndex = box0.TabIndex();
  for (int16_t i = 1; i < rows; ++i) {
    labels.Load(i);
    boxes.Load(i);
    labels[i].SetTop(top0 + i * pitch);
    boxes[i].SetTop(top0 + i * pitch);
    boxes[i].SetTabIndex(tabIndex);
  }
  const int32_t boxWidth = 40 * (store.AvgCharWidth + 2 * px);
  for (int16_t i = 0; i < rows; ++i) {
    platform::Label& label = labels[i];
    platform::TextBox& box = boxes[i];
    const bool used = FieldUsed(store, i);
    label.SetVisible(used);
    box.SetVisible(used);
    if (!used) continue;
    label.SetHeight(store.LineHeight);
    label.SetCaption(store.FieldDefs[static_cast<size_t>(i)].FieldName);
    box.SetWidth(boxWidth);
  }
  return {box0.Left() + boxWidth, top0 + (rows - 1) * pitch + box0.Height()};
}

void FrameFieldRows(platform::Form& form, platform::ControlArray<platform::TextBox>& boxes, int16_t rows) {
  for (int16_t i = 0; i < rows; ++i)
    if (boxes[i].Visible()) store::Draw3DFrame(form, boxes[i]);
}

void FillFieldRows(platform::ControlArray<platform::TextBox>& boxes, int16_t rows, const CriteriaList& list) {
  const int16_t count = std::clamp<int16_t>(list.Count, 0, static_cast<int16_t>(list.Items.size()));
  for (int16_t k = 0; k < count; ++k) {
    const CriteriaItem& item = list.Items[static_cast<size_t>(k)];
    if (item.FieldIndex >= 0 && item.FieldIndex < rows) boxes[item.FieldIndex].SetText(item.Text);
  }
}

void CollectFieldRows(const store::Store& store, const platform::ControlArray<platform::TextBox>& boxes,
                      int16_t rows, CriteriaList& list) {
  list.Count = 0;
  for (int16_t i = 0; i < rows; ++i) {
    const platform::TextBox* box = boxes.Find(i);
    if (!box || box->Text().empty() || !FieldUsed(store, i)) continue;
    list.Items[static_cast<size_t>(list.Count)] = CriteriaItem{i, box->Text()};
    ++list.Count;
  }
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

void ShowCriteria(platform::Host& host, store::Store& store, ReportState& state, int16_t mode) {
  state.CriteriaMode = mode;
  frmCriteria criteria(host, store, state);
  criteria.Show(platform::ShowMode::Modal);
}

void ShowReportSetup(platform::Host& host, store::Store& store,
                     const std::function<void(const std::string&)>& setReportDestPanel) {
  frmReportDest dest(host, store, setReportDestPanel);
  dest.Show(platform::ShowMode::Modal);
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
