// The criteria dialog: one text per used field of the open catalog, kept as
// one of the three criteria lists. state.CriteriaMode, set by the opener just
// before showing it, chooses the list and the caption:
//   CriteriaAlphaStart  AlphaStartCriteria  "Setup Alpha Starting Point"
//   CriteriaAlphaEnd    AlphaEndCriteria    "Setup Alpha Ending Point"
//   CriteriaSearch      SearchCriteria      "Setup Search Criteria"
// (any other mode: caption "Criteria", nothing read or written).
//
// Construct, Show(Modal); it unloads itself. OK (store.DialogResult 0)
// rebuilds the chosen list from the non-empty boxes of used fields, in slot
// order, texts exactly as typed; Cancel (DialogResult -1) changes no list.
//
// Rows: label i and box i belong to field slot i (0..20); a field of length
// 0 hides its row but keeps its place, so row i always sits at
// top0 + i * (box height + 3 pixels).
#pragma once

#include "platform/model/model.h"
#include "reports/report_state.h"
#include "store/store.h"

namespace kelvarin::reports {

class frmCriteria : public platform::Form {
 public:
  frmCriteria(platform::Host& host, store::Store& store, ReportState& state);

  platform::ControlArray<platform::Label> lblFieldName{*this, "lblFieldName"};
  platform::ControlArray<platform::TextBox> txtFieldData{*this, "txtFieldData"};
  platform::CommandButton cmdOK{*this, "cmdOK"};
  platform::CommandButton cmdCancel{*this, "cmdCancel"};

 private:
  void Form_Load();
  void Form_Paint();
  void cmdOK_Click();
  void cmdCancel_Click();
  // The list CriteriaMode names; null for any other mode.
  CriteriaList* ChosenList();

  platform::Host& host_;
  store::Store& store_;
  ReportState& state_;
};

}  // namespace kelvarin::reports
