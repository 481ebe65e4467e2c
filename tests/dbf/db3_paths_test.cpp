// dBase III files in folders and under names the code page cannot spell:
// the import's file pick and the export of a run, with the messages that
// name them.
#include <filesystem>

#include "catalog/frmCatMaint.h"
#include "dbf/db3_fixture.h"
#include "platform/text/path_text.h"
#include "reports/dialogs/frmListRange.h"
#include "store/frm_enter_name.h"

namespace kelvarin::test_support {
namespace {

using platform::TextToUtf8;

class Db3PathTest : public Db3Test {
 protected:
  void SetUp() override {
    folder_ = dir_.File("Ελλάδα");
    std::filesystem::create_directory(folder_);
    ASSERT_TRUE(WriteFileBytes(folder_ + "/данные.dbf",
                               MakeDbfBytes({{"NAME", 'C', 12}}, {{{"Alice"}}, {{"Bob"}}})));
    CatalogBuilder books(dir_.path(), "BOOKS");
    books.Field(0, "Title", 20);
    books.Entry({"Dune"});
    Start(&books);
  }
  // Catalog maintenance's import: the pick walks into the folder shown as
  // folderShown and takes its only file, which it shows as fileShown.
  void ImportThroughThePick(const std::string& folderShown, const std::string& fileShown, const std::string& name) {
    host_.OnShow("frmCatMaint", [=, this](platform::Form& f) {
      auto& m = static_cast<catalog::frmCatMaint&>(f);
      host_.OnShow("frmOpen", [=, this](platform::Form& p) {
        auto& o = static_cast<catalog::frmOpen&>(p);
        EXPECT_EQ(TextToUtf8(o.lblDirectory.Caption()), dir_.path());
        int32_t at = -1;
        for (int32_t i = 0; i < o.lstDirs.ListCount(); ++i)
          if (TextToUtf8(o.lstDirs.List(i)) == folderShown) at = i;
        ASSERT_GE(at, 0) << "the folder is listed as it is named";
        o.lstDirs.UserDoubleClick(at);
        EXPECT_EQ(TextToUtf8(o.lblDirectory.Caption()), dir_.path() + "/" + folderShown);
        ASSERT_EQ(o.filFiles.ListCount(), 1);
        EXPECT_EQ(o.filFiles.List(0), fileShown);
        o.filFiles.UserSelect(0);
        o.cmdOK.UserClick();
      });
      NameExport(name);
      m.cmdImportDBase.UserClick();
      m.cmdClose.UserClick();
    });
    main().mnuUCatMaint.UserClick();
  }
  std::vector<std::string> Shown() const {
    std::vector<std::string> out;
    for (const std::string& text : host_.MessageTexts()) out.push_back(TextToUtf8(text));
    return out;
  }
  std::string folder_;
};

TEST_F(Db3PathTest, TheImportReadsTheFilePickedInAFolderNamedInUtf8) {
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "DBASE contains 2 Records");
  ImportThroughThePick("Ελλάδα", "данные.dbf", "People");
  CatalogContents c;
  ASSERT_TRUE(ReadCatalog("People", &c));
  ASSERT_EQ(c.entries.size(), 2u);
  EXPECT_EQ(c.entries[0].FieldText[0], "Alice       ");
  EXPECT_EQ(c.entries[1].FieldText[0], "Bob         ");
}

TEST_F(Db3PathTest, AFileTheEngineRefusesIsNamedWholeInTheMessage) {
  const std::string bad = folder_ + "/壊れた.dbf";
  std::filesystem::remove(folder_ + "/данные.dbf");
  ASSERT_TRUE(WriteFileBytes(bad, "not a dBase file"));
  host_.AnswerMsgBox(platform::MsgAnswer::OK);
  ImportThroughThePick("Ελλάδα", "壊れた.dbf", "Broken");
  ASSERT_EQ(Shown().size(), 1u);
  const std::string tail = "When Opening DBaseIII File: " + bad;
  ASSERT_GE(Shown()[0].size(), tail.size());
  EXPECT_EQ(Shown()[0].substr(Shown()[0].size() - tail.size()), tail);
  CatalogContents c;
  EXPECT_FALSE(ReadCatalog("Broken", &c));
}

// A whole program whose application directory is named in UTF-8.
TEST(Db3PathExport, ARunExportsIntoAUtf8FolderAndTheMessageNamesTheFile) {
  ProbingHost host;
  ScriptedExpect expect(host);
  TempDir dir("Ελλάδα_報告");
  CatalogBuilder books(dir.path(), "BOOKS");
  books.Field(0, "Title", 20);
  books.Entry({"Dune"});
  books.Entry({"Kim"});
  ASSERT_TRUE(books.Write());
  platform::WritePrivateProfileString("Database", "CurrentDB", "BOOKS", dir.File("QAV.INI"));
  platform::WritePrivateProfileString("Reports", "ReportDest", std::to_string(store::rdDbase), dir.File("QAV.INI"));
  app::Program program(host, dir.path());
  program.Start();
  host.ClearRecord();

  host.OnShowAs<reports::frmListRange>("frmListRange", [](reports::frmListRange& f) {
    f.txtStartRec.UserSetText("1");
    f.txtEndRec.UserSetText("2");
    f.cmdOK.UserClick();
  });
  host.OnShowAs<store::frmEnterName>("frmEnterName", [](store::frmEnterName& f) {
    f.txtName.UserSetText("");
    f.txtName.UserType("LIST");
    f.cmdOK.UserClick();
  });
  host.AnswerMsgBox(platform::MsgAnswer::OK);
  program.mainWindow().mnuVListRange.UserClick();
  const std::string file = dir.File("LIST.DBF");
  EXPECT_TRUE(std::filesystem::is_regular_file(file));
  ASSERT_EQ(host.MessageTexts().size(), 1u);
  EXPECT_EQ(TextToUtf8(host.MessageTexts()[0]), "Wrote 2 entries to DBASE III file: " + file);
}

}  // namespace
}  // namespace kelvarin::test_support
