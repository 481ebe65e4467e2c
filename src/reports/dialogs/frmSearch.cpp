#include "reports/dialogs/frmSearch.h"

#include <algorithm>

#include "reports/dialogs/dialog_support.h"
#include "store/form_helpers.h"

namespace kelvarin::reports {

namespace {
constexpr int32_t kMargin = 120;
constexpr int32_t kRowsTop = 720;
constexpr int32_t kSideWidth = 4320;
constexpr int32_t kButtonWidth = 1215;
constexpr int32_t kButtonHeight = 375;

const char kNoKeyTextQuestion[] =
    "There is no search text in the Key Field.\r"
    "This will search the entire catalog and may take awhile.\r\r"
    "Do you want continue the search anyway?";
}  // namespace

frmSearch::frmSearch(platform::Host& host, store::Store& store, ReportState& state, int16_t& currentSearchMode,
                     ReportDestPanelSetter setReportDestPanel)
    : Form(host, "frmSearch"),
      host_(host),
      store_(store),
      state_(state),
      currentSearchMode_(currentSearchMode),
      setReportDestPanel_(std::move(setReportDestPanel)) {
  SetCaption("Search");
  SetBorderStyle(platform::FormBorder::FixedDialog);

  lblTitle.SetCaption("Field Search Criteria");
  lblTitle.SetFontBold(true);
  lblTitle.Move(kMargin, kMargin, 4800, 255);
  lblInstructions.SetCaption("Enter text to search for on the appropriate line(s).");
  lblInstructions.Move(kMargin, 405, 6000, 255);
  lblFieldName[0].Move(kMargin, kRowsTop, 1510, 255);
  txtFieldData[0].Move(1675, kRowsTop, 4800, 285);

  fraOrder.SetCaption("Search Order");
  optAlpha.SetCaption("&Alphabetically By Key Field");
  optSequential.SetCaption("Entire Catalog Se&quentially");
  chkCaseSense.SetCaption("Case Sensiti&ve");
  fraAlphaSetup.SetCaption("Alphabetical Search Order Setup");
  lblKeyField.SetCaption("Key Field:");
  cboKeyFields.SetComboStyle(platform::ComboBox::kDropDownList);
  cmdSetStart.SetCaption("Set &Start");
  cmdSetEnd.SetCaption("Set &End");
  lblKeyNote.SetCaption(
      "Note: In an alphabetical search the line of the key field is highlighted in red. A search with no "
      "text on that line may take a long time. Text on that line is matched against the start of the "
      "field: \"Love\" on a title line finds the entries whose title starts with that word.");
  cmdSrcSetup.SetCaption("Search Setu&p");
  cmdRptSetup.SetCaption("&Report/Output Setup");
  cmdClear.SetCaption("Clear");
  cmdOK.SetCaption("&OK");
  cmdCancel.SetCaption("&Cancel");
  cmdOK.SetDefault(true);
  cmdCancel.SetCancel(true);

  Load = [this] { Form_Load(); };
  Paint = [this] { Form_Paint(); };
  dialogs::CloseBoxCancels(*this, store_);
  cboKeyFields.Click = [this] { cboKeyFields_Click(); };
  optAlpha.Click = [this](int16_t v) { optAlpha_Click(v); };
  optSequential.Click = [this](int16_t v) { optSequential_Click(v); };
  chkCaseSense.Click = [this](int16_t v) { chkCaseSense_Click(v); };
  cmdClear.Click = [this] { cmdClear_Click(); };
  cmdSetStart.Click = [this] { cmdSetStart_Click(); };
  cmdSetEnd.Click = [this] { cmdSetEnd_Click(); };
  cmdSrcSetup.Click = [this] { cmdSrcSetup_Click(); };
  cmdRptSetup.Click = [this] { cmdRptSetup_Click(); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
}

void frmSearch::BuildRows() {
  const dialogs::FieldRowsExtent rows = dialogs::LayOutFieldRows(
      host_, store_, lblFieldName, txtFieldData, kRows, std::max(0, 14 * store_.MaxCharWidth - 800));
  // Everything else stands in a column to the right of the rows; OK and
  // Cancel end level with the last row.
  lblInstructions.SetWidth(std::max<int32_t>(rows.right - kMargin, 1000));
  const int32_t x = rows.right + 240;
  const int32_t inner = kSideWidth - 300;
  fraOrder.Move(x, kMargin, kSideWidth, 1245);
  optAlpha.Move(150, 270, inner, 285);
  optSequential.Move(150, 585, inner, 285);
  chkCaseSense.Move(150, 900, inner, 285);
  fraAlphaSetup.Move(x, 1485, kSideWidth, 3225);
  lblKeyField.Move(150, 375, 900, 255);
  cboKeyFields.Move(1080, 330, kSideWidth - 1230, 315);
  const int32_t half = (inner - 120) / 2;
  cmdSetStart.Move(150, 810, half, kButtonHeight);
  cmdSetEnd.Move(150 + half + 120, 810, half, kButtonHeight);
  lblKeyNote.Move(150, 1335, inner, 1755);
  const int32_t wide = (kSideWidth - 120) / 2;
  cmdSrcSetup.Move(x, 4890, wide, kButtonHeight);
  cmdRptSetup.Move(x + wide + 120, 4890, wide, kButtonHeight);
  const int32_t okTop = std::max(rows.bottom - kButtonHeight, 5385);
  cmdClear.Move(x, okTop, kButtonWidth, kButtonHeight);
  cmdCancel.Move(x + kSideWidth - kButtonWidth, okTop, kButtonWidth, kButtonHeight);
  cmdOK.Move(x + kSideWidth - 2 * kButtonWidth - 120, okTop, kButtonWidth, kButtonHeight);
  SetScaleWidth(x + kSideWidth + kMargin);
  SetScaleHeight(std::max(rows.bottom, okTop + kButtonHeight) + kMargin);
}

void frmSearch::Form_Load() {
  const CriteriaList remembered = state_.SearchCriteria;
  BuildRows();
  // A criterion for slot 20 has no row; OK rebuilds the list from the rows,
  // so it is dropped there.
  dialogs::FillFieldRows(txtFieldData, kRows, remembered);
  store::CenterForm(*this);

  store_.FillKeyFieldList(cboKeyFields, state_.KeyField);
  if (cboKeyFields.ListCount() == 0) {
    optAlpha.SetEnabled(false);
    currentSearchMode_ = store::smSequential;
  }
  // Showing the stored setting is not a change to save.
  showingCaseSetting_ = true;
  chkCaseSense.SetValue(store_.CaseSensitive ? 1 : 0);
  showingCaseSetting_ = false;

  if (currentSearchMode_ == store::smAlpha) {
    optAlpha.SetValue(true);
  } else {
    optSequential.SetValue(true);  // its Click disables Set Start, Set End and the combo
  }
}

void frmSearch::Form_Paint() { dialogs::FrameFieldRows(*this, txtFieldData, kRows); }

void frmSearch::cboKeyFields_Click() {
  const std::string keyName = cboKeyFields.Text();
  for (int16_t i = 0; i < kRows; ++i) {
    if (!dialogs::FieldUsed(store_, i)) continue;
    platform::Label& label = lblFieldName[i];
    platform::TextBox& box = txtFieldData[i];
    label.SetForeColor(platform::kBlack);
    box.SetBackColor(kRowBoxColor);
    if (label.Caption() == keyName) {
      label.SetForeColor(kKeyRowColor);
      box.SetBackColor(kKeyRowColor);
    }
  }
}

void frmSearch::optAlpha_Click(int16_t value) {
  if (value == 0) return;
  cmdSetStart.SetEnabled(true);
  cmdSetEnd.SetEnabled(true);
  cboKeyFields.SetEnabled(true);
  chkCaseSense.SetEnabled(false);
  cboKeyFields_Click();
}

void frmSearch::optSequential_Click(int16_t value) {
  if (value == 0) return;
  cmdSetStart.SetEnabled(false);
  cmdSetEnd.SetEnabled(false);
  cboKeyFields.SetEnabled(false);
  for (int16_t i = 0; i < kRows; ++i) {
    if (!dialogs::FieldUsed(store_, i)) continue;
    lblFieldName[i].SetForeColor(platform::kBlack);
    txtFieldData[i].SetBackColor(kRowBoxColor);
  }
}

void frmSearch::chkCaseSense_Click(int16_t value) {
  if (showingCaseSetting_) return;
  store_.CaseSensitive = value != 0;
  dialogs::SaveCatalogSettings(store_);
}

void frmSearch::cmdClear_Click() {
  for (int16_t i = 0; i < kRows; ++i)
    if (dialogs::FieldUsed(store_, i)) txtFieldData[i].SetText("");
}

void frmSearch::cmdSetStart_Click() { dialogs::ShowCriteria(host_, store_, state_, CriteriaAlphaStart); }

void frmSearch::cmdSetEnd_Click() { dialogs::ShowCriteria(host_, store_, state_, CriteriaAlphaEnd); }

void frmSearch::cmdSrcSetup_Click() {
  dialogs::ShowCriteria(host_, store_, state_, CriteriaSearch);
  if (store_.DialogResult != 0) return;
  for (int16_t i = 0; i < kRows; ++i) txtFieldData[i].SetText("");
  dialogs::FillFieldRows(txtFieldData, kRows, state_.SearchCriteria);
}

void frmSearch::cmdRptSetup_Click() { dialogs::ShowReportSetup(host_, store_, setReportDestPanel_); }

void frmSearch::cmdOK_Click() {
  CriteriaList& list = state_.SearchCriteria;
  dialogs::CollectFieldRows(store_, txtFieldData, kRows, list);
  store_.DialogResult = 0;
  if (cboKeyFields.ListIndex() >= 0)
    state_.KeyField = static_cast<int16_t>(cboKeyFields.ItemData(cboKeyFields.ListIndex()));

  if (optAlpha.Value()) {
    currentSearchMode_ = store::smAlpha;
    bool keyText = false;
    for (int16_t k = 0; k < list.Count; ++k) {
      const CriteriaItem& item = list.Items[static_cast<size_t>(k)];
      if (!item.Text.empty() && item.FieldIndex == state_.KeyField) keyText = true;
    }
    if (!keyText &&
        host_.MsgBox(kNoKeyTextQuestion, platform::MsgButtons::YesNo, platform::MsgIcon::Question) !=
            platform::MsgAnswer::Yes)
      return;
  } else {
    currentSearchMode_ = store::smSequential;
  }
  store_.WriteSearchMode(currentSearchMode_);
  UnloadForm();
}

void frmSearch::cmdCancel_Click() {
  store_.DialogResult = -1;
  UnloadForm();
}

}  // namespace kelvarin::reports
