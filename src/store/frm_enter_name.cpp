#include "store/frm_enter_name.h"

#include "platform/files/file_names.h"
#include "store/form_helpers.h"

namespace kelvarin::store {

frmEnterName::frmEnterName(Store& store) : Form(store.host(), "frmEnterName"), store_(store) {
  SetBorderStyle(platform::FormBorder::FixedDialog);
  SetScaleWidth(4320);
  SetScaleHeight(1560);
  lblUserAction.Move(240, 120, 3840, 375);
  txtName.Move(240, 540, 3840, 315);
  txtName.SetMaxLength(8);
  cmdOK.Move(720, 1020, 1215, 375);
  cmdOK.SetCaption("OK");
  cmdOK.SetDefault(true);
  cmdCancel.Move(2385, 1020, 1215, 375);
  cmdCancel.SetCaption("Cancel");
  cmdCancel.SetCancel(true);

  Load = [this] { Form_Load(); };
  Paint = [this] { Form_Paint(); };
  txtName.KeyPress = [this](int16_t& k) { txtName_KeyPress(k); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
  // The close box answers as Cancel does: a DialogResult left over from an
  // earlier dialog would otherwise read as OK with the Tag's filter switch
  // taken for the answer.
  QueryUnload = [this](int16_t& /*cancel*/, int16_t mode) {
    if (mode == platform::kUnloadByUser) store_.DialogResult = -1;
  };
}

void frmEnterName::Form_Load() { CenterForm(*this); }

void frmEnterName::Form_Paint() { Draw3DFrame(*this, txtName); }

// Under Tag "0" the answer names a file: the keys the name rule allows
// (accented letters too) and Backspace.
void frmEnterName::txtName_KeyPress(int16_t& KeyAscii) {
  if (Tag() != "0") return;
  if (KeyAscii != 8 && !(KeyAscii > 0 && KeyAscii < 256 && platform::IsNameCharacter(static_cast<unsigned char>(KeyAscii))))
    KeyAscii = 0;
}

void frmEnterName::cmdOK_Click() {
  // A paste passes the key filter by; with the filter on, the answer names
  // files, so it is held to letters and digits here as well.
  const std::string& text = txtName.Text();
  bool refused = text.empty();
  if (Tag() == "0")
    for (char c : text) refused = refused || !platform::IsNameCharacter(static_cast<unsigned char>(c));
  if (refused) {
    GetHost().MsgBox("Invalid name");
    txtName.SetFocus();
    return;
  }
  SetTag(txtName.Text());
  store_.DialogResult = 0;
  Hide();
}

void frmEnterName::cmdCancel_Click() {
  store_.DialogResult = -1;
  Hide();
}

}  // namespace kelvarin::store
