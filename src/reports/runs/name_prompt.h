// The one-line prompt the speed searches ask their text with ("frmEnterName").
//
// The caller sets the caption, the question in lblUserAction, the maximum
// length of txtName and Tag ("0": only Backspace, digits and letters can be
// typed; "1": every key), then shows it modally. OK with an empty text
// shows "Invalid name" and keeps the prompt open; otherwise OK copies the
// text into Tag, sets DialogResult 0 and hides the prompt; Cancel sets
// DialogResult -1 and hides it.
//
// The runs' own copy until the catalog store offers the shared prompt.
#pragma once

#include <cstdint>

#include "platform/model/model.h"

namespace kelvarin::reports {

class frmEnterName : public platform::Form {
 public:
  frmEnterName(platform::Host& host, int16_t& dialogResult);

  platform::Label lblUserAction{*this, "lblUserAction"};
  platform::TextBox txtName{*this, "txtName"};
  platform::CommandButton cmdOK{*this, "cmdOK"};
  platform::CommandButton cmdCancel{*this, "cmdCancel"};

 private:
  void txtName_KeyPress(int16_t& keyAscii);
  void cmdOK_Click();
  void cmdCancel_Click();

  int16_t& dialogResult_;
};

}  // namespace kelvarin::reports
