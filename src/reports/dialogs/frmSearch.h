// The search dialog ("Search"): one text per field (rows for slots 0 to 19;
// slot 20, which carries the picture and sound references, has none), the
// key field of an alphabetical search, the search order, case sensitivity,
// and through further dialogs the start and end keys, the search criteria
// in the criteria dialog and the report setup.
//
// Construct, Show(Modal); it unloads itself. Afterwards store.DialogResult
// is 0 when the search is to run (state.SearchCriteria, state.KeyField and
// currentSearchMode set; the mode also written to QAV.INI) and -1 when it
// was cancelled. Whatever the ending, the case box may have changed (and
// saved) store.CaseSensitive, the sub-dialogs may have changed the start and
// end lists and the report settings, and a "No" to the no-key-text question
// leaves the criteria, KeyField and mode that OK had already set.
//
// When Search Setup closes with OK, the boxes are refilled from the new
// SearchCriteria, so that this dialog's OK (which rebuilds the list from the
// boxes) keeps what was entered there; a criterion for slot 20 has no row
// and is dropped by OK.
#pragma once

#include <cstdint>

#include "platform/model/model.h"
#include "reports/dialogs/frmReportDest.h"
#include "reports/report_state.h"
#include "store/store.h"

namespace kelvarin::reports {

class frmSearch : public platform::Form {
 public:
  // Rows of the dialog: field slots 0..19.
  static constexpr int16_t kRows = 20;
  static constexpr platform::Color kKeyRowColor = 0x0000FF;
  static constexpr platform::Color kRowBoxColor = 0xC0C0C0;

  frmSearch(platform::Host& host, store::Store& store, ReportState& state, int16_t& currentSearchMode,
            ReportDestPanelSetter setReportDestPanel = {});

  platform::Label lblTitle{*this, "lblTitle"};
  platform::Label lblInstructions{*this, "lblInstructions"};
  platform::ControlArray<platform::Label> lblFieldName{*this, "lblFieldName"};
  platform::ControlArray<platform::TextBox> txtFieldData{*this, "txtFieldData"};

  platform::Frame fraOrder{*this, "fraOrder"};
  platform::OptionButton optAlpha{fraOrder, "optAlpha"};
  platform::OptionButton optSequential{fraOrder, "optSequential"};
  platform::CheckBox chkCaseSense{fraOrder, "chkCaseSense"};

  platform::Frame fraAlphaSetup{*this, "fraAlphaSetup"};
  platform::Label lblKeyField{fraAlphaSetup, "lblKeyField"};
  platform::ComboBox cboKeyFields{fraAlphaSetup, "cboKeyFields"};
  platform::CommandButton cmdSetStart{fraAlphaSetup, "cmdSetStart"};
  platform::CommandButton cmdSetEnd{fraAlphaSetup, "cmdSetEnd"};
  platform::Label lblKeyNote{fraAlphaSetup, "lblKeyNote"};

  platform::CommandButton cmdSrcSetup{*this, "cmdSrcSetup"};
  platform::CommandButton cmdRptSetup{*this, "cmdRptSetup"};
  platform::CommandButton cmdClear{*this, "cmdClear"};
  platform::CommandButton cmdOK{*this, "cmdOK"};
  platform::CommandButton cmdCancel{*this, "cmdCancel"};

 private:
  void Form_Load();
  void Form_Paint();
  void cboKeyFields_Click();
  void optAlpha_Click(int16_t value);
  void optSequential_Click(int16_t value);
  void chkCaseSense_Click(int16_t value);
  void cmdClear_Click();
  void cmdSetStart_Click();
  void cmdSetEnd_Click();
  void cmdSrcSetup_Click();
  void cmdRptSetup_Click();
  void cmdOK_Click();
  void cmdCancel_Click();

  // Builds the rows (slots 0..19) and places the other controls beside them.
  void BuildRows();

  platform::Host& host_;
  store::Store& store_;
  ReportState& state_;
  int16_t& currentSearchMode_;
  ReportDestPanelSetter setReportDestPanel_;
  bool showingCaseSetting_ = false;
};

}  // namespace kelvarin::reports
