// A program over the scripted host on a catalog of the test's own: the
// fixture describes the catalog in cat_, the test adds its entries, and
// Start writes the catalog, makes it the current one in QAV.INI with a
// report destination, and starts the program on it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/program.h"
#include "platform/profile.h"
#include "platform/scripted/scripted_host.h"
#include "support/catalog_builder.h"
#include "support/scripted_expect.h"

namespace kelvarin::test_support {

class CatalogProgramTest : public ::testing::Test {
 public:
  // A text padded with blanks to a field's length, as the data file holds it.
  static std::string Pad(std::string text, size_t length) {
    text.resize(length, ' ');
    return text;
  }

 protected:
  CatalogProgramTest(const std::string& dirName, const std::string& catalog)
      : dir_(dirName), cat_(dir_.path(), catalog), catalog_(catalog) {}

  void Start(int16_t dest = store::rdMonitor) {
    ASSERT_TRUE(cat_.Write());
    platform::WritePrivateProfileString("Database", "CurrentDB", catalog_, dir_.File("QAV.INI"));
    platform::WritePrivateProfileString("Reports", "ReportDest", std::to_string(dest), dir_.File("QAV.INI"));
    Restart();
  }
  // The program starts (again) over the files as they are; what start-up
  // showed is forgotten.
  void Restart() {
    program_.reset();
    program_ = std::make_unique<app::Program>(host_, dir_.path());
    program_->Start();
    ASSERT_EQ(st().CatalogName, catalog_);
    host_.ClearRecord();
  }

  entry::frmQAVMain& main() { return program_->mainWindow(); }
  store::Store& st() { return program_->store(); }
  reports::ReportState& rs() { return program_->reportState(); }

  platform::ScriptedHost host_;
  ScriptedExpect expect_{host_};
  TempDir dir_;
  CatalogBuilder cat_;
  std::unique_ptr<app::Program> program_;

 private:
  std::string catalog_;
};

}  // namespace kelvarin::test_support
