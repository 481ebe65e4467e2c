// The global search dialog ("Global Search"): the text a global search looks
// for in every field of every entry, and the case setting.
//
// Construct, Show(Modal); it unloads itself. OK refuses an empty text ("No
// Search Text Specified"; a text of blanks is accepted), else sets
// state.SearchString to the text as typed and store.DialogResult to 0.
// Cancel: DialogResult -1. The case box sets store.CaseSensitive and saves
// the catalog's settings at once, whatever the ending.
#pragma once

#include "platform/model/model.h"
#include "reports/dialogs/frmReportDest.h"
#include "reports/report_state.h"
#include "store/store.h"

namespace kelvarin::reports {

class frmGlobalSearch : public platform::Form {
 public:
  frmGlobalSearch(platform::Host& host, store::Store& store, ReportState& state,
                  ReportDestPanelSetter setReportDestPanel = {});

  platform::Label lblGlobalString{*this, "lblGlobalString"};
  platform::TextBox txtGlobalString{*this, "txtGlobalString"};
  platform::CheckBox chkCaseSense{*this, "chkCaseSense"};
  platform::CommandButton cmdOK{*this, "cmdOK"};
  platform::CommandButton cmdCancel{*this, "cmdCancel"};
  platform::CommandButton cmdRptSetup{*this, "cmdRptSetup"};

 private:
  void Form_Load();
  void Form_Activate();
  void Form_Paint();
  void chkCaseSense_Click(int16_t value);
  void cmdOK_Click();
  void cmdCancel_Click();
  void cmdRptSetup_Click();

  platform::Host& host_;
  store::Store& store_;
  ReportState& state_;
  ReportDestPanelSetter setReportDestPanel_;
  bool showingCaseSetting_ = false;
};

}  // namespace kelvarin::reports
