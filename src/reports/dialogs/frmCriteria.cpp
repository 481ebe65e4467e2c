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
  switch (state_.CriteriaMode) {
    case CriteriaAlphaStart: SetCaption("Setup Alpha Starting Point"); break;
    case CriteriaAlphaEnd: SetCaption("Setup Alpha Ending Point"); break;
    case CriteriaSearch: SetCaption("Setup Search Criteria"); break;
    default: SetCaption("Criteria"); break;
  }
  const dialogs::FieldRowsExtent rows =
      dialogs::LayOutFieldRows(host_, store_, lblFieldName, txtFieldData, kRows, 14 * store_.MaxCharWidth);
  if (const CriteriaList* list = ChosenList()) dialogs::FillFieldRows(txtFieldData, kRows, *list);

  // The buttons sit below the place of the last row, at the right.
  const int32_t rowsRight = std::max(rows.right, 2 * kButtonWidth + 120);
  const int32_t buttonTop = rows.bottom + 240;
  cmdCancel.Move(rowsRight - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight);
  cmdOK.Move(rowsRight - 2 * kButtonWidth - 120, buttonTop, kButtonWidth, kButtonHeight);
  SetScaleWidth(rowsRight + kMargin);
  SetScaleHeight(buttonTop + kButtonHeight + kMargin);
  store::CenterForm(*this);  // once its size is known, so that it ends up centred
}

void frmCriteria::Form_Paint() { dialogs::FrameFieldRows(*this, txtFieldData, kRows); }

void frmCriteria::cmdOK_Click() {
  if (CriteriaList* list = ChosenList()) dialogs::CollectFieldRows(store_, txtFieldData, kRows, *list);
  store_.DialogResult = 0;
  UnloadForm();
}

void frmCriteria::cmdCancel_Click() {
  store_.DialogResult = -1;
  UnloadForm();
}

}  // namespace kelvarin::reports
