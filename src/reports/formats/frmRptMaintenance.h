// Report format maintenance: the formats of the application directory,
// choosing the open catalog's current format (copied into ActiveLayout for
// output and stored in the catalog's settings), and editing, creating,
// copying, renaming and deleting formats. Editing and creating go through
// the layout designer (frmRptSetup) on the store's EditLayout.
//
// Each list item remembers the file it stands for, so a command acts on the
// file that is on disk whatever its letter case; the store reads and
// writes a format under its name whatever the case of its file. Names typed
// for new files follow the file name rule (platform/files/file_names.h; upper
// case); a name that exists in any letter case is refused, and no command
// replaces a file. A copy, rename,
// delete or write that fails is told, and the list is read again from the
// directory so that it shows what is there.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/model/model.h"
#include "store/store.h"

namespace kelvarin::reports {

class frmRptMaintenance : public platform::Form {
 public:
  frmRptMaintenance(platform::Host& host, store::Store& store);

  platform::Label lblReports{*this, "lblReports"};
  platform::ListBox lstReport{*this, "lstReport"};
  platform::Label lblCurrent{*this, "lblCurrent"};
  platform::Label lblCurrentReport{*this, "lblCurrentReport"};
  platform::CommandButton cmdSelect{*this, "cmdSelect"};
  platform::CommandButton cmdDesign{*this, "cmdDesign"};
  platform::CommandButton cmdNew{*this, "cmdNew"};
  platform::CommandButton cmdCopy{*this, "cmdCopy"};
  platform::CommandButton cmdRename{*this, "cmdRename"};
  platform::CommandButton cmdDelete{*this, "cmdDelete"};
  platform::CommandButton cmdOK{*this, "cmdOK"};
  platform::FileList filReport{*this, "filReport"};

 private:
  void Form_Load();
  void cmdSelect_Click();
  void cmdDesign_Click();
  void cmdNew_Click();
  void cmdCopy_Click();
  void cmdRename_Click();
  void cmdDelete_Click();
  void cmdOK_Click();

  void FillReportList();
  void EnableReportButtons(bool on);
  void SetDefaultLayout();
  // With view-only access only Select and OK stay available.
  void ApplyViewOnly();

  // Asks for a name in the shared prompt; nullopt when cancelled. The
  // answer comes back in upper case.
  std::optional<std::string> AskName(const std::string& caption, const std::string& question);
  // True (after the beep and "Report format already exists. <what>
  // Aborted.") when NAME.FMT exists in any letter case; true also after
  // telling that the directory could not be read.
  bool RefuseExisting(const std::string& name, const std::string& what);
  // Reads the selected format into the edit layout; false after "Report is
  // invalid.".
  bool ReadSelected(const std::string& name);
  // Adds a listed name standing for file; returns its index.
  int32_t AddListed(const std::string& name, const std::string& file);
  std::string SelectedFile() const;
  // Tells a failure (what failed, then the file and why) and shows the
  // directory as it now is.
  void ReportFailure(const std::string& what, int error, const std::string& at);
  // Reads the list again from the directory, keeping the selection.
  void ShowWhatIsOnDisk();
  // Shows the designer on the edit layout; true after its OK.
  bool RunDesigner(const std::string& captionSuffix);

  store::Store& store_;
  std::vector<std::string> files_;  // item data of lstReport indexes this
};

}  // namespace kelvarin::reports
