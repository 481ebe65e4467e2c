// The main window: one entry of the open catalog as a column of labelled
// text boxes, the menus that reach every command, the Next and Previous
// buttons that step through the results of a run, and the status bar that
// tells the entry number, the browse mode, the report destination and
// whether the entry is deleted.
//
// Start-up happens in Form_Load (paths are set on the store by the program
// before the window is shown), shutdown in Form_Unload.
//
// Commands built elsewhere attach themselves: a menu item whose handler
// lives in another layer is hidden until that layer calls AttachMenu, so
// the user never meets a command that does nothing. The runs register their
// Next and Previous stepping per browse mode with SetStepper.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/model/model.h"
#include "reports/report_state.h"
#include "store/store.h"

namespace kelvarin::entry {

class frmQAVMain : public platform::Form {
 public:
  // The caption of the main window begins with this; a second copy of the
  // program looks for it.
  static constexpr const char* kCaptionStem = "Kelvarin Your Catalog";

  frmQAVMain(platform::Host& host, store::Store& store, reports::ReportState& reportState);
  ~frmQAVMain() override;

  store::Store& GetStore() const { return store_; }
  reports::ReportState& GetReportState() const { return state_; }

  // ---- form-level state ---------------------------------------------------
  // Key index kept open for alphabetical browsing; -1 = none.
  int16_t BrowseIndex = -1;
  int16_t CurrentBrowseMode = store::bmNewEntry;
  int16_t CurrentSearchMode = store::smAlpha;
  // The stepping of Next (Previous) in one browse mode: fills the work entry
  // and returns the entry number found, or CurrentEntryNumber / 0 when there
  // is none (the stepper has then told the user).
  using Stepper = std::function<float(store::EntryRecord& work)>;

  // ---- controls -------------------------------------------------------------
  platform::MenuItem mnuFile{*this, "mnuFile"};
  platform::MenuItem mnuVPrintEntry{mnuFile, "mnuVPrintEntry"};  // "Print &Current Entry"
  platform::MenuItem mnuFEjectPage{mnuFile, "mnuFEjectPage"};
  platform::MenuItem mnuFSep1{mnuFile, "mnuFSep1"};
  platform::MenuItem mnuFExit{mnuFile, "mnuFExit"};

  platform::MenuItem mnuEdit{*this, "mnuEdit"};
  platform::MenuItem mnuEEraseScreen{mnuEdit, "mnuEEraseScreen"};

  platform::MenuItem mnuView{*this, "mnuView"};
  platform::MenuItem mnuVSearch{mnuView, "mnuVSearch"};
  platform::MenuItem mnuVSpeed1{mnuView, "mnuVSpeed1"};
  platform::MenuItem mnuVSpeed2{mnuView, "mnuVSpeed2"};
  platform::MenuItem mnuVSpeed3{mnuView, "mnuVSpeed3"};
  platform::MenuItem mnuVGlobalSearch{mnuView, "mnuVGlobalSearch"};
  platform::MenuItem mnuVFindDeleted{mnuView, "mnuVFindDeleted"};
  platform::MenuItem mnuVListRange{mnuView, "mnuVListRange"};
  platform::MenuItem mnuVListAlpha{mnuView, "mnuVListAlpha"};
  platform::MenuItem mnuVTotals{mnuView, "mnuVTotals"};
  platform::MenuItem mnuVReplace{mnuView, "mnuVReplace"};
  platform::MenuItem mnuVSep1{mnuView, "mnuVSep1"};
  platform::MenuItem mnuVNext{mnuView, "mnuVNext"};
  platform::MenuItem mnuVPrevious{mnuView, "mnuVPrevious"};

  platform::MenuItem mnuReports{*this, "mnuReports"};
  platform::MenuItem mnuOSetup{mnuReports, "mnuOSetup"};
  platform::MenuItem mnuRSelectLayout{mnuReports, "mnuRSelectLayout"};  // "&Report Maintenance"

  platform::MenuItem mnuUtilities{*this, "mnuUtilities"};
  platform::MenuItem mnuUCatMaint{mnuUtilities, "mnuUCatMaint"};

  // Other names the same items are known by.
  platform::MenuItem& mnuFPrintCurrent = mnuVPrintEntry;
  platform::MenuItem& mnuORptMaint = mnuRSelectLayout;
  std::array<platform::MenuItem*, 3> SpeedMenus() { return {&mnuVSpeed1, &mnuVSpeed2, &mnuVSpeed3}; }

  // Field slots 0..20; element 0 is designed, 1..20 are created at load.
  platform::ControlArray<platform::Label> lblFieldName{*this, "lblFieldName"};
  platform::ControlArray<platform::TextBox> txtFieldData{*this, "txtFieldData"};

  platform::CommandButton cmdPrevious{*this, "cmdPrevious"};
  platform::CommandButton cmdNext{*this, "cmdNext"};
  platform::CommandButton cmdAlpha{*this, "cmdAlpha"};
  platform::CommandButton cmdSequential{*this, "cmdSequential"};

  // Panels keyed "Entry", "SearchMode", "RptDest", "Deleted".
  platform::StatusBar StatusBar1{*this, "StatusBar1"};

  // ---- attaching commands built elsewhere ------------------------------
  // Sets the item's Click and makes it (and its menu) visible. The speed
  // items show only while LayoutFields has bound them to a field; the Alpha
  // and Seq Search buttons show once mnuVSearch is attached.
  void AttachMenu(platform::MenuItem& item, std::function<void()> handler);
  // Registers the stepping of Next and Previous for a browse mode.
  void SetStepper(int16_t browseMode, Stepper next, Stepper previous);
  // Shows catalog maintenance (set by the program).
  std::function<void()> ShowCatalogMaintenance;
  // Raised once shutdown has closed the catalog (the program then ends).
  std::function<void()> Closed;

  // ---- services -------------------------------------------------------------
  // Texts into the field boxes, the "Deleted" panel.
  void ShowEntry(const store::EntryRecord& entry);
  // Reads the entry and shows it for editing (bmEdit, panels); false when
  // there is no such entry.
  bool ShowEntryNumbered(float entryNumber);
  // Clears the screen for a new entry.
  void mnuEEraseScreen_Click();
  // Cuts the key to the smaller of the key field's length and 24.
  void LimitKeyLength(std::string& key) const;
  void ResetSpeedSearchMenus();
  // Shows the used fields as a column of labels and boxes, sizes the window
  // to them and binds the speed-search items to the first three key fields.
  void LayoutFields();
  void SetPanel(std::string_view key, std::string_view text);
  std::string PanelText(const std::string& key) const;
  // "Entry # " and the entry number.
  void ShowEntryNumber(float entryNumber);
  // The caption for the open catalog (or none).
  void UpdateCaption();
  // After a catalog has been opened or closed: the current report format,
  // the fields, the menus that need a catalog, the caption and the erased
  // screen.
  void CatalogOpened();
  // Closes BrowseIndex when it is open (before another catalog opens).
  void CloseBrowseIndex();

  // ---- handlers ---------------------------------------------------------------
  void Form_Load();
  void Form_Unload(int16_t& cancel);
  void mnuVNext_Click();
  void mnuVPrevious_Click();
  void cmdAlpha_Click();
  void cmdSequential_Click();
  // Runs the handler attached to mnuVSearch; nothing when none is.
  void mnuVSearch_Click();
  void mnuFEjectPage_Click();
  void mnuFExit_Click();
  void mnuUCatMaint_Click();

  // Whether shutdown has run (the catalog is then closed).
  bool ShutDown() const { return shutDown_; }
  // Ends the print job and closes the catalog; runs once.
  void Shutdown();

 private:
  struct Steppers {
    Stepper next;
    Stepper previous;
  };
  void BuildMenus();
  void BuildStatusBar();
  void EnableCatalogCommands(bool catalogOpen);
  void UpdateCommandVisibility();
  void Step(bool forward);
  void ReadCurrentReportFormat();

  store::Store& store_;
  reports::ReportState& state_;
  std::array<Steppers, 8> steppers_{};
  bool shutDown_ = false;
  // Kept between steps so that stepping through many entries reuses their
  // texts' storage instead of allocating it afresh each time.
  store::EntryRecord stepWork_;
  // Set on every entry shown: found once, not by its key each time.
  platform::Panel* deletedPanel_ = nullptr;
};

}  // namespace kelvarin::entry
