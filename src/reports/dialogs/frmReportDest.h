// The report destination and report settings dialog ("Report Setup"): where
// runs send their matches, the paper handling, the report switches and page
// figures of the open catalog, the two Quick View limits and the report font.
//
// Opened by the Reports menu's Setup and by the Report Setup buttons of the
// search and list dialogs: construct, Show(Modal); it unloads itself on OK
// and Cancel. OK (store.DialogResult 0) validates the four number boxes in a
// fixed order, stores them and the switches in store.CurrentSettings, shows
// the destination through the status-panel callback, writes it to QAV.INI,
// sets store.CurrentReportDest and store.PaperMode and saves the catalog's
// settings (skipped with no catalog open). A refused OK leaves the numbers
// that passed before the fault in CurrentSettings; Cancel (DialogResult -1)
// restores nothing. The font choice takes effect at once.
//
// Reads: CurrentReport, SecurityCode, CatalogName, CurrentSettings,
// CurrentReportDest, PaperMode. With view-only access only Cancel works.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/model/model.h"
#include "store/store.h"

namespace kelvarin::reports {

// Whether a destination's output can be produced yet, by ReportDest value
// (monitor, printer, Quick View, ASCII file, dBase III). The option of a
// destination marked false is disabled in the dialog.
inline constexpr std::array<bool, 5> kDestinationAvailable{true, true, true, true, true};

// Writes the text of the main window's status-bar panel "RptDest".
using ReportDestPanelSetter = std::function<void(const std::string& text)>;

class frmReportDest : public platform::Form {
 public:
  frmReportDest(platform::Host& host, store::Store& store, ReportDestPanelSetter setReportDestPanel = {});

  // Form-level choices, alive while the dialog is loaded.
  int16_t DestChoice = 0;
  int16_t PaperChoice = 0;

  platform::Frame fraDest{*this, "fraDest"};
  platform::OptionButton optMonitor{fraDest, "optMonitor"};
  platform::OptionButton optPrinter{fraDest, "optPrinter"};
  platform::OptionButton optQuickView{fraDest, "optQuickView"};
  platform::OptionButton optASCIIFile{fraDest, "optASCIIFile"};
  platform::OptionButton optDBase{fraDest, "optDBase"};

  platform::Frame fraFormat{*this, "fraFormat"};
  platform::CheckBox chkDashed{fraFormat, "chkDashed"};
  platform::CheckBox chkColHeadings{fraFormat, "chkColHeadings"};
  platform::CheckBox chkLockTop{fraFormat, "chkLockTop"};
  platform::CheckBox chkNoSpace{fraFormat, "chkNoSpace"};
  platform::CheckBox chkPageNum{fraFormat, "chkPageNum"};
  platform::CheckBox chkPrintMemos{fraFormat, "chkPrintMemos"};

  platform::Label lblPageLength{*this, "lblPageLength"};
  platform::TextBox txtPageLength{*this, "txtPageLength"};
  platform::Label lblTopMargin{*this, "lblTopMargin"};
  platform::TextBox txtTopMargin{*this, "txtTopMargin"};
  platform::Label lblQVMaxLines{*this, "lblQVMaxLines"};
  platform::TextBox txtQVMaxLines{*this, "txtQVMaxLines"};
  platform::Label lblQVColWidth{*this, "lblQVColWidth"};
  platform::TextBox txtQVColWidth{*this, "txtQVColWidth"};

  platform::Frame fraPaper{*this, "fraPaper"};
  platform::OptionButton optContinuous{fraPaper, "optContinuous"};
  platform::OptionButton optSingle{fraPaper, "optSingle"};
  platform::OptionButton optLabels{fraPaper, "optLabels"};
  platform::Label lblPaperNotesHead{*this, "lblPaperNotesHead"};
  platform::Label lblPaperNotes{*this, "lblPaperNotes"};

  platform::CommandButton cmdOK{*this, "cmdOK"};
  platform::CommandButton cmdCancel{*this, "cmdCancel"};
  platform::CommandButton cmdFonts{*this, "cmdFonts"};

 private:
  void Form_Load();
  void Form_Paint();
  void cmdOK_Click();
  void cmdCancel_Click();
  void cmdFonts_Click();
  void chkLockTop_Click(int16_t value);
  // Shows a refusal of OK and gives the box at fault the focus.
  void Refuse(const std::string& message, platform::TextBox& box);

  platform::Host& host_;
  store::Store& store_;
  ReportDestPanelSetter setReportDestPanel_;
};

}  // namespace kelvarin::reports
