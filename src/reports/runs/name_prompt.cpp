#include "reports/runs/name_prompt.h"

#include <cctype>

#include "platform/host.h"

namespace kelvarin::reports {

frmEnterName::frmEnterName(platform::Host& host, int16_t& dialogResult)
    : Form(host, "frmEnterName"), dialogResult_(dialogResult) {
  SetBorderStyle(platform::FormBorder::FixedDialog);
  SetScaleWidth(4200);
  SetScaleHeight(1800);
  SetTag("0");
  lblUserAction.Move(240, 180, 3720, 285);
  txtName.Move(240, 540, 3720, 330);
  txtName.SetMaxLength(8);
  cmdOK.SetCaption("&OK");
  cmdOK.SetDefault(true);
  cmdOK.Move(720, 1140, 1200, 390);
  cmdCancel.SetCaption("&Cancel");
  cmdCancel.SetCancel(true);
  cmdCancel.Move(2280, 1140, 1200, 390);
  Load = [this] {
    platform::ScreenInfo s = GetHost().Screen();
    SetLeft((s.widthTwips - Width()) / 2);
    SetTop((s.heightTwips - Height()) / 2);
  };
  txtName.KeyPress = [this](int16_t& k) { txtName_KeyPress(k); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
  // The close box answers like Cancel, so no earlier dialog's result is read.
  QueryUnload = [this](int16_t& /*cancel*/, int16_t mode) {
    if (mode == platform::kUnloadByUser) dialogResult_ = -1;
  };
}

void frmEnterName::txtName_KeyPress(int16_t& keyAscii) {
  if (Tag() != "0") return;
  if (keyAscii == 8 || (keyAscii >= 0 && keyAscii < 128 && std::isalnum(keyAscii))) return;
  keyAscii = 0;
}

void frmEnterName::cmdOK_Click() {
  if (txtName.Text().empty()) {
    GetHost().MsgBox("Invalid name");
    txtName.SetFocus();
    return;
  }
  SetTag(txtName.Text());
  dialogResult_ = 0;
  Hide();
}

void frmEnterName::cmdCancel_Click() {
  dialogResult_ = -1;
  Hide();
}

}  // namespace kelvarin::reports
