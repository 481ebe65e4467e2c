// The whole program without its GUI toolkit: the application's objects (file
// pool, catalog store, report state, windows) and their wiring. The real
// program builds one over the Qt host; a test builds a fresh one over the
// scripted host and an application directory of its own.
//
//   Program program(host, appDir);
//   program.Start();           // the main window loads: start-up
//   ...                        // the user works
//   program.Quit();            // as File, Exit: shutdown
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "catalog/frmCatMaint.h"
#include "dbf/db3_exchange.h"
#include "dbf/dbf_engine.h"
#include "entry/frmQAVMain.h"
#include "platform/files/file_pool.h"
#include "platform/files/file_system.h"
#include "platform/host.h"
#include "reports/output/main_window_output.h"
#include "reports/replace/search_replace.h"
#include "reports/report_state.h"
#include "reports/runs/main_window_runs.h"
#include "store/store.h"

namespace kelvarin::app {

class Program {
 public:
  // appDir: where QAV.INI, the report formats and the catalogs lie. The
  // files are those of fs when given (it must outlive the program), else
  // of the disk.
  Program(platform::Host& host, const std::string& appDir, platform::FileSystem* fs = nullptr);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  platform::Host& host() const { return host_; }
  platform::FilePool& files() { return files_; }
  store::Store& store() { return store_; }
  reports::ReportState& reportState() { return state_; }
  entry::frmQAVMain& mainWindow() { return *main_; }
  catalog::frmCatMaint& catMaint() { return *catMaint_; }
  dbf::DbfEngine& dbfEngine() { return *dbf_; }
  dbf::Db3Exchange& db3() { return *db3_; }
  reports::SearchReplace& searchReplace() { return *replace_; }

  // Shows the main window; its load runs the start-up.
  void Start();
  // Closes the main window as File, Exit does; shutdown runs once.
  void Quit();
  // The main window has been closed (the event loop may end).
  bool Finished() const { return finished_; }
  // Raised when the main window has closed.
  std::function<void()> OnFinished;

  // The main window's texts, one per line: "caption: ...", then for each
  // field shown "field N LABEL: TEXT", then "panel KEY: TEXT" for each
  // status-bar panel. Used by the start-up snapshot of the program's tests.
  std::string MainWindowSnapshot();

 private:
  platform::Host& host_;
  std::unique_ptr<platform::FileSystem> disk_;
  platform::FilePool files_;
  store::Store store_;
  reports::ReportState state_;
  std::unique_ptr<dbf::DbfEngine> dbf_;
  std::unique_ptr<dbf::Db3Exchange> db3_;
  std::unique_ptr<entry::frmQAVMain> main_;
  std::unique_ptr<catalog::frmCatMaint> catMaint_;
  std::unique_ptr<reports::MainWindowRuns> runs_;
  std::unique_ptr<reports::MainWindowOutput> output_;
  std::unique_ptr<reports::SearchReplace> replace_;
  bool finished_ = false;
};

}  // namespace kelvarin::app
