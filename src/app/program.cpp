#include "app/program.h"

#include "reports/formats/frmRptMaintenance.h"

namespace kelvarin::app {

Program::Program(platform::Host& host, const std::string& appDir, platform::FileSystem* fs)
    : host_(host),
      disk_(fs ? nullptr : std::make_unique<platform::DiskFileSystem>()),
      files_(fs ? *fs : *disk_),
      store_(host, files_) {
  store_.SetAppDir(appDir);
  dbf_ = std::make_unique<dbf::DbfEngine>(host_, files_);
  db3_ = std::make_unique<dbf::Db3Exchange>(host_, store_, *dbf_, state_.FieldTotals);
  main_ = std::make_unique<entry::frmQAVMain>(host_, store_, state_);
  catMaint_ = std::make_unique<catalog::frmCatMaint>(host_, store_, *main_);
  catMaint_->AttachImport(
      [this](const std::string& dbfPath, const std::string& name) { db3_->ImportDb3Catalog(dbfPath, name); });
  runs_ = std::make_unique<reports::MainWindowRuns>(host_, store_, state_, *main_);
  runs_->AttachDb3(*db3_);
  runs_->Attach();
  output_ = std::make_unique<reports::MainWindowOutput>(host_, store_, state_, *main_);
  output_->Attach();
  replace_ = std::make_unique<reports::SearchReplace>(host_, store_, state_, *main_);
  replace_->Attach();

  main_->ShowCatalogMaintenance = [this] {
    catMaint_->Show(platform::ShowMode::Modal);
    catMaint_->UnloadForm();
  };
  main_->AttachMenu(main_->mnuRSelectLayout, [this] {
    reports::frmRptMaintenance maintenance(host_, store_);
    maintenance.Show(platform::ShowMode::Modal);
    maintenance.UnloadForm();
  });
  main_->Closed = [this] {
    finished_ = true;
    platform::RaiseEvent(OnFinished);
  };
}

Program::~Program() {
  // A program torn down without closing its window still leaves its
  // catalog consistent on disk.
  OnFinished = nullptr;
  if (main_->Loaded()) main_->Shutdown();
}

void Program::Start() {
  finished_ = false;
  main_->Show(platform::ShowMode::Modeless);
}

void Program::Quit() {
  if (main_->Loaded()) main_->UnloadForm(platform::kUnloadByCode);
}

std::string Program::MainWindowSnapshot() {
  entry::frmQAVMain& f = *main_;
  std::string out = "caption: " + f.Caption() + "\n";
  for (int16_t i = 0; i < store::kFieldCount; ++i) {
    if (!f.txtFieldData.IsLoaded(i) || !f.txtFieldData(i).Visible()) continue;
    out += "field " + std::to_string(i) + " " + f.lblFieldName(i).Caption() + ": " + f.txtFieldData(i).Text() + "\n";
  }
  for (int32_t p = 1; p <= f.StatusBar1.PanelCount(); ++p) {
    const platform::Panel* panel = f.StatusBar1.PanelAt(p);
    out += "panel " + panel->Key() + ": " + panel->Text() + "\n";
  }
  return out;
}

}  // namespace kelvarin::app
