#include "reports/formats/frmRptMaintenance.h"

#include "platform/files/file_names.h"
#include "platform/text/codepage.h"
#include "reports/formats/format_files.h"
#include "reports/formats/frmRptSetup.h"
#include "store/form_helpers.h"
#include "store/frm_enter_name.h"

namespace kelvarin::reports {

namespace {

using platform::MsgButtons;
using platform::MsgIcon;

std::string Upper(const std::string& s) { return platform::AnsiUpperString(s); }

}  // namespace

frmRptMaintenance::frmRptMaintenance(platform::Host& host, store::Store& store)
    : Form(host, "frmRptMaintenance"), store_(store) {
  SetCaption("Report Maintenance");
  SetBorderStyle(platform::FormBorder::FixedDialog);
  SetScaleWidth(5160);
  SetScaleHeight(4200);
  lblReports.SetCaption("Report Formats");
  lblReports.Move(120, 120, 2760, 255);
  lstReport.Move(120, 420, 2760, 2940);
  lblCurrent.SetCaption("Current Report:");
  lblCurrent.Move(120, 3540, 1380, 255);
  lblCurrentReport.Move(1560, 3540, 1320, 255);
  const struct {
    platform::CommandButton* button;
    const char* caption;
  } buttons[] = {{&cmdSelect, "&Select"}, {&cmdDesign, "&Edit Report"}, {&cmdNew, "&New"},
                 {&cmdCopy, "&Copy"},     {&cmdRename, "&Rename"},      {&cmdDelete, "&Delete"}};
  int32_t y = 420;
  for (const auto& b : buttons) {
    b.button->SetCaption(b.caption);
    b.button->Move(3120, y, 1920, 375);
    y += 480;
  }
  cmdOK.SetCaption("OK");
  cmdOK.SetDefault(true);
  cmdOK.SetCancel(true);
  cmdOK.Move(3120, 3480, 1920, 375);
  filReport.SetPattern("*.fmt");
  filReport.SetVisible(false);
  lstReport.SetTabIndex(0);

  Load = [this] { Form_Load(); };
  cmdSelect.Click = [this] { cmdSelect_Click(); };
  lstReport.DblClick = [this] { cmdSelect_Click(); };
  cmdDesign.Click = [this] { cmdDesign_Click(); };
  cmdNew.Click = [this] { cmdNew_Click(); };
  cmdCopy.Click = [this] { cmdCopy_Click(); };
  cmdRename.Click = [this] { cmdRename_Click(); };
  cmdDelete.Click = [this] { cmdDelete_Click(); };
  cmdOK.Click = [this] { cmdOK_Click(); };
}

void frmRptMaintenance::Form_Load() {
  store::CenterForm(*this);
  filReport.SetPath(store_.AppDir);
  FillReportList();
  ApplyViewOnly();
}

void frmRptMaintenance::ApplyViewOnly() {
  if (store_.SecurityCode != -1) return;
  for (platform::CommandButton* b : {&cmdDesign, &cmdNew, &cmdCopy, &cmdDelete, &cmdRename}) b->SetEnabled(false);
}

void frmRptMaintenance::FillReportList() {
  lblCurrentReport.SetCaption(store_.CurrentReport);
  lstReport.Clear();
  files_.clear();
  for (int32_t i = 0; i < filReport.ListCount(); ++i) {
    const std::string file = filReport.List(i);
    // The disk spells names in UTF-8; the list shows the program's text.
    const std::optional<std::string> name = platform::NameOfFile(file, platform::kFormatExt);
    if (!name || name->empty()) continue;  // ".fmt" alone names no format
    int32_t index = AddListed(*name, file);
    if (*name == store_.CurrentReport) lstReport.SetListIndex(index);
  }
  if (lstReport.ListCount() > 0) {
    EnableReportButtons(true);
    if (lstReport.ListIndex() < 0) lstReport.SetListIndex(0);
  } else {
    EnableReportButtons(false);
  }
}

void frmRptMaintenance::EnableReportButtons(bool on) {
  for (platform::CommandButton* b : {&cmdCopy, &cmdDesign, &cmdRename, &cmdDelete, &cmdSelect}) b->SetEnabled(on);
}

void frmRptMaintenance::SetDefaultLayout() {
  for (int i = 0; i < store::kReportColumns; ++i) {
    store::ReportColumn& c = store_.EditLayout[static_cast<size_t>(i)];
    c.Width = i < store::kFieldCount ? store_.CatalogHeader.FieldLength[static_cast<size_t>(i)] : 6;
    c.Line = 0;
    c.Column = 0;
    c.LinesPerEntry = 1;
  }
  store_.EditLayoutHeader.ShowTitles = 0;
}

int32_t frmRptMaintenance::AddListed(const std::string& name, const std::string& file) {
  lstReport.AddItem(name);
  const int32_t index = lstReport.NewIndex();
  files_.push_back(file);
  lstReport.SetItemData(index, static_cast<int32_t>(files_.size() - 1));
  return index;
}

std::string frmRptMaintenance::SelectedFile() const {
  const int32_t i = lstReport.ListIndex();
  if (i < 0) return "";
  const auto k = static_cast<size_t>(lstReport.ItemData(i));
  return k < files_.size() ? files_[k] : "";
}

void frmRptMaintenance::ReportFailure(const std::string& what, int error, const std::string& at) {
  GetHost().MsgBox(what + " " + store_.FileErrorText(error, at), MsgButtons::OK, MsgIcon::Exclamation);
  ShowWhatIsOnDisk();
}

void frmRptMaintenance::ShowWhatIsOnDisk() {
  const std::string selected = lstReport.Text();
  filReport.Refresh();
  FillReportList();
  for (int32_t i = 0; i < lstReport.ListCount(); ++i)
    if (lstReport.List(i) == selected) lstReport.SetListIndex(i);
  ApplyViewOnly();
}

bool frmRptMaintenance::ReadSelected(const std::string& name) {
  // A file whose name is no format name is not read: it could not be kept
  // as a catalog's current format. The store finds the file of a name
  // whatever its letter case.
  bool ok = platform::IsValidName(name) && store_.ReadReportFormat(name, store_.EditLayout, store_.EditLayoutHeader);
  if (!ok) {
    GetHost().Beep();
    GetHost().MsgBox("Report is invalid.", MsgButtons::OK, MsgIcon::Exclamation);
  }
  return ok;
}

void frmRptMaintenance::cmdSelect_Click() {
  const std::string name = lstReport.Text();
  if (lstReport.ListIndex() < 0 || !ReadSelected(name)) return;
  store_.ClampReportWidths(store_.EditLayout);
  store_.ActiveLayout = store_.EditLayout;
  store_.ActiveLayoutHeader = store_.EditLayoutHeader;
  store_.CurrentReport = name;
  lblCurrentReport.SetCaption(name);
  store_.CurrentSettings.ReportSelected = 2;
  if (!store_.CatalogName.empty() && !store_.WriteCatalogSettings(store_.CatalogName, store_.CurrentSettings))
    GetHost().MsgBox("The choice of report format could not be stored with the catalog " + store_.CatalogName + ".",
                     MsgButtons::OK, MsgIcon::Exclamation);
}

bool frmRptMaintenance::RunDesigner(const std::string& captionSuffix) {
  frmRptSetup designer(GetHost(), store_);
  designer.LoadForm();
  designer.SetCaption(designer.Caption() + captionSuffix);
  designer.Show(platform::ShowMode::Modal);
  designer.UnloadForm();
  return store_.DialogResult == 0;
}

void frmRptMaintenance::cmdDesign_Click() {
  const std::string name = lstReport.Text();
  if (lstReport.ListIndex() < 0 || !ReadSelected(name)) return;
  store_.ClampReportWidths(store_.EditLayout);
  store_.MousePointerHourglass();
  if (!RunDesigner("   (" + name + ")")) return;
  if (!store_.WriteReportFormat(name, store_.EditLayout, store_.EditLayoutHeader)) {
    ShowWhatIsOnDisk();  // the store has told why the write failed
    return;
  }
  if (name == store_.CurrentReport) {
    store_.ActiveLayout = store_.EditLayout;
    store_.ActiveLayoutHeader = store_.EditLayoutHeader;
  }
}

std::optional<std::string> frmRptMaintenance::AskName(const std::string& caption, const std::string& question) {
  store::frmEnterName prompt(store_);
  prompt.LoadForm();
  prompt.SetCaption(caption);
  prompt.lblUserAction.SetCaption(question);
  prompt.SetTag("0");
  prompt.Show(platform::ShowMode::Modal);
  const bool ok = store_.DialogResult == 0;
  const std::string answer = Upper(prompt.Tag());
  prompt.UnloadForm();
  if (!ok) return std::nullopt;
  // The prompt lets only letters and digits through; what becomes a file
  // name is held to that here too.
  if (!platform::IsValidName(answer)) {
    GetHost().MsgBox("Invalid name");
    return std::nullopt;
  }
  return answer;
}

bool frmRptMaintenance::RefuseExisting(const std::string& name, const std::string& what) {
  std::optional<std::string> file;
  if (int error = FindFormatFile(store_.fileSystem(), store_.AppDir, name, &file)) {
    ReportFailure("The report formats could not be read.", error, store_.AppDir);
    return true;
  }
  if (!file) return false;
  GetHost().Beep();
  GetHost().MsgBox("Report format already exists. " + what + " Aborted.");
  return true;
}

void frmRptMaintenance::cmdNew_Click() {
  std::optional<std::string> name = AskName("New Report", "Enter New Report");
  if (!name || RefuseExisting(*name, "NEW")) return;
  SetDefaultLayout();
  if (!RunDesigner("  (" + *name + ")")) return;
  // The designer ran a while: a file of that name may have come meanwhile.
  if (RefuseExisting(*name, "NEW")) return;
  if (!store_.WriteReportFormat(*name, store_.EditLayout, store_.EditLayoutHeader)) {
    ShowWhatIsOnDisk();  // the store has told why the write failed
    return;
  }
  AddListed(*name, platform::ReportFormatFileName(*name));
}

void frmRptMaintenance::cmdCopy_Click() {
  std::optional<std::string> name = AskName("Copy Report Format", "Enter New Report Name");
  if (!name || RefuseExisting(*name, "Copy")) return;
  const std::string oldName = lstReport.Text();
  const std::string file = SelectedFile();
  if (file.empty()) return;
  store_.MousePointerHourglass();
  std::string at;
  const int error = CopyFormatFile(store_.fileSystem(), store_.AppDir, file, *name, &at);
  store_.MousePointerDefault();
  if (error != 0) {
    ReportFailure("Report format " + oldName + " could not be copied to " + *name + ".", error, at);
    return;
  }
  AddListed(*name, platform::ReportFormatFileName(*name));
}

void frmRptMaintenance::cmdRename_Click() {
  std::optional<std::string> name = AskName("Rename Report", "Enter New Report Name");
  if (!name || RefuseExisting(*name, "Rename")) return;
  const std::string oldName = lstReport.Text();
  const std::string file = SelectedFile();
  if (file.empty()) return;
  std::string at;
  if (const int error = RenameFormatFile(store_.fileSystem(), store_.AppDir, file, *name, &at)) {
    ReportFailure("Report format " + oldName + " could not be renamed to " + *name + ".", error, at);
    return;
  }
  if (oldName == store_.CurrentReport) {
    store_.CurrentReport = *name;
    lblCurrentReport.SetCaption(*name);
  }
  lstReport.RemoveItem(lstReport.ListIndex());
  lstReport.SetListIndex(AddListed(*name, platform::ReportFormatFileName(*name)));
}

void frmRptMaintenance::cmdDelete_Click() {
  const std::string name = lstReport.Text();
  const std::string file = SelectedFile();
  if (file.empty()) return;
  if (GetHost().MsgBox("Really want to delete " + name + "?", MsgButtons::YesNo, MsgIcon::Question) !=
      platform::MsgAnswer::Yes)
    return;
  std::string at;
  if (const int error = DeleteFormatFile(store_.fileSystem(), store_.AppDir, file, &at)) {
    ReportFailure("Report format " + name + " could not be deleted.", error, at);
    return;
  }
  lstReport.RemoveItem(lstReport.ListIndex());
  if (name == store_.CurrentReport) {
    store_.CurrentReport.clear();
    lblCurrentReport.SetCaption("");
  }
  if (lstReport.ListCount() > 0)
    lstReport.SetListIndex(0);
  else
    EnableReportButtons(false);
}

void frmRptMaintenance::cmdOK_Click() { UnloadForm(); }

}  // namespace kelvarin::reports
