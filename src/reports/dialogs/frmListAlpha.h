// The list-alphabetically dialog ("List Alphabetically"): the key field whose
// index orders the list, and through the criteria dialog the optional start
// and end keys.
//
// The opener loads it first (LoadForm): with no key field in the catalog the
// load beeps, shows "You must define at least on index field to list
// alphabetically." and leaves store.DialogResult -1; the opener then unloads
// it without showing it. Otherwise DialogResult is 0 after loading and the
// opener shows it modally; it unloads itself. OK sets state.KeyField to the
// chosen field's slot (DialogResult 0); Cancel sets DialogResult -1. Neither
// touches the start and end lists, which stay as the criteria dialog left them.
#pragma once

#include "platform/model/model.h"
#include "reports/dialogs/frmReportDest.h"
#include "reports/report_state.h"
#include "store/store.h"

namespace kelvarin::reports {

class frmListAlpha : public platform::Form {
 public:
  frmListAlpha(platform::Host& host, store::Store& store, ReportState& state,
               ReportDestPanelSetter setReportDestPanel = {});

  platform::Label lblKeyField{*this, "lblKeyField"};
  platform::ComboBox cboKeyFields{*this, "cboKeyFields"};
  platform::CommandButton cmdSetStart{*this, "cmdSetStart"};
  platform::CommandButton cmdSetEnd{*this, "cmdSetEnd"};
  platform::CommandButton cmdOK{*this, "cmdOK"};
  platform::CommandButton cmdCancel{*this, "cmdCancel"};
  platform::CommandButton cmdRptSetup{*this, "cmdRptSetup"};

 private:
  void Form_Load();
  void cmdSetStart_Click();
  void cmdSetEnd_Click();
  void cmdOK_Click();
  void cmdCancel_Click();
  void cmdRptSetup_Click();

  platform::Host& host_;
  store::Store& store_;
  ReportState& state_;
  ReportDestPanelSetter setReportDestPanel_;
};

}  // namespace kelvarin::reports
