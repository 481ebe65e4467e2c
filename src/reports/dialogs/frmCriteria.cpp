#include "reports/dialogs/frmCriteria.h"

#include <algorithm>

#include "reports/dialogs/dialog_support.h"
#include "store/form_helpers.h"

namespace kelvarin::reports {

namespace {
constexpr int16_t kRows = store::kFieldCount;  // every field slot has a row here
constexpr int32_t kMargin = 120;
constexpr int32_t kButtonWidth = 1215;
constexpr int32_t kButtonHeight = 375;
}  // namespace

frmCriteria::frmCriteria(platform::Host& host, store::Store& store, ReportState& state)
    : Form(host, "frmCriteria"), host_(host), store_(store), state_(state) {
  SetCaption("Criteria");
  SetBorderStyle(platform::FormBorder::FixedDialog);
  lblFieldName[0].Move(kMargin, kMargin, 2310, 255);
  txtFieldData[0].Move(2475, kMargin, 4800, 285);
  cmdOK.SetCaption("&OK");
  cmdCancel.SetCaption("&Cancel");
  cmdOK.SetDefault(true);
  cmdCancel.SetCancel(true);

  dialogs::CloseBoxCancels(*this, store_);
  Load = [this] { Form_Load(); };
  Paint = [this] { Form_Paint(); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
}

CriteriaList* frmCriteria::ChosenList() {
  switch (state_.CriteriaMode) {
    case CriteriaAlphaStart: return &state_.AlphaStartCriteria;
    case CriteriaAlphaEnd: return &state_.AlphaEndCriteria;
    case CriteriaSearch: return &state_.SearchCriteria;
    default: return nullptr;
  }
}

void frmCriteria::Form_Load() {
  const platform::ScreenInfo screen = host_.Screen();
  const int32_t px = screen.twipsPerPixelX, py = screen.twipsPerPixelY;

  switch (state_.CriteriaMode) {
    case CriteriaAlphaStart: SetCaption("Setup Alpha Starting Point"); break;
    case CriteriaAlphaEnd: SetCaption("Setup Alpha Ending Point"); break;
    case CriteriaSearch: SetCaption("Setup Search Criteria"); break;
    default: SetCaption("Criteria"); break;
  }
  const CriteriaList* list = ChosenList();
  const int16_t n = list ? std::clamp<int16_t>(list->Count, 0, kRows) : 0;

  platform::Label& label0 = lblFieldName[0];
  platform::TextBox& box0 = txtFieldData[0];
  const int32_t top0 = label0.Top();
  box0.SetHeight(1);  // raised to the least height of one line
  const int32_t h = box0.Height();
  label0.SetWidth(14 * store_.MaxCharWidth);
  box0.SetLeft(label0.Left() + label0.Width() + 3 * px);
  box0.SetTop(top0);
  const int16_t tabIndex = box0.TabIndex();

  for (int16_t i = 1; i < kRows; ++i) {
    lblFieldName.Load(i);
    txtFieldData.Load(i);
    lblFieldName[i].SetTop(top0 + i * (h + 3 * py));
    txtFieldData[i].SetTop(top0 + i * (h + 3 * py));
    txtFieldData[i].SetTabIndex(tabIndex);  // the boxes are visited in slot order
  }

  for (int16_t i = 0; i < kRows; ++i) {
    platform::Label& label = lblFieldName[i];
    platform::TextBox& box = txtFieldData[i];
    if (store_.CatalogHeader.FieldLength[static_cast<size_t>(i)] == 0) {
      label.SetVisible(false);
      box.SetVisible(false);
      continue;
    }
    label.SetVisible(true);
    box.SetVisible(true);
    label.SetHeight(store_.LineHeight);
    box.SetHeight(1);
    label.SetCaption(store_.FieldDefs[static_cast<size_t>(i)].FieldName);
    box.SetWidth(40 * (store_.AvgCharWidth + 2 * px));
  }

  for (int16_t k = 0; k < n; ++k) {
    const CriteriaItem& item = list->Items[static_cast<size_t>(k)];
    if (item.FieldIndex >= 0 && item.FieldIndex < kRows) txtFieldData[item.FieldIndex].SetText(item.Text);
  }

  // The buttons sit below the place of the last row, at the right.
  const int32_t rowsRight = std::max(box0.Left() + 40 * (store_.AvgCharWidth + 2 * px), 2 * kButtonWidth + 120);
  const int32_t buttonTop = top0 + (kRows - 1) * (h + 3 * py) + h + 240;
  cmdCancel.Move(rowsRight - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight);
  cmdOK.Move(rowsRight - 2 * kButtonWidth - 120, buttonTop, kButtonWidth, kButtonHeight);
  SetScaleWidth(rowsRight + kMargin);
  SetScaleHeight(buttonTop + kButtonHeight + kMargin);
  store::CenterForm(*this);
}

void frmCriteria::Form_Paint() {
  for (int16_t i = 0; i < kRows; ++i)
    if (txtFieldData.IsLoaded(i) && txtFieldData[i].Visible()) store::Draw3DFrame(*this, txtFieldData[i]);
}

void frmCriteria::cmdOK_Click() {
  if (CriteriaList* list = ChosenList()) {
    list->Count = 0;
    for (int16_t i = 0; i < kRows; ++i) {
      const std::string& text = txtFieldData[i].Text();
      if (text.empty() || store_.CatalogHeader.FieldLength[static_cast<size_t>(i)] <= 0) continue;
      list->Items[static_cast<size_t>(list->Count)] = CriteriaItem{i, text};
      ++list->Count;
    }
  }
  store_.DialogResult = 0;
  UnloadForm();
}

void frmCriteria::cmdCancel_Click() {
  store_.DialogResult = -1;
  UnloadForm();
}

}  // namespace kelvarin::reports
