#include "reports/replace/frmSearchReplace.h"

#include "reports/dialogs/dialog_support.h"
#include "store/form_helpers.h"

namespace kelvarin::reports {

frmSearchReplace::frmSearchReplace(platform::Host& host, store::Store& store, ReportState& state,
                                   ReplaceRequest& request, ReportDestPanelSetter setReportDestPanel)
    : Form(host, "frmSearchReplace"),
      host_(host),
      store_(store),
      state_(state),
      request_(request),
      setReportDestPanel_(std::move(setReportDestPanel)) {
  SetCaption("Search and Replace");
  SetBorderStyle(platform::FormBorder::FixedDialog);
  SetScaleWidth(5700);
  SetScaleHeight(2940);
  lblSearchString.SetCaption("Search For:");
  lblSearchString.Move(120, 180, 1440, 255);
  txtSearchString.Move(1620, 150, 3960, 285);
  lblReplaceString.SetCaption("Replace With:");
  lblReplaceString.Move(120, 600, 1440, 255);
  txtReplaceString.Move(1620, 570, 3960, 285);
  lblStartRec.SetCaption("Starting Record:");
  lblStartRec.Move(120, 1020, 1440, 255);
  txtStartRec.Move(1620, 990, 1200, 285);
  txtStartRec.SetAlignment(platform::Align::Right);
  optField.SetCaption("Field Replace");
  optField.Move(120, 1440, 1800, 285);
  optGlobal.SetCaption("Global Replace");
  optGlobal.Move(120, 1800, 1800, 285);
  lblFields.SetCaption("Fields:");
  lblFields.Move(2100, 1470, 720, 255);
  cboFields.SetComboStyle(platform::ComboBox::kDropDownList);
  cboFields.Move(2880, 1440, 2700, 315);
  cmdOK.SetCaption("&OK");
  cmdOK.Move(3000, 2400, 1215, 375);
  cmdCancel.SetCaption("&Cancel");
  cmdCancel.Move(4365, 2400, 1215, 375);
  cmdOK.SetDefault(true);
  cmdCancel.SetCancel(true);

  dialogs::CloseBoxCancels(*this, store_);
  Load = [this] { Form_Load(); };
  Activate = [this] { Form_Activate(); };
  Paint = [this] { Form_Paint(); };
  optField.Click = [this](int16_t v) { optField_Click(v); };
  optGlobal.Click = [this](int16_t v) { optGlobal_Click(v); };
  txtStartRec.KeyPress = [this](int16_t& keyAscii) { txtStartRec_KeyPress(keyAscii); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
}

void frmSearchReplace::Form_Load() {
  store::CenterForm(*this);
  txtSearchString.SetText(state_.SearchString);
  txtReplaceString.SetText("");
  txtStartRec.SetText("1");
  for (int slot = 0; slot < store::kFieldCount; ++slot) {
    if (store_.CatalogHeader.FieldLength[static_cast<size_t>(slot)] <= 0) continue;
    cboFields.AddItem(store_.FieldDefs[static_cast<size_t>(slot)].FieldName);
    cboFields.SetItemData(cboFields.ListCount() - 1, slot);
  }
  if (cboFields.ListCount() > 0) cboFields.SetListIndex(0);
  optField.SetValue(true);
}

void frmSearchReplace::Form_Activate() { txtSearchString.SetFocus(); }

void frmSearchReplace::Form_Paint() {
  store::Draw3DFrame(*this, txtSearchString);
  store::Draw3DFrame(*this, txtReplaceString);
  store::Draw3DFrame(*this, txtStartRec);
}

void frmSearchReplace::optField_Click(int16_t) { cboFields.SetEnabled(true); }

void frmSearchReplace::optGlobal_Click(int16_t) { cboFields.SetEnabled(false); }

void frmSearchReplace::txtStartRec_KeyPress(int16_t& keyAscii) { dialogs::DigitsOnlyKeyPress(host_, keyAscii); }

double StartEntryOf(const std::string& text) {
  if (text.empty()) return 1;
  size_t at = 0;
  while (at < text.size() && text[at] == ' ') ++at;
  double value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > 1e18) break;  // far beyond any entry count; refused as too large
  }
  return value;
}

void frmSearchReplace::cmdOK_Click() {
  if (txtSearchString.Text().empty()) {
    host_.MsgBox("No Search Text Specified");
    txtSearchString.SetFocus();
    return;
  }
  const double start = StartEntryOf(txtStartRec.Text());
  const float last = store_.CatalogHeader.EntryCount;
  if (start > static_cast<double>(last)) {
    host_.MsgBox("Starting Record is too large!");
    txtStartRec.SetText(dialogs::WholeNumberText(last));
    txtStartRec.SetFocus();
    return;
  }
  state_.SearchString = txtSearchString.Text();
  state_.ReplaceString = txtReplaceString.Text();
  request_.ReplaceStart = static_cast<float>(start);
  const int32_t chosen = cboFields.ListIndex();
  request_.ReplaceField = chosen >= 0 ? static_cast<int16_t>(cboFields.ItemData(chosen)) : int16_t{-1};
  request_.ReplaceGlobal = optGlobal.Value();
  store_.DialogResult = 0;
  UnloadForm();
}

void frmSearchReplace::cmdCancel_Click() {
  store_.DialogResult = -1;
  UnloadForm();
}

void frmSearchReplace::SetCaseSensitive(int16_t on) {
  store_.CaseSensitive = on > 0;
  dialogs::SaveCatalogSettings(store_);
}

void frmSearchReplace::ShowReportDest() {
  frmReportDest dest(host_, store_, setReportDestPanel_);
  dest.Show(platform::ShowMode::Modal);
  dest.UnloadForm();
}

}  // namespace kelvarin::reports
