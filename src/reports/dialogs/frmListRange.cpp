#include "reports/dialogs/frmListRange.h"

#include "reports/dialogs/dialog_support.h"
#include "store/form_helpers.h"

namespace kelvarin::reports {

frmListRange::frmListRange(platform::Host& host, store::Store& store, ReportState& state,
                           ReportDestPanelSetter setReportDestPanel)
    : Form(host, "frmListRange"),
      host_(host),
      store_(store),
      state_(state),
      setReportDestPanel_(std::move(setReportDestPanel)) {
  SetCaption("List Range");
  SetBorderStyle(platform::FormBorder::FixedDialog);
  SetScaleWidth(4455);
  SetScaleHeight(1620);
  lblStartRec.SetCaption("Start #");
  lblStartRec.Move(120, 180, 840, 255);
  txtStartRec.Move(1020, 150, 1560, 285);
  lblEndRec.SetCaption("End #");
  lblEndRec.Move(120, 600, 840, 255);
  txtEndRec.Move(1020, 570, 1560, 285);
  for (platform::TextBox* box : {&txtStartRec, &txtEndRec}) {
    box->SetAlignment(platform::Align::Right);
    box->KeyPress = [this](int16_t& keyAscii) { dialogs::DigitsOnlyKeyPress(host_, keyAscii); };
  }
  cmdOK.SetCaption("&OK");
  cmdOK.Move(120, 1125, 1215, 375);
  cmdCancel.SetCaption("&Cancel");
  cmdCancel.Move(1455, 1125, 1215, 375);
  cmdRptSetup.SetCaption("&Report Setup");
  cmdRptSetup.Move(2790, 1125, 1545, 375);
  cmdOK.SetDefault(true);
  cmdCancel.SetCancel(true);

  dialogs::CloseBoxCancels(*this, store_);
  Load = [this] { Form_Load(); };
  Activate = [this] { Form_Activate(); };
  Paint = [this] { Form_Paint(); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
  cmdRptSetup.Click = [this] { cmdRptSetup_Click(); };
}

void frmListRange::Form_Load() {
  store::CenterForm(*this);
  if (state_.ListRangeStart > 0) txtStartRec.SetText(dialogs::WholeNumberText(state_.ListRangeStart));
  if (state_.ListRangeEnd > 0) txtEndRec.SetText(dialogs::WholeNumberText(state_.ListRangeEnd));
}

void frmListRange::Form_Activate() { txtStartRec.SetFocus(); }

void frmListRange::Form_Paint() {
  store::Draw3DFrame(*this, txtStartRec);
  store::Draw3DFrame(*this, txtEndRec);
}

void frmListRange::Refuse(const char* message, platform::TextBox& box) {
  host_.MsgBox(message);
  box.SetFocus();
}

void frmListRange::cmdOK_Click() {
  if (txtStartRec.Text().empty()) return Refuse("Invalid Start #", txtStartRec);
  if (txtEndRec.Text().empty()) return Refuse("Invalid End #", txtEndRec);
  // Pasted text can get past the key filter.
  std::optional<double> start = dialogs::ParseWholeEntryNumber(txtStartRec.Text());
  if (!start) return Refuse("Start # must be a whole number", txtStartRec);
  std::optional<double> end = dialogs::ParseWholeEntryNumber(txtEndRec.Text());
  if (!end) return Refuse("End # must be a whole number", txtEndRec);
  // Entry numbers are singles; compare them as the run will use them.
  const float s = static_cast<float>(*start);
  const float e = static_cast<float>(*end);
  if (s < 1) return Refuse("Start # must be greater than 0", txtStartRec);
  if (s > e) return Refuse("End # must be greater than or equal to Start #", txtEndRec);
  if (e > store_.CatalogHeader.EntryCount) {
    txtEndRec.SetText(dialogs::WholeNumberText(store_.CatalogHeader.EntryCount));
    return Refuse("End # must not be greater than the number on entries.", txtEndRec);
  }
  store_.DialogResult = 0;
  state_.ListRangeStart = s;
  state_.ListRangeEnd = e;
  UnloadForm();
}

void frmListRange::cmdCancel_Click() {
  store_.DialogResult = -1;
  UnloadForm();
}

void frmListRange::cmdRptSetup_Click() { dialogs::ShowReportSetup(host_, store_, setReportDestPanel_); }

}  // namespace kelvarin::reports
