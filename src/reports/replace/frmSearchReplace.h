// The search and replace dialog ("Search and Replace"): the text to find, its
// replacement, the first entry to work on and whether one field or every
// field is searched.
//
// Construct, Show(Modal); it unloads itself. OK refuses an empty search text
// ("No Search Text Specified") and a start entry beyond the last entry
// ("Starting Record is too large!", the box then shows the entry count);
// otherwise it sets state.SearchString and state.ReplaceString, fills the
// request and sets store.DialogResult to 0. Cancel and the close box: -1.
//
// Each use opens fresh: start entry "1", no replacement, Field Replace.
// Only the search text carries over, through state.SearchString (which the
// global search shares).
#pragma once

#include <cstdint>

#include "platform/model/model.h"
#include "reports/dialogs/frmReportDest.h"
#include "reports/report_state.h"
#include "store/store.h"

namespace kelvarin::reports {

// What the dialog asks of the replace run.
struct ReplaceRequest {
  // Field slot of Field Replace; -1 when the catalog has no used field, so
  // that none could be chosen.
  int16_t ReplaceField = -1;
  bool ReplaceGlobal = false;
  // 1 for an empty box; never above the entry count.
  float ReplaceStart = 1;
};

class frmSearchReplace : public platform::Form {
 public:
  frmSearchReplace(platform::Host& host, store::Store& store, ReportState& state, ReplaceRequest& request,
                   ReportDestPanelSetter setReportDestPanel = {});

  platform::Label lblSearchString{*this, "lblSearchString"};
  platform::TextBox txtSearchString{*this, "txtSearchString"};
  platform::Label lblReplaceString{*this, "lblReplaceString"};
  platform::TextBox txtReplaceString{*this, "txtReplaceString"};
  platform::Label lblStartRec{*this, "lblStartRec"};
  platform::TextBox txtStartRec{*this, "txtStartRec"};
  platform::OptionButton optField{*this, "optField"};
  platform::OptionButton optGlobal{*this, "optGlobal"};
  platform::Label lblFields{*this, "lblFields"};
  platform::ComboBox cboFields{*this, "cboFields"};
  platform::CommandButton cmdOK{*this, "cmdOK"};
  platform::CommandButton cmdCancel{*this, "cmdCancel"};

  // No button of the dialog calls these two; they are kept for callers that
  // want the case setting or the report destination from here.
  // on > 0 makes searches respect case; the catalog's settings are saved.
  void SetCaseSensitive(int16_t on);
  void ShowReportDest();

 private:
  void Form_Load();
  void Form_Activate();
  void Form_Paint();
  void optField_Click(int16_t value);
  void optGlobal_Click(int16_t value);
  void txtStartRec_KeyPress(int16_t& keyAscii);
  void cmdOK_Click();
  void cmdCancel_Click();

  platform::Host& host_;
  store::Store& store_;
  ReportState& state_;
  ReplaceRequest& request_;
  ReportDestPanelSetter setReportDestPanel_;
};

// The start entry a box's text names: 1 when it is empty, else the number
// its leading digits form (0 when it does not begin with a digit; only a
// pasted text can).
double StartEntryOf(const std::string& text);

}  // namespace kelvarin::reports
