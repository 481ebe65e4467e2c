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

// Every name the program makes, spelt in UTF-8 on disk.
TEST(FileNamesTest, EveryFileNameIsMadeInOnePlaceAndSpeltInUtf8) {
  using namespace platform;
  const std::string apples = "\xC4pfel", disk = "\xC3\x84pfel";
  const std::pair<std::string, std::string> made[] = {
      {CatalogFile("/d", apples, kDataExt), "/d/" + disk + ".DAT"},
      {CatalogFile("/d", apples, ""), "/d/" + disk},
      {SharedIndexFile("/d", "AB", 0), "/d/ABXXXX01.WDX"},
      {SharedIndexFile("/d", apples + "baum", 20), "/d/" + disk + "b21.WDX"},
      {OwnIndexFile("/d", apples, 1), "/d/" + disk + "-02.WDX"},
      {ReportFormatFile("/d", apples), "/d/" + disk + ".FMT"},
      {ProgramSettingsFile("/d"), "/d/QAV.INI"},
      {Db3ExportFile("/d", apples), "/d/" + disk + ".DBF"},
      {AsciiFileOffer("/d", apples), "/d/" + disk},
      {ImportTempPrefix("/d", apples), "/d/" + disk + ".kvimp-"},
      {NameFromDisk(disk), apples},
      {NameFromDisk(apples), ""},           // not UTF-8
      {NameFromDisk("\xE6\x97\xA5"), ""},  // no Windows-1252 letter for it
  };
  for (const auto& [name, expected] : made) EXPECT_EQ(name, expected);
  // Files other programs wrote, in any case and code page.
  EXPECT_EQ(NameOfFile("low.fmt", kFormatExt), "LOW");
  EXPECT_EQ(NameOfFile(disk + ".Fmt", kFormatExt), "\xC4PFEL");
  EXPECT_EQ(NameOfFile("m\xFCller.FMT", kFormatExt), "M\xDCLLER");
  EXPECT_EQ(NameOfFile("LOW.FMT", kSettingsExt), std::nullopt);
  EXPECT_EQ(NameOfFile(".FMT", kFormatExt), std::nullopt);
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

  // An index of its own, found under the name's UTF-8 spelling.
  ASSERT_TRUE(test_support::WriteFileBytes(File("\xC3\x84pfel-01.WDX"), ""));
  EXPECT_EQ(store_.KeyIndexFile("\xC4pfel", 0), File("\xC3\x84pfel-01.WDX"));
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

// What a crash left is cleared away when a catalog opens: the temporary
// files of rewrites, rebuilds and imports; an import whose settings were
// already in place is finished. Files that merely look alike stay.
TEST_F(StoredNamesTest, OpeningACatalogClearsAwayWhatACrashLeft) {
  CatalogBuilder cat(dir_.path(), "CAT");
  cat.Field(0, "Name", 10);
  ASSERT_TRUE(cat.Write());
  CatalogBuilder half(dir_.path(), "HALF");
  half.Field(0, "Name", 10);
  half.Entry({"whole"});
  ASSERT_TRUE(half.Write());
  std::filesystem::rename(File("HALF.DAT"), File("HALF.kvimp-Ab12Cd.DAT"));
  std::vector<std::string> kept{"CAT.new-abc123", "QAV.INI.kvtmp", "QAV.INI.kvtmp-abc12!", "X.kvimp-abc123.MEM",
                                "x.kvtmp-abc",    "x.kvtmp-abcdefg", ".kvtmp-abc123"};
  for (const std::string& f : kept) ASSERT_TRUE(test_support::WriteFileBytes(File(f), "x"));
  for (const char* f : {"CAT.SET.kvtmp-a1B2c3", "CATXXX01.WDX.new-ZZ9zz9", "GONE.kvimp-abc123.SET",
                        "GONE.kvimp-abc123.DAT", "GONE.kvimp-abc123.SET.kvtmp-x1y2z3", "NEW.kvimp-xyz789.DAT"})
    ASSERT_TRUE(test_support::WriteFileBytes(File(f), "x"));
  kept.insert(kept.end(), {"CAT.DAT", "CAT.SET", "HALF.DAT", "HALF.SET"});
  std::sort(kept.begin(), kept.end());
  ASSERT_TRUE(store_.OpenCatalog("CAT"));
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(dir_.path())) files.push_back(e.path().filename().string());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, kept);
  ASSERT_TRUE(store_.OpenCatalog("HALF"));
  EXPECT_EQ(store_.CatalogHeader.EntryCount, 1);
}

}  // namespace
}  // namespace kelvarin::store
