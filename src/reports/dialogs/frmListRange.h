// The list range dialog ("List Range"): the first and last entry number of a
// list in entry-number order.
//
// Construct, Show(Modal); it unloads itself. The boxes show the last range
// used (state.ListRangeStart / ListRangeEnd when above 0) and take digits
// only from the keyboard. OK checks, in this order, each refusal keeping the
// dialog open with the focus in the box at fault:
//   start box empty                "Invalid Start #"
//   end box empty                  "Invalid End #"
//   start not a whole number       "Start # must be a whole number"
//   end not a whole number         "End # must be a whole number"
//   start < 1                      "Start # must be greater than 0"
//   start > end                    "End # must be greater than or equal to Start #"
//   end > the entry count          "End # must not be greater than the number on entries."
//                                  (the end box first shows the entry count)
// then stores the range and sets store.DialogResult 0. Cancel: -1.
#pragma once

#include "platform/model/model.h"
#include "reports/dialogs/frmReportDest.h"
#include "reports/report_state.h"
#include "store/store.h"

namespace kelvarin::reports {

class frmListRange : public platform::Form {
 public:
  frmListRange(platform::Host& host, store::Store& store, ReportState& state,
               ReportDestPanelSetter setReportDestPanel = {});

  platform::Label lblStartRec{*this, "lblStartRec"};
  platform::TextBox txtStartRec{*this, "txtStartRec"};
  platform::Label lblEndRec{*this, "lblEndRec"};
  platform::TextBox txtEndRec{*this, "txtEndRec"};
  platform::CommandButton cmdOK{*this, "cmdOK"};
  platform::CommandButton cmdCancel{*this, "cmdCancel"};
  platform::CommandButton cmdRptSetup{*this, "cmdRptSetup"};

 private:
  void Form_Load();
  void Form_Activate();
  void Form_Paint();
  void cmdOK_Click();
  void cmdCancel_Click();
  void cmdRptSetup_Click();
  void Refuse(const char* message, platform::TextBox& box);

  platform::Host& host_;
  store::Store& store_;
  ReportState& state_;
  ReportDestPanelSetter setReportDestPanel_;
};

}  // namespace kelvarin::reports
