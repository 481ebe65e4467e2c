// The file pick of catalog maintenance: a directory with its sub-directories
// and the files in it that match a pattern ("*.dbf"). OK puts the full path
// of the chosen file into OpenFilePath and sets DialogResult to 0; Cancel
// sets it to -1. Both hide the form; the opener reads the answer and
// unloads it. Directory and OpenFilePath are paths (the file system's
// bytes); the lists and the caption show them as text.
#pragma once

#include <string>
#include <vector>

#include "platform/model/model.h"
#include "store/store.h"

namespace kelvarin::catalog {

class frmOpen : public platform::Form {
 public:
  frmOpen(platform::Host& host, store::Store& store);

  // Set by the opener before showing; the directory starts at AppDir the
  // first time and where the last pick was made afterwards.
  std::string Pattern = "*.*";
  std::string Directory;
  // The answer: directory, "/", file name with its extension.
  std::string OpenFilePath;

  platform::Label lblDirectory{*this, "lblDirectory"};
  platform::Label lblDirs{*this, "lblDirs"};
  platform::ListBox lstDirs{*this, "lstDirs"};
  platform::Label lblFiles{*this, "lblFiles"};
  platform::FileList filFiles{*this, "filFiles"};
  platform::CommandButton cmdOK{*this, "cmdOK"};
  platform::CommandButton cmdCancel{*this, "cmdCancel"};

  void Form_Load();
  // Shows the directory: its sub-directories (and ".." above it) and its
  // matching files.
  void ChangeDirectory(const std::string& dir);
  void lstDirs_DblClick();
  void cmdOK_Click();
  void cmdCancel_Click();

 private:
  store::Store& store_;
  // The folder names behind lstDirs, as the disk spells them.
  std::vector<std::string> dirNames_;
};

}  // namespace kelvarin::catalog
