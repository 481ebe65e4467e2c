// Names that become file names stay inside their directory; names on the
// disk are UTF-8, in the program Windows-1252.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/program.h"
#include "platform/profile.h"
#include "platform/files/file_names.h"
#include "store_fixture.h"

namespace kelvarin::store {
namespace {

using test_support::CatalogBuilder;
using test_support::TempDir;

TEST(FileNamesTest, OnlyOneToEightLettersAndDigits) {
  for (const char* good : {"A", "BOOKS", "books2", "12345678", "A0B9", "\xC4pfel", "Stra\xDF" "e"})
    EXPECT_TRUE(platform::IsValidName(good)) << good;
  for (const char* bad : {"", "123456789", "..", "../x", "a/b", "a\\b", "a.b", "a b", "/tmp/X", "x\t", "C:X",
                          "a*", "\x84x"})
    EXPECT_FALSE(platform::IsValidName(bad)) << bad;
}

TEST(FileNamesTest, DiskNamesAreUtf8) {
  EXPECT_EQ(platform::NameOnDisk("\xC4pfel"), "\xC3\x84pfel");
  EXPECT_EQ(platform::NameFromDisk("\xC3\x84pfel"), "\xC4pfel");
  EXPECT_EQ(platform::NameFromDisk("\xC4pfel"), "");          // not UTF-8
  EXPECT_EQ(platform::NameFromDisk("\xE6\x97\xA5"), "");      // no Windows-1252 letter for it
}

// A catalog lies beside the application directory at ../x/PEOPLE and in a
// folder of its own at an absolute path; QAV.INI names each in turn. The
// program refuses the name, opens no catalog and touches nothing outside.
TEST(CurrentCatalogTest, AQavIniNameOutsideTheDirectoryOpensNothing) {
  TempDir outer("outside");
  const std::string app = outer.File("app");
  std::filesystem::create_directories(app);
  std::filesystem::create_directories(outer.File("x"));
  CatalogBuilder beside(outer.File("x"), "PEOPLE");
  beside.Field(0, "Name", 10, KindKey);
  beside.Entry({"Ann"});
  ASSERT_TRUE(beside.Write());
  TempDir elsewhere("elsewhere");
  CatalogBuilder far(elsewhere.path(), "PEOPLE");
  far.Field(0, "Name", 10, KindKey);
  ASSERT_TRUE(far.Write());

  for (const std::string& name : {std::string("../x/PEOPLE"), elsewhere.File("PEOPLE")}) {
    ASSERT_TRUE(platform::WritePrivateProfileString("Database", "CurrentDB", name, app + "/QAV.INI"));
    auto listing = [&] {
      std::vector<std::string> all;
      for (const std::string& d : {outer.path(), outer.File("x"), elsewhere.path()})
        for (const auto& e : std::filesystem::directory_iterator(d)) all.push_back(e.path().string());
      std::sort(all.begin(), all.end());
      return all;
    }();
    platform::ScriptedHost host;
    host.AnswerMsgBox(platform::MsgAnswer::OK,
                      "Invalid catalog name: " + name + "\rA name has 1 to 8 letters and digits.");
    {
      app::Program program(host, app);
      program.Start();
      EXPECT_EQ(program.store().CatalogName, "");
      program.Quit();
    }
    test_support::ExpectScriptDone(host);
    std::vector<std::string> after;
    for (const std::string& d : {outer.path(), outer.File("x"), elsewhere.path()})
      for (const auto& e : std::filesystem::directory_iterator(d)) after.push_back(e.path().string());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, listing);
  }
}

class StoredNamesTest : public StoreTest {};

TEST_F(StoredNamesTest, AReportNameOutsideTheDirectoryIsDropped) {
  CatalogBuilder cat(dir_.path(), "CAT");
  cat.Field(0, "Name", 10);
  cat.Settings([](CatalogSettings& s) { s.ReportName = "../../R"; });
  ASSERT_TRUE(cat.Write());
  host_.AnswerMsgBox(platform::MsgAnswer::OK,
                     "Invalid report format name: ../../R\rA name has 1 to 8 letters and digits.");
  ASSERT_TRUE(store_.OpenCatalog("CAT"));
  EXPECT_EQ(store_.CurrentReport, "");

  ReportLayout layout{};
  ReportHeader header;
  host_.AnswerMsgBox(platform::MsgAnswer::OK,
                     "Invalid report format name: a/b\rA name has 1 to 8 letters and digits.");
  EXPECT_FALSE(store_.WriteReportFormat("a/b", layout, header));
  host_.AnswerMsgBox(platform::MsgAnswer::OK,
                     "Invalid catalog name: ..\rA name has 1 to 8 letters and digits.");
  EXPECT_FALSE(store_.WriteCatalogSettings("..", store_.CurrentSettings));
}

// A catalog whose files another program named in UTF-8 is listed, opened
// and shown by its Windows-1252 name; names the program cannot hold are
// left out of the list.
TEST_F(StoredNamesTest, CatalogNamesFromTheDiskAreDecodedFromUtf8) {
  CatalogBuilder apples(dir_.path(), "\xC3\x84pfel");
  apples.Field(0, "Sorte", 10, KindKey);
  apples.Entry({"Boskoop"});
  ASSERT_TRUE(apples.Write());
  for (const char* stem : {"BOOKS", "two words", "TOOLONGNAME", "bad\xC4", "Z"}) {
    CatalogBuilder other(dir_.path(), stem);
    other.Field(0, "X", 4);
    ASSERT_TRUE(other.Write());
  }
  // Extensions in any case; a data file without settings (or the reverse)
  // is no catalog.
  for (const char* f : {"lower.set", "lower.dat", "MEMO.MEM", "MEMO.DAT", "LONE.SET", "ALONE.DAT"})
    ASSERT_TRUE(test_support::WriteFileBytes(File(f), "x"));
  EXPECT_EQ(store_.ListCatalogs(), (std::vector<std::string>{"BOOKS", "lower", "Z", "\xC4pfel"}));
  platform::DiskFileSystem disk;
  EXPECT_TRUE(platform::ListCatalogNames(disk, File("missing")).empty());

  ASSERT_TRUE(store_.OpenCatalog("\xC4pfel"));
  EntryRecord e;
  ASSERT_TRUE(store_.ReadEntry(e, store_.CatalogHeader, 1, store_.DatFile));
  EXPECT_EQ(e.FieldText[0], "Boskoop   ");
  EXPECT_EQ(store_.IndexPath(store_.CatalogName, 0), dir_.File("\xC3\x84pfelX01.WDX"));
  store_.CloseCatalog();

  // The main window's title holds the Windows-1252 name, which the GUI
  // shows as "Äpfel".
  platform::ScriptedHost host;
  ASSERT_TRUE(platform::WritePrivateProfileString("Database", "CurrentDB", "\xC4pfel", File("QAV.INI")));
  app::Program program(host, dir_.path());
  program.Start();
  EXPECT_NE(program.mainWindow().Caption().find(" - \xC4pfel"), std::string::npos)
      << program.mainWindow().Caption();
  program.Quit();
}

}  // namespace
}  // namespace kelvarin::store
