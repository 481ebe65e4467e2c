#include "reports/dialogs/frmListAlpha.h"

#include "reports/dialogs/dialog_support.h"
#include "store/form_helpers.h"

namespace kelvarin::reports {

frmListAlpha::frmListAlpha(platform::Host& host, store::Store& store, ReportState& state,
                           ReportDestPanelSetter setReportDestPanel)
    : Form(host, "frmListAlpha"),
      host_(host),
      store_(store),
      state_(state),
      setReportDestPanel_(std::move(setReportDestPanel)) {
  SetCaption("List Alphabetically");
  SetBorderStyle(platform::FormBorder::FixedDialog);
  SetScaleWidth(4455);
  SetScaleHeight(1620);
  lblKeyField.SetCaption("Key Field:");
  lblKeyField.Move(120, 195, 900, 255);
  cboKeyFields.SetComboStyle(platform::ComboBox::kDropDownList);
  cboKeyFields.Move(1080, 150, 3255, 315);
  cmdSetStart.SetCaption("Set &Start");
  cmdSetStart.Move(1080, 600, 1560, 375);
  cmdSetEnd.SetCaption("Set &End");
  cmdSetEnd.Move(2775, 600, 1560, 375);
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
  cmdSetStart.Click = [this] { cmdSetStart_Click(); };
  cmdSetEnd.Click = [this] { cmdSetEnd_Click(); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
  cmdRptSetup.Click = [this] { cmdRptSetup_Click(); };
}

void frmListAlpha::Form_Load() {
  store::CenterForm(*this);
  store_.DialogResult = 0;
  store_.FillKeyFieldList(cboKeyFields, state_.KeyField);
  if (cboKeyFields.ListCount() == 0) {
    host_.Beep();
    host_.MsgBox("You must define at least on index field to list alphabetically.");
    store_.DialogResult = -1;
  }
}

void frmListAlpha::cmdSetStart_Click() { dialogs::ShowCriteria(host_, store_, state_, CriteriaAlphaStart); }

void frmListAlpha::cmdSetEnd_Click() { dialogs::ShowCriteria(host_, store_, state_, CriteriaAlphaEnd); }

void frmListAlpha::cmdOK_Click() {
  store_.DialogResult = 0;
  if (cboKeyFields.ListIndex() >= 0)
    state_.KeyField = static_cast<int16_t>(cboKeyFields.ItemData(cboKeyFields.ListIndex()));
  UnloadForm();
}

void frmListAlpha::cmdCancel_Click() {
  store_.DialogResult = -1;
  UnloadForm();
}

void frmListAlpha::cmdRptSetup_Click() { dialogs::ShowReportSetup(host_, store_, setReportDestPanel_); }

}  // namespace kelvarin::reports
