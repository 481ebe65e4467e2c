// The program over the scripted host with an application directory of its
// own, for the dBase III export and import: DBF files written and read byte
// by byte here, independently of the engine, and imported catalogs read back
// through the store.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/profile.h"
#include "platform/scripted/scripted_host.h"
#include "support/catalog_builder.h"
#include "support/dbf_files.h"
#include "support/scripted_expect.h"

namespace kelvarin::test_support {

// An imported catalog as the store reads it back.
struct CatalogContents {
  store::FieldDefTable defs;
  store::DatHeader header;
  std::vector<store::EntryRecord> entries;
};

// The scripted host with a look at the program's state as each message box
// comes up.
class ProbingHost : public platform::ScriptedHost {
 public:
  std::function<void(const std::string& text)> beforeMsgBox;
  platform::MsgAnswer MsgBox(const std::string& text, platform::MsgButtons buttons, platform::MsgIcon icon,
                             const std::string& title) override {
    if (beforeMsgBox) beforeMsgBox(text);
    return ScriptedHost::MsgBox(text, buttons, icon, title);
  }
};

class Db3Test : public ::testing::Test {
 protected:
  Db3Test() : dir_("db3") {}

  // Writes the catalog, names it in QAV.INI and starts the program on it;
  // without a catalog the program starts with none open.
  void Start(const CatalogBuilder* cat = nullptr, int16_t dest = store::rdMonitor);
  store::Store& st() { return program_->store(); }
  dbf::Db3Exchange& db3() { return program_->db3(); }
  entry::frmQAVMain& main() { return program_->mainWindow(); }

  // Reads DataDir/NAME's files; false when the catalog is not there.
  bool ReadCatalog(const std::string& name, CatalogContents* out);
  // The transcript without pointer changes.
  std::vector<std::string> Seen() const;
  static std::string Box(const std::string& text) { return "MsgBox(OK,None,\"Kelvarin Your Catalog\"): " + text; }
  static std::string Warning(const std::string& text) {
    return "MsgBox(OK,Exclamation,\"Kelvarin Your Catalog\"): " + text;
  }
  // The user answers the export's name prompt.
  void NameExport(const std::string& typed, bool clearFirst = true);

  ProbingHost host_;
  ScriptedExpect expect_{host_};
  TempDir dir_;
  std::unique_ptr<app::Program> program_;
};

}  // namespace kelvarin::test_support
