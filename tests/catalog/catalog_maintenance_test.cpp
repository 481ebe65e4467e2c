#include <gtest/gtest.h>

#include "catalog/frmCatMaint.h"
#include "entry/program_fixture.h"

namespace kelvarin::testing {
namespace {

using catalog::frmCatMaint;

class CatalogMaintenanceTest : public ProgramTest {
 protected:
  void WriteMusic() {
    CatalogBuilder cat(dir_.path(), "MUSIC");
    cat.Field(0, "Artist", 25, store::KindKey).Field(1, "Album", 25);
    cat.Entry({"Miles Davis", "Kind of Blue"});
    ASSERT_TRUE(cat.Write());
  }
  // Opens catalog maintenance from the Utilities menu; script runs inside.
  void UseCatalogMaintenance(std::function<void(frmCatMaint&)> script) {
    host_.OnShow("frmCatMaint", [script](platform::Form& f) {
      auto& m = static_cast<frmCatMaint&>(f);
      script(m);
      m.cmdClose.UserClick();
    });
    main().mnuUCatMaint.UserClick();
  }
  static void Pick(frmCatMaint& m, const std::string& name) {
    for (int32_t i = 0; i < m.lstDB.ListCount(); ++i)
      if (m.lstDB.List(i) == name) m.lstDB.UserSelect(i);
  }
};

TEST_F(CatalogMaintenanceTest, ListsTheCatalogsWithBothFiles) {
  WriteBooks();
  WriteMusic();
  WriteFileBytes(dir_.File("ORPHAN.SET"), "x");  // no data file
  WriteFileBytes(dir_.File("notes.txt"), "x");
  CatalogBuilder lower(dir_.path(), "archive");
  lower.Field(0, "Item", 10);
  ASSERT_TRUE(lower.Write());
  EXPECT_EQ(catalog::ListCatalogs(dir_.path()), (std::vector<std::string>{"archive", "BOOKS", "MUSIC"}));
  EXPECT_TRUE(catalog::ListCatalogs(dir_.File("missing")).empty());
}

TEST_F(CatalogMaintenanceTest, SelectingACatalogOpensItAndNamesItInTheSettingsFile) {
  WriteBooks();
  WriteMusic();
  WriteIni("Database", "CurrentDB", "BOOKS");
  Start();
  std::vector<std::string> listed;
  UseCatalogMaintenance([&](frmCatMaint& m) {
    for (int32_t i = 0; i < m.lstDB.ListCount(); ++i) listed.push_back(m.lstDB.List(i));
    EXPECT_EQ(m.lstDB.Text(), "BOOKS");  // the open one is marked
    EXPECT_FALSE(m.cmdImportDBase.Visible());
    Pick(m, "MUSIC");
    m.cmdSelect.UserClick();
    EXPECT_EQ(m.lblCurrent.Caption(), "Current catalog: MUSIC");
  });
  EXPECT_EQ(listed, (std::vector<std::string>{"BOOKS", "MUSIC"}));
  EXPECT_EQ(st().CatalogName, "MUSIC");
  EXPECT_EQ(platform::GetPrivateProfileString("Database", "CurrentDB", "", dir_.File("QAV.INI")), "MUSIC");
  EXPECT_EQ(main().Caption(), "Kelvarin Your Catalog - MUSIC");
  EXPECT_EQ(main().lblFieldName(0).Caption(), "Artist");
  EXPECT_FALSE(main().txtFieldData(3).Visible());
  EXPECT_EQ(main().PanelText("Entry"), "Entry # 2");
  EXPECT_EQ(program_->reportState().SpeedSearchFields[1], -1);
}

TEST_F(CatalogMaintenanceTest, SelectingWithoutACatalogOpenEnablesTheWindow) {
  WriteMusic();
  Start();
  ASSERT_FALSE(main().cmdNext.Enabled());
  UseCatalogMaintenance([&](frmCatMaint& m) {
    EXPECT_EQ(m.lblCurrent.Caption(), "No catalog is open.");
    host_.AnswerMsgBox(platform::MsgAnswer::OK, "Please select a catalog.");
    m.cmdSelect.UserClick();
    m.lstDB.UserDoubleClick(0);
  });
  EXPECT_EQ(st().CatalogName, "MUSIC");
  EXPECT_TRUE(main().cmdNext.Enabled());
  EXPECT_TRUE(main().mnuEEraseScreen.Enabled());
}

TEST_F(CatalogMaintenanceTest, ACatalogThatFailsToOpenLeavesThePreviousOneOpen) {
  WriteBooks();
  WriteMusic();
  WriteFileBytes(dir_.File("MUSIC.SET"), "damaged");
  WriteIni("Database", "CurrentDB", "BOOKS");
  Start();
  host_.AnswerMsgBox(platform::MsgAnswer::OK);
  UseCatalogMaintenance([&](frmCatMaint& m) {
    Pick(m, "MUSIC");
    m.cmdSelect.UserClick();
  });
  EXPECT_EQ(host_.MessageTexts().size(), 1u);
  EXPECT_EQ(st().CatalogName, "BOOKS");
  EXPECT_EQ(platform::GetPrivateProfileString("Database", "CurrentDB", "", dir_.File("QAV.INI")), "BOOKS");
  EXPECT_TRUE(main().cmdNext.Enabled());
}

}  // namespace
}  // namespace kelvarin::testing
