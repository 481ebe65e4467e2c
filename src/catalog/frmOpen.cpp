#include "catalog/frmOpen.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/text/path_text.h"
#include "store/form_helpers.h"

namespace kelvarin::catalog {

namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

frmOpen::frmOpen(platform::Host& host, store::Store& store) : Form(host, "frmOpen"), store_(store) {
  SetCaption("Open");
  SetBorderStyle(platform::FormBorder::FixedDialog);
  SetScaleWidth(6600);
  SetScaleHeight(4500);
  lblDirectory.Move(120, 120, 6360, 285);
  lblDirs.SetCaption("Folders:");
  lblDirs.Move(120, 480, 3000, 285);
  lstDirs.Move(120, 780, 3000, 2940);
  lblFiles.Move(3360, 480, 3120, 285);
  filFiles.Move(3360, 780, 3120, 2940);
  cmdOK.SetCaption("&OK");
  cmdOK.SetDefault(true);
  cmdOK.Move(3360, 3900, 1455, 390);
  cmdCancel.SetCaption("&Cancel");
  cmdCancel.SetCancel(true);
  cmdCancel.Move(5025, 3900, 1455, 390);
  lstDirs.SetTabIndex(0);
  filFiles.SetTabIndex(1);
  cmdOK.SetTabIndex(2);
  cmdCancel.SetTabIndex(3);

  Load = [this] { Form_Load(); };
  lstDirs.DblClick = [this] { lstDirs_DblClick(); };
  filFiles.DblClick = [this] { cmdOK_Click(); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
}

void frmOpen::Form_Load() {
  store::CenterForm(*this);
  OpenFilePath.clear();
  lblFiles.SetCaption("Files (" + Pattern + "):");
  filFiles.SetPattern(Pattern);
  std::error_code ec;
  ChangeDirectory(!Directory.empty() && std::filesystem::is_directory(Directory, ec) ? Directory : store_.AppDir);
}

void frmOpen::ChangeDirectory(const std::string& dir) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::weakly_canonical(dir.empty() ? "/" : dir, ec);
  if (ec) p = dir;
  Directory = p.string();
  lblDirectory.SetCaption(platform::PathText(Directory));

  std::vector<std::string> subdirs;
  for (std::filesystem::directory_iterator it(p, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    std::string name = it->path().filename().string();
    if (!name.empty() && name[0] != '.' && it->is_directory(typeError)) subdirs.push_back(name);
  }
  std::sort(subdirs.begin(), subdirs.end(), LessIgnoringCase);
  lstDirs.Clear();
  dirNames_.clear();
  if (p.has_parent_path() && p != p.root_path()) dirNames_.push_back("..");
  dirNames_.insert(dirNames_.end(), subdirs.begin(), subdirs.end());
  for (const std::string& s : dirNames_) lstDirs.AddItem(platform::PathText(s));
  filFiles.SetPath(Directory);
}

void frmOpen::lstDirs_DblClick() {
  const auto index = static_cast<size_t>(lstDirs.ListIndex());
  if (lstDirs.ListIndex() < 0 || index >= dirNames_.size()) return;
  const std::string& item = dirNames_[index];
  std::filesystem::path p(Directory);
  ChangeDirectory(item == ".." ? p.parent_path().string() : (p / item).string());
}

void frmOpen::cmdOK_Click() {
  std::string name = filFiles.FileName();
  if (name.empty()) {
    GetHost().MsgBox("Please select a file.", platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
    return;
  }
  OpenFilePath = (std::filesystem::path(Directory) / name).string();
  store_.DialogResult = 0;
  Hide();
}

void frmOpen::cmdCancel_Click() {
  store_.DialogResult = -1;
  Hide();
}

}  // namespace kelvarin::catalog
