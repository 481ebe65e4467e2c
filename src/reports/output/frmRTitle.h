// The report title prompt ("Report Title") shown before a printed report.
//
// Construct, Show(Modal); its buttons hide it and the opener reads
// txtRptTitle, then unloads it. OK with a title: store.DialogResult 0; an
// empty title is refused ("Please enter a title. Press CANCEL for no
// title.") and the prompt stays. "No Title" (and the close box): -1.
#pragma once

#include "platform/model/model.h"
#include "store/store.h"

namespace kelvarin::reports {

class frmRTitle : public platform::Form {
 public:
  static constexpr int kMaxTitle = 130;

  frmRTitle(platform::Host& host, store::Store& store);

  platform::Label lblTitle{*this, "lblTitle"};
  platform::TextBox txtRptTitle{*this, "txtRptTitle"};
  platform::CommandButton cmdOK{*this, "cmdOK"};
  platform::CommandButton cmdCancel{*this, "cmdCancel"};

 private:
  void Form_Load();
  void Form_Paint();
  void cmdOK_Click();
  void cmdCancel_Click();

  platform::Host& host_;
  store::Store& store_;
};

}  // namespace kelvarin::reports
