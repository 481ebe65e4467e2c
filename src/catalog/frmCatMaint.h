// Catalog maintenance: the catalogs of the data directory, choosing the
// current one, and making a new catalog from a dBase III file.
//
// Selecting a catalog opens it at once (the main window follows) and names
// it in QAV.INI as the catalog to open at the next start. The dBase III
// import is carried out by the exchange layer, which attaches it with
// AttachImport; until then its button stays hidden.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "catalog/frmOpen.h"
#include "entry/frmQAVMain.h"
#include "platform/model/model.h"
#include "store/store.h"

namespace kelvarin::catalog {

class frmCatMaint : public platform::Form {
 public:
  using ImportFn = std::function<void(const std::string& dbfPath, const std::string& catalogName)>;

  frmCatMaint(platform::Host& host, store::Store& store, entry::frmQAVMain& mainWindow);
  ~frmCatMaint() override;

  platform::Label lblCatalogs{*this, "lblCatalogs"};
  platform::ListBox lstDB{*this, "lstDB"};
  platform::Label lblCurrent{*this, "lblCurrent"};
  platform::CommandButton cmdSelect{*this, "cmdSelect"};
  platform::CommandButton cmdImportDBase{*this, "cmdImportDBase"};
  platform::CommandButton cmdClose{*this, "cmdClose"};

  // The import itself (from the dBase III exchange); shows the button.
  void AttachImport(ImportFn import);
  // The file pick the import uses (created on first use).
  frmOpen& OpenForm();

  void Form_Load();
  // Lists the catalogs of DataDir and selects the open one.
  void FillCatalogList();
  // Opens the catalog selected in lstDB and makes it the current one.
  void cmdSelect_Click();
  void cmdImportDBase_Click();
  void cmdClose_Click();

 private:
  void ShowCurrent();
  // The name for a new catalog from the shared name prompt; false when
  // cancelled.
  bool AskNewCatalogName(std::string* name);

  store::Store& store_;
  entry::frmQAVMain& main_;
  ImportFn import_;
  std::unique_ptr<frmOpen> open_;
};

}  // namespace kelvarin::catalog
