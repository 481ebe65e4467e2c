// The shared one-line prompt. The caller sets the caption, the question in
// lblUserAction, optionally the starting text and txtName's maximum length
// (8 unless changed), and the form's Tag: "0" lets only Backspace, digits
// and letters be typed (the letters of the file name rule, accented ones
// too: platform/files/file_names.h), "1" every key. Then it shows the prompt modally.
// OK with an empty text (or, under Tag "0", one holding anything but letters
// and digits, as a paste can) shows "Invalid name" and keeps the prompt open;
// otherwise OK copies the text into Tag, sets DialogResult to 0 and hides the
// prompt. Cancel sets DialogResult to -1 and hides it; so does the close box
// (which unloads it).
#pragma once

#include "platform/model/controls.h"
#include "platform/model/form.h"
#include "store/store.h"

namespace kelvarin::store {

class frmEnterName : public platform::Form {
 public:
  explicit frmEnterName(Store& store);

  platform::Label lblUserAction{*this, "lblUserAction"};
  platform::TextBox txtName{*this, "txtName"};
  platform::CommandButton cmdOK{*this, "cmdOK"};
  platform::CommandButton cmdCancel{*this, "cmdCancel"};

 private:
  void Form_Load();
  void Form_Paint();
  void txtName_KeyPress(int16_t& KeyAscii);
  void cmdOK_Click();
  void cmdCancel_Click();

  Store& store_;
};

}  // namespace kelvarin::store
