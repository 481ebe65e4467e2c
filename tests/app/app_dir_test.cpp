#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_dir.h"
#include "entry/program_fixture.h"

namespace kelvarin::test_support {
namespace {

using app::AppDirInputs;
using app::ChooseAppDir;

TEST(AppDir, TheOverrideComesFirstThenAWritableProgramDirectory) {
  AppDirInputs in;
  in.appDirOverride = "/tmp/mine/";
  in.programDir = "/opt/kelvarin/bin";
  in.programDirWritable = true;
  in.xdgDataHome = "/home/u/.data";
  in.home = "/home/u";
  EXPECT_EQ(ChooseAppDir(in), "/tmp/mine");
  in.appDirOverride.clear();
  EXPECT_EQ(ChooseAppDir(in), "/opt/kelvarin/bin");
}

TEST(AppDir, AnInstalledProgramKeepsItsFilesPerUser) {
  AppDirInputs in;
  in.programDir = "/usr/bin";
  in.programDirWritable = false;
  in.xdgDataHome = "/home/u/.data/";
  in.home = "/home/u";
  EXPECT_EQ(ChooseAppDir(in), "/home/u/.data/kelvarin");
  in.xdgDataHome = "relative/data";  // not absolute: ignored
  EXPECT_EQ(ChooseAppDir(in), "/home/u/.local/share/kelvarin");
  in.xdgDataHome.clear();
  EXPECT_EQ(ChooseAppDir(in), "/home/u/.local/share/kelvarin");
  in.home.clear();
  EXPECT_EQ(ChooseAppDir(in), "");
}

TEST(AppDir, ResolvingCreatesTheOverrideDirectory) {
  TempDir dir("appdir");
  std::string wanted = dir.File("a/b");
  setenv("KELVARIN_APPDIR", wanted.c_str(), 1);
  std::string error;
  EXPECT_EQ(app::ResolveAppDir(&error), wanted);
  unsetenv("KELVARIN_APPDIR");
  EXPECT_TRUE(std::filesystem::is_directory(wanted));
  EXPECT_FALSE(app::ProgramDirectory().empty());
}

class ProgramSnapshotTest : public ProgramTest {};

TEST_F(ProgramSnapshotTest, TellsCaptionFieldsAndPanels) {
  WriteBooks();
  WriteIni("Database", "CurrentDB", "BOOKS");
  Start();
  main().txtFieldData(0).SetText("Dune");
  std::string snap = program_->MainWindowSnapshot();
  EXPECT_EQ(snap,
            "caption: Kelvarin Your Catalog - BOOKS\n"
            "field 0 Title: Dune\n"
            "field 1 Author: \n"
            "field 2 Price: \n"
            "field 3 Year: \n"
            "field 5 Shelf: \n"
            "field 6 Twice: \n"
            "panel Entry: Entry # 4\n"
            "panel SearchMode: Make Entries\n"
            "panel RptDest: MAIN WINDOW\n"
            "panel Deleted: \n");
}

}  // namespace
}  // namespace kelvarin::test_support
