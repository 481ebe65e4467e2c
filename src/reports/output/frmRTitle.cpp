#include "reports/output/frmRTitle.h"

#include "reports/dialogs/dialog_support.h"
#include "store/form_helpers.h"

namespace kelvarin::reports {

frmRTitle::frmRTitle(platform::Host& host, store::Store& store)
    : Form(host, "frmRTitle"), host_(host), store_(store) {
  SetCaption("Report Title");
  SetBorderStyle(platform::FormBorder::FixedDialog);
  SetScaleWidth(6135);
  SetScaleHeight(1500);
  lblTitle.SetCaption("Enter Report Title:");
  lblTitle.Move(120, 150, 2400, 255);
  txtRptTitle.Move(120, 450, 5895, 285);
  txtRptTitle.SetMaxLength(kMaxTitle);
  cmdOK.SetCaption("OK");
  cmdOK.Move(1560, 960, 1215, 375);
  cmdCancel.SetCaption("&No Title");
  cmdCancel.Move(3360, 960, 1215, 375);
  cmdOK.SetDefault(true);
  cmdCancel.SetCancel(true);

  dialogs::CloseBoxCancels(*this, store_);
  Load = [this] { Form_Load(); };
  Paint = [this] { Form_Paint(); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
}

void frmRTitle::Form_Load() { store::CenterForm(*this); }

void frmRTitle::Form_Paint() { store::Draw3DFrame(*this, txtRptTitle); }

void frmRTitle::cmdOK_Click() {
  if (txtRptTitle.Text().empty()) {
    host_.MsgBox("Please enter a title. Press CANCEL for no title.");
    return;
  }
  store_.DialogResult = 0;
  Hide();
}

void frmRTitle::cmdCancel_Click() {
  store_.DialogResult = -1;
  Hide();
}

}  // namespace kelvarin::reports
