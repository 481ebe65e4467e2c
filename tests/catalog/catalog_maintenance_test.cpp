#include <gtest/gtest.h>

#include <filesystem>

#include "catalog/frmCatMaint.h"
#include "store/frm_enter_name.h"
#include "entry/program_fixture.h"

namespace kelvarin::test_support {
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

TEST_F(CatalogMaintenanceTest, SelectingACatalogOpensItAndNamesItInTheSettingsFile) {
  WriteBooks();
  WriteMusic();
  WriteIni("Database", "CurrentDB", "BOOKS");
  Start();
  std::vector<std::string> listed;
  UseCatalogMaintenance([&](frmCatMaint& m) {
    for (int32_t i = 0; i < m.lstDB.ListCount(); ++i) listed.push_back(m.lstDB.List(i));
    EXPECT_EQ(m.lstDB.Text(), "BOOKS");  // the open one is marked
    EXPECT_TRUE(m.cmdImportDBase.Visible());  // the program attaches the dBase III import
    EXPECT_TRUE(m.lblCatalogs.Caption() == "&Catalogs:" && m.cmdSelect.Default());  // Enter selects
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

TEST_F(CatalogMaintenanceTest, SelectIsOfferedOnlyWhenACatalogIsListed) {
  Start();  // an empty application directory
  UseCatalogMaintenance([&](frmCatMaint& m) {
    EXPECT_EQ(m.lstDB.ListCount(), 0);
    EXPECT_FALSE(m.cmdSelect.Enabled());
    EXPECT_TRUE(m.cmdImportDBase.Enabled());
  });
  WriteMusic();
  UseCatalogMaintenance([&](frmCatMaint& m) { EXPECT_TRUE(m.cmdSelect.Enabled()); });
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

class ImportTest : public CatalogMaintenanceTest {
 protected:
  void SetUp() override {
    WriteBooks();
    WriteIni("Database", "CurrentDB", "BOOKS");
    WriteFileBytes(dir_.File("people.dbf"), "not read here");
    WriteFileBytes(dir_.File("notes.txt"), "x");
    Start();
    program_->catMaint().AttachImport([this](const std::string& path, const std::string& name) {
      imports_.push_back(path + " -> " + name);
      CatalogBuilder made(dir_.path(), name);
      made.Field(0, "Name", 20);
      made.Write();
    });
  }
  // The user picks the file at the given place of the file list.
  void PickFile(const std::string& expectedName) {
    host_.OnShow("frmOpen", [expectedName](platform::Form& f) {
      auto& o = static_cast<catalog::frmOpen&>(f);
      ASSERT_EQ(o.filFiles.ListCount(), 1);  // only the dBase files
      EXPECT_EQ(o.filFiles.List(0), expectedName);
      o.filFiles.UserSelect(0);
      o.cmdOK.UserClick();
    });
  }
  void NameIt(const std::string& typed) {
    host_.OnShow("frmEnterName", [typed](platform::Form& f) {
      auto& n = static_cast<store::frmEnterName&>(f);
      EXPECT_EQ(n.Caption(), "New Catalog");
      EXPECT_EQ(n.lblUserAction.Caption(), "Enter New Catalog Name");
      n.txtName.UserType(typed);
      n.cmdOK.UserClick();
    });
  }
  std::vector<std::string> imports_;
};

TEST_F(ImportTest, TheButtonShowsOnlyOnceTheImportIsAttached) {
  frmCatMaint bare(host_, st(), main());
  EXPECT_FALSE(bare.cmdImportDBase.Visible());
  EXPECT_TRUE(program_->catMaint().cmdImportDBase.Visible());
}

TEST_F(ImportTest, AnExistingCatalogNameIsRefused) {
  UseCatalogMaintenance([&](frmCatMaint& m) {
    PickFile("people.dbf");
    NameIt("books");  // the same catalog whatever the case
    host_.AnswerMsgBox(platform::MsgAnswer::OK, "Catalog already exists. Import Aborted.");
    m.cmdImportDBase.UserClick();
  });
  EXPECT_TRUE(imports_.empty());
  EXPECT_EQ(st().CatalogName, "BOOKS");
}

TEST_F(ImportTest, ANewNameImportsThePickedFileAndListsTheNewCatalog) {
  std::vector<std::string> listed;
  UseCatalogMaintenance([&](frmCatMaint& m) {
    PickFile("people.dbf");
    NameIt("Pe-op le");  // only letters and digits can be typed
    m.cmdImportDBase.UserClick();
    for (int32_t i = 0; i < m.lstDB.ListCount(); ++i) listed.push_back(m.lstDB.List(i));
  });
  EXPECT_EQ(imports_, (std::vector<std::string>{dir_.File("people.dbf") + " -> People"}));
  EXPECT_EQ(listed, (std::vector<std::string>{"BOOKS", "People"}));
  EXPECT_EQ(st().CatalogName, "BOOKS");  // the import does not change the current catalog
}

TEST_F(ImportTest, CancellingEitherPromptImportsNothing) {
  UseCatalogMaintenance([&](frmCatMaint& m) {
    host_.OnShow("frmOpen", [](platform::Form& f) { static_cast<catalog::frmOpen&>(f).cmdCancel.UserClick(); });
    m.cmdImportDBase.UserClick();
    PickFile("people.dbf");
    host_.OnShow("frmEnterName",
                 [](platform::Form& f) { static_cast<store::frmEnterName&>(f).cmdCancel.UserClick(); });
    m.cmdImportDBase.UserClick();
    // The name prompt's close box, right after the file pick's OK.
    PickFile("people.dbf");
    host_.OnShow("frmEnterName", [](platform::Form& f) { f.UserClose(); });
    m.cmdImportDBase.UserClick();
  });
  EXPECT_TRUE(imports_.empty());
}

TEST_F(ImportTest, TheFilePickWalksDirectoriesAndWantsAFile) {
  std::filesystem::create_directories(dir_.File("sub"));
  WriteFileBytes(dir_.File("sub/CLIENTS.DBF"), "x");
  UseCatalogMaintenance([&](frmCatMaint& m) {
    host_.OnShow("frmOpen", [&](platform::Form& f) {
      auto& o = static_cast<catalog::frmOpen&>(f);
      EXPECT_EQ(o.lblDirectory.Caption(), dir_.path());
      host_.AnswerMsgBox(platform::MsgAnswer::OK, "Please select a file.");
      o.cmdOK.UserClick();
      for (int32_t i = 0; i < o.lstDirs.ListCount(); ++i)
        if (o.lstDirs.List(i) == "sub") o.lstDirs.UserDoubleClick(i);
      ASSERT_EQ(o.filFiles.ListCount(), 1);
      EXPECT_EQ(o.filFiles.List(0), "CLIENTS.DBF");
      o.filFiles.UserDoubleClick(0);
    });
    NameIt("clients");
    m.cmdImportDBase.UserClick();
  });
  EXPECT_EQ(imports_, (std::vector<std::string>{dir_.File("sub/CLIENTS.DBF") + " -> clients"}));
}

}  // namespace
}  // namespace kelvarin::test_support
