#include "reports/dialogs/frmGlobalSearch.h"

#include "reports/dialogs/dialog_support.h"
#include "store/form_helpers.h"

namespace kelvarin::reports {

frmGlobalSearch::frmGlobalSearch(platform::Host& host, store::Store& store, ReportState& state,
                                 ReportDestPanelSetter setReportDestPanel)
    : Form(host, "frmGlobalSearch"),
      host_(host),
      store_(store),
      state_(state),
      setReportDestPanel_(std::move(setReportDestPanel)) {
  SetCaption("Global Search");
  SetBorderStyle(platform::FormBorder::FixedDialog);
  SetScaleWidth(5400);
  SetScaleHeight(1860);
  lblGlobalString.SetCaption("Text to search for in every field:");
  lblGlobalString.Move(120, 150, 5160, 255);
  txtGlobalString.Move(120, 450, 5160, 285);
  chkCaseSense.SetCaption("Case Sensiti&ve");
  chkCaseSense.Move(120, 870, 2400, 285);
  cmdRptSetup.SetCaption("&Report Setup");
  cmdRptSetup.Move(120, 1365, 1575, 375);
  cmdOK.SetCaption("&OK");
  cmdOK.Move(2745, 1365, 1215, 375);
  cmdCancel.SetCaption("&Cancel");
  cmdCancel.Move(4065, 1365, 1215, 375);
  cmdOK.SetDefault(true);
  cmdCancel.SetCancel(true);

  dialogs::CloseBoxCancels(*this, store_);
  Load = [this] { Form_Load(); };
  Activate = [this] { Form_Activate(); };
  Paint = [this] { Form_Paint(); };
  chkCaseSense.Click = [this](int16_t v) { chkCaseSense_Click(v); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
  cmdRptSetup.Click = [this] { cmdRptSetup_Click(); };
}

void frmGlobalSearch::Form_Load() {
  store::CenterForm(*this);
  // Showing the stored setting is not a change to save.
  showingCaseSetting_ = true;
  chkCaseSense.SetValue(store_.CaseSensitive ? 1 : 0);
  showingCaseSetting_ = false;
  txtGlobalString.SetText(state_.SearchString);
}

void frmGlobalSearch::Form_Activate() { txtGlobalString.SetFocus(); }

void frmGlobalSearch::Form_Paint() { store::Draw3DFrame(*this, txtGlobalString); }

void frmGlobalSearch::chkCaseSense_Click(int16_t value) {
  if (showingCaseSetting_) return;
  store_.CaseSensitive = value != 0;
  dialogs::SaveCatalogSettings(store_);
}

void frmGlobalSearch::cmdOK_Click() {
  if (txtGlobalString.Text().empty()) {
    host_.MsgBox("No Search Text Specified");
    txtGlobalString.SetFocus();
    return;
  }
  state_.SearchString = txtGlobalString.Text();
  store_.DialogResult = 0;
  UnloadForm();
}

void frmGlobalSearch::cmdCancel_Click() {
  store_.DialogResult = -1;
  UnloadForm();
}

void frmGlobalSearch::cmdRptSetup_Click() { dialogs::ShowReportSetup(host_, store_, setReportDestPanel_); }

}  // namespace kelvarin::reports
