// Catalog maintenance's import command with the program's own dBase III
// import behind it.
#include <gtest/gtest.h>

#include "catalog/frmCatMaint.h"
#include "entry/program_fixture.h"
#include "store/frm_enter_name.h"
#include "support/dbf_files.h"

namespace kelvarin::test_support {
namespace {

using catalog::frmCatMaint;

class CatalogImportTest : public ProgramTest {
 protected:
  void SetUp() override {
    WriteBooks();
    WriteIni("Database", "CurrentDB", "BOOKS");
    WriteFileBytes(dir_.File("people.dbf"),
                   MakeDbfBytes({{"NAME", 'C', 12}, {"BORN", 'D', 8}},
                                {{{"Alice", "19870301"}}, {{"Bob", "19801112"}, true}}));
    Start();
  }
  void Import(frmCatMaint& m, const std::string& name) {
    host_.OnShow("frmOpen", [](platform::Form& f) {
      auto& o = static_cast<catalog::frmOpen&>(f);
      ASSERT_EQ(o.filFiles.ListCount(), 1);
      o.filFiles.UserSelect(0);
      o.cmdOK.UserClick();
    });
    host_.OnShow("frmEnterName", [name](platform::Form& f) {
      auto& n = static_cast<store::frmEnterName&>(f);
      n.txtName.UserType(name);
      n.cmdOK.UserClick();
    });
    m.cmdImportDBase.UserClick();
  }
};

TEST_F(CatalogImportTest, TheImportedCatalogIsListedAndOpensWithTheFileFieldsAndRecords) {
  std::vector<std::string> listed;
  host_.OnShow("frmCatMaint", [&](platform::Form& f) {
    auto& m = static_cast<frmCatMaint&>(f);
    ASSERT_TRUE(m.cmdImportDBase.Visible());
    host_.AnswerMsgBox(platform::MsgAnswer::OK, "DBASE contains 2 Records");
    Import(m, "People");
    for (int32_t i = 0; i < m.lstDB.ListCount(); ++i) listed.push_back(m.lstDB.List(i));
    // A second import under the same name is refused before the file is read.
    host_.AnswerMsgBox(platform::MsgAnswer::OK, "Catalog already exists. Import Aborted.");
    Import(m, "PEOPLE");
    for (int32_t i = 0; i < m.lstDB.ListCount(); ++i)
      if (m.lstDB.List(i) == "People") m.lstDB.UserSelect(i);
    m.cmdSelect.UserClick();
    m.cmdClose.UserClick();
  });
  main().mnuUCatMaint.UserClick();
  EXPECT_EQ(listed, (std::vector<std::string>{"BOOKS", "People"}));
  EXPECT_EQ(st().CatalogName, "People");
  EXPECT_EQ(st().CatalogHeader.EntryCount, 2);
  EXPECT_EQ(main().lblFieldName(0).Caption(), "NAME");
  EXPECT_EQ(main().lblFieldName(1).Caption(), "BORN");
  EXPECT_FALSE(main().txtFieldData(2).Visible());
  store::EntryRecord e;
  ASSERT_TRUE(st().ReadEntry(e, st().CatalogHeader, 2, st().DatFile));
  EXPECT_EQ(e.FieldText[0], "Bob         ");
  EXPECT_EQ(e.FieldText[1], "11/12/80");
  EXPECT_EQ(e.Status, store::StatusActive);
}

}  // namespace
}  // namespace kelvarin::test_support
