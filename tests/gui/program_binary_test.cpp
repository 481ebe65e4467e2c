// Starts the real program on the demo application directory and reads the
// snapshot of its main window that the program writes when
// KELVARIN_SNAPSHOT is set.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>

#include "platform/files/file_pool.h"
#include "platform/profile.h"
#include "platform/scripted/scripted_host.h"
#include "platform/text/number_text.h"
#include "store/store.h"
#include "support/catalog_builder.h"
#include "support/demo_catalog.h"

namespace kelvarin::test_support {
namespace {

std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Runs the program with the snapshot hook; the exit status.
int RunProgram(const std::string& appDir, const std::string& snapshot, const std::string& entry) {
  std::string command = "env QT_QPA_PLATFORM=offscreen KELVARIN_APPDIR=" + Quoted(appDir) +
                        " KELVARIN_SNAPSHOT=" + Quoted(snapshot) +
                        (entry.empty() ? "" : " KELVARIN_SNAPSHOT_ENTRY=" + entry) + " timeout 60 " +
                        Quoted(KV_PROGRAM) + " >/dev/null 2>&1";
  return std::system(command.c_str());
}

std::string TrimRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

TEST(ProgramBinary, StartsOnTheDemoCatalogAndShowsItsFirstEntry) {
  TempDir dir("binary");
  ASSERT_TRUE(MakeDemoAppDir(dir.path()));
  std::string name = platform::GetPrivateProfileString("Database", "CurrentDB", "", dir.File("QAV.INI"));
  ASSERT_FALSE(name.empty());

  // What the demo holds, read through the store.
  platform::ScriptedHost host;
  platform::FilePool files;
  store::Store store(host, files);
  store.SetAppDir(dir.path());
  ASSERT_TRUE(store.OpenCatalog(name));
  store::EntryRecord first;
  ASSERT_TRUE(store.ReadEntry(first, store.CatalogHeader, 1, store.DatFile));
  store::DatHeader header = store.CatalogHeader;
  store::FieldDefTable defs = store.FieldDefs;
  std::array<std::string, store::kFieldCount> shownTexts;
  for (int i = 0; i < store::kFieldCount; ++i)
    shownTexts[static_cast<size_t>(i)] = store.Formulas[static_cast<size_t>(i)].Defined != 0
                                             ? store.EvalFormula(first, i)
                                             : TrimRight(first.FieldText[static_cast<size_t>(i)]);
  store.CloseCatalog();
  std::string dataBefore = ReadFileBytes(dir.File(name + ".DAT"));

  // The erased screen of start-up.
  std::string snapshot = dir.File("snapshot.txt");
  ASSERT_EQ(RunProgram(dir.path(), snapshot, ""), 0);
  std::string text = ReadFileBytes(snapshot);
  EXPECT_NE(text.find("window: Kelvarin Your Catalog - " + name + " (visible)\n"), std::string::npos) << text;
  std::string next = platform::PlainNumber(header.EntryCount + 1);
  EXPECT_NE(text.find("panel Entry: Entry # " + next + "\n"), std::string::npos) << text;
  EXPECT_NE(text.find("panel SearchMode: Make Entries\n"), std::string::npos) << text;
  EXPECT_NE(text.find("panel RptDest: "), std::string::npos) << text;

  // The first entry, shown in the real window.
  ASSERT_EQ(RunProgram(dir.path(), snapshot, "1"), 0);
  text = ReadFileBytes(snapshot);
  EXPECT_NE(text.find("panel Entry: Entry # 1\n"), std::string::npos) << text;
  int shown = 0;
  for (int i = 0; i < store::kFieldCount; ++i) {
    if (header.FieldLength[static_cast<size_t>(i)] == 0) continue;
    std::string line = "field " + std::to_string(i) + " " + TrimRight(defs[static_cast<size_t>(i)].FieldName) +
                       ": " + shownTexts[static_cast<size_t>(i)] + "\n";
    EXPECT_NE(text.find(line), std::string::npos) << line << text;
    ++shown;
  }
  EXPECT_GT(shown, 2);

  // Closing wrote the catalog back unchanged.
  EXPECT_EQ(ReadFileBytes(dir.File(name + ".DAT")), dataBefore);
}

}  // namespace
}  // namespace kelvarin::test_support
