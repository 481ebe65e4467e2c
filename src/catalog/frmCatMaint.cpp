#include "catalog/frmCatMaint.h"

#include "platform/files/file_names.h"
#include "platform/files/file_system.h"
#include "platform/text/codepage.h"
#include "store/form_helpers.h"
#include "store/frm_enter_name.h"

namespace kelvarin::catalog {

namespace {

// A catalog's files lie in one directory whose names other programs may
// have written in any case: two catalogs must not differ only by case. A
// directory that cannot be read counts as holding the name.
bool CatalogFilesExist(platform::FileSystem& fs, const std::string& dir, const std::string& name) {
  std::vector<std::string> files;
  if (fs.List(dir, &files) != 0) return true;
  const std::string wanted = platform::AnsiUpperString(name);
  for (const std::string& file : files)
    for (const char* ext : {platform::kSettingsExt, platform::kDataExt})
      if (platform::NameOfFile(file, ext) == wanted) return true;
  return false;
}

}  // namespace

frmCatMaint::frmCatMaint(platform::Host& host, store::Store& store, entry::frmQAVMain& mainWindow)
    : Form(host, "frmCatMaint"), store_(store), main_(mainWindow) {
  SetCaption("Catalog Maintenance");
  SetBorderStyle(platform::FormBorder::FixedDialog);
  SetScaleWidth(5400);
  SetScaleHeight(4320);
  lblCatalogs.SetCaption("&Catalogs:");
  lblCatalogs.Move(120, 120, 3000, 285);
  lstDB.Move(120, 420, 3000, 3360);
  lblCurrent.Move(120, 3900, 5160, 285);
  cmdSelect.SetCaption("&Select");
  cmdSelect.SetDefault(true);
  cmdSelect.Move(3360, 420, 1920, 390);
  cmdImportDBase.SetCaption("&Import dBase III");
  cmdImportDBase.Move(3360, 900, 1920, 390);
  cmdImportDBase.SetVisible(false);
  cmdClose.SetCaption("C&lose");
  cmdClose.SetCancel(true);
  cmdClose.Move(3360, 3390, 1920, 390);
  lstDB.SetTabIndex(0);
  cmdSelect.SetTabIndex(1);
  cmdImportDBase.SetTabIndex(2);
  cmdClose.SetTabIndex(3);

  Load = [this] { Form_Load(); };
  lstDB.DblClick = [this] { cmdSelect_Click(); };
  cmdSelect.Click = [this] { cmdSelect_Click(); };
  cmdImportDBase.Click = [this] { cmdImportDBase_Click(); };
  cmdClose.Click = [this] { cmdClose_Click(); };
}

frmCatMaint::~frmCatMaint() = default;

void frmCatMaint::AttachImport(ImportFn import) {
  import_ = std::move(import);
  cmdImportDBase.SetVisible(import_ != nullptr);
}

frmOpen& frmCatMaint::OpenForm() {
  if (!open_) {
    open_ = std::make_unique<frmOpen>(GetHost(), store_);
  }
  return *open_;
}

void frmCatMaint::Form_Load() {
  store::CenterForm(*this);
  FillCatalogList();
}

void frmCatMaint::FillCatalogList() {
  lstDB.Clear();
  for (const std::string& name : store_.ListCatalogs()) {
    lstDB.AddItem(name);
    if (name == store_.CatalogName) lstDB.SetListIndex(lstDB.NewIndex());
  }
  // With no catalog listed there is nothing to select; Import makes one.
  cmdSelect.SetEnabled(lstDB.ListCount() > 0);
  ShowCurrent();
}

void frmCatMaint::ShowCurrent() {
  lblCurrent.SetCaption(store_.CatalogName.empty() ? "No catalog is open."
                                                   : "Current catalog: " + store_.CatalogName);
}

void frmCatMaint::cmdSelect_Click() {
  std::string name = lstDB.Text();
  if (name.empty()) {
    GetHost().MsgBox("Please select a catalog.", platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
    return;
  }
  std::string previous = store_.CatalogName;
  // The browsing index belongs to the catalog being closed.
  main_.CloseBrowseIndex();
  if (store_.OpenCatalog(name)) {
    store_.WriteCurrentDB(name);
  } else if (!previous.empty()) {
    // The store has told why; keep working with the catalog that was open.
    store_.OpenCatalog(previous);
  }
  main_.CatalogOpened();
  ShowCurrent();
}

void frmCatMaint::cmdImportDBase_Click() {
  frmOpen& pick = OpenForm();
  pick.Pattern = "*.dbf";
  pick.Show(platform::ShowMode::Modal);
  bool picked = store_.DialogResult == 0 && !pick.OpenFilePath.empty();
  std::string path = pick.OpenFilePath;
  pick.UnloadForm();
  if (!picked) return;

  std::string name;
  if (!AskNewCatalogName(&name)) return;
  if (CatalogFilesExist(store_.fileSystem(), store_.DataDir, name)) {
    GetHost().MsgBox("Catalog already exists. Import Aborted.");
    return;
  }
  if (import_) import_(path, name);
  FillCatalogList();
}

bool frmCatMaint::AskNewCatalogName(std::string* name) {
  store::frmEnterName prompt(store_);
  prompt.SetCaption("New Catalog");
  prompt.lblUserAction.SetCaption("Enter New Catalog Name");
  prompt.SetTag("0");  // letters and digits only: the name becomes file names
  prompt.Show(platform::ShowMode::Modal);
  bool ok = store_.DialogResult == 0;
  *name = prompt.Tag();
  prompt.UnloadForm();
  return ok && !name->empty();
}

void frmCatMaint::cmdClose_Click() { UnloadForm(); }

}  // namespace kelvarin::catalog
