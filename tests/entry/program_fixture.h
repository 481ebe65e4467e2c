// A program over the scripted host with an application directory of its
// own, holding the catalog BOOKS: key fields in slots 0, 1, 3 and 5 (the
// last one also summed), a summed field in slot 2, slot 4 unused, slot 6
// computed (Price plus Price); three entries, the second one deleted.
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

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() : dir_("program") {}

  void WriteBooks() {
    CatalogBuilder cat(dir_.path(), "BOOKS");
    cat.Field(0, "Title", 30, store::KindKey)
        .Field(1, "Author", 20, store::KindKey)
        .Field(2, "Price", 8, store::KindSummed)
        .Field(3, "Year", 4, store::KindKey)
        .Field(5, "Shelf", 6, store::KindKeySummed)
        .Field(6, "Twice", 10)
        .Formula(6, 2, store::OpPlus, 2);
    cat.Entry({"Dune", "Herbert", "9.50", "1965", "", "A1"});
    cat.DeletedEntry({"Emma", "Austen", "4.00", "1815", "", "B2"});
    cat.Entry({"Ulysses", "Joyce", "12.00", "1922", "", "C3"});
    ASSERT_TRUE(cat.Write());
  }
  void WriteIni(const std::string& section, const std::string& key, const std::string& value) {
    platform::WritePrivateProfileString(section, key, value, dir_.File("QAV.INI"));
  }
  // Builds and starts the program.
  void Start() {
    program_ = std::make_unique<app::Program>(host_, dir_.path());
    program_->Start();
  }
  entry::frmQAVMain& main() { return program_->mainWindow(); }
  store::Store& st() { return program_->store(); }

  platform::ScriptedHost host_;
  ScriptedExpect expect_{host_};
  TempDir dir_;
  std::unique_ptr<app::Program> program_;
};

}  // namespace kelvarin::test_support
