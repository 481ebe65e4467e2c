// The export of entries to a new dBase III file, driven directly.
#include <filesystem>

#include "dbf/db3_exchange.h"
#include "dbf/db3_fixture.h"
#include "platform/text/number_text.h"
#include "store/frm_enter_name.h"

namespace kelvarin::test_support {
namespace {

using dbf::Db3Exchange;

std::string Field(const std::string& name) {
  std::string n = name;
  Db3Exchange::MakeDb3FieldName(n);
  return n;
}

TEST(Db3FieldName, UpperCasesLettersCutsToTenAndReplacesEverythingElse) {
  EXPECT_EQ(Field("Part No.      "), "PART_NO_");
  EXPECT_EQ(Field("part no"), "PART_NO");
  EXPECT_EQ(Field("Price 1997 (US"), "PRICE_1997");
  EXPECT_EQ(Field("Abcdefghijk"), "ABCDEFGHIJ");
  EXPECT_EQ(Field("  Lead"), "__LEAD");
  EXPECT_EQ(Field("Caf\xE9"), "CAF_");  // an accented letter is no DBF name character
  EXPECT_EQ(Field("              "), "");
  // The edges of each kept range, and the characters just outside them.
  EXPECT_EQ(Field("azAZ09"), "AZAZ09");
  EXPECT_EQ(Field("@[`{/:"), "______");
}

class Db3ExportTest : public Db3Test {
 protected:
  // Slots 0, 1 and 5 used; slot 5 summed; slot 1 computed (slot 5 times 2
  // is not possible: formulas take two fields, so slot 5 plus slot 5).
  void StartParts() {
    CatalogBuilder cat(dir_.path(), "PARTS");
    cat.Field(0, "Part No.", 8, store::KindKey).Field(1, "Price 1997 (USD)", 12).Field(5, "part no", 8, store::KindSummed);
    cat.Formula(1, 5, store::OpPlus, 5);
    cat.Entry({"A-1", "", "", "", "", "83757.80"});
    cat.Entry({"B-2", "", "", "", "", "55645.43"});
    cat.Entry({"C-3", "", "", "", "", "x"});
    Start(&cat);
  }
  std::string Path(const std::string& name) { return dir_.File(name); }
  void ExportAll(const std::string& path) {
    int16_t handle = 0, columns = 0;
    ASSERT_TRUE(db3().CreateDb3Export(path, handle, columns));
    EXPECT_EQ(columns, 3);
    store::EntryRecord e;
    for (float n = 1; n <= st().CatalogHeader.EntryCount; ++n) {
      ASSERT_TRUE(st().ReadEntry(e, st().CatalogHeader, n, st().DatFile));
      db3().WriteDb3Entry(e, handle, columns);
    }
    db3().CloseDb3File(handle);
  }
};

TEST_F(Db3ExportTest, UsedSlotsBecomeCharacterColumnsWithComputedValuesAndTotals) {
  StartParts();
  program_->reportState().FieldTotals.fill(0);
  ExportAll(Path("PARTS.DBF"));
  auto dbf = ParseDbf(ReadFileBytes(Path("PARTS.DBF")));
  ASSERT_TRUE(dbf);
  EXPECT_EQ(dbf->version, 0x03);
  ASSERT_EQ(dbf->columns.size(), 3u);
  const std::vector<std::pair<std::string, int>> expected{{"PART_NO_", 8}, {"PRICE_1997", 12}, {"PART_NO", 8}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(dbf->columns[i].name, expected[i].first);
    EXPECT_EQ(dbf->columns[i].type, 'C');
    EXPECT_EQ(dbf->columns[i].length, expected[i].second);
    EXPECT_EQ(dbf->columns[i].decimals, 0);
  }
  ASSERT_EQ(dbf->rows.size(), 3u);
  // Column 2 holds the computed value, column 3 slot 5's text.
  EXPECT_EQ(dbf->rows[0].values, (std::vector<std::string>{"A-1     ", "167515.6    ", "83757.80"}));
  EXPECT_EQ(dbf->rows[1].values, (std::vector<std::string>{"B-2     ", "111290.86   ", "55645.43"}));
  EXPECT_EQ(dbf->rows[2].values, (std::vector<std::string>{"C-3     ", "0           ", "x       "}));
  EXPECT_FALSE(dbf->rows[0].deleted);
  EXPECT_EQ(db3().Db3RecordsWritten, 3);
  const auto& totals = program_->reportState().FieldTotals;
  // Added in double precision, as the printer and Totals add: 139,403.22
  // if each value were cut to a single first.
  EXPECT_EQ(platform::StandardFormat(totals[5], host_.Locale()), "139,403.23");
  EXPECT_FLOAT_EQ(totals[1], 0.0f);  // computed, not summed
  EXPECT_FLOAT_EQ(totals[0], 0.0f);
  EXPECT_TRUE(Seen().empty());
}

TEST_F(Db3ExportTest, NamesTheEngineRefusesFailTheWholeExportAndLeaveNoFile) {
  struct Case {
    const char* second;
    const char* message;
  };
  Start();
  int i = 0;
  for (const Case& c : {Case{"Part No.", "Error 109\r\nInvalid field name; already in use"},
                        Case{" Lead", "Error 106\r\nInvalid field name"},
                        Case{"1st", "Error 106\r\nInvalid field name"}}) {
    SCOPED_TRACE(c.second);
    const std::string name = "CLASH" + std::to_string(++i);
    CatalogBuilder cat(dir_.path(), name);
    cat.Field(0, "Part No.", 8).Field(3, c.second, 8);
    ASSERT_TRUE(cat.Write());
    ASSERT_TRUE(st().OpenCatalog(name));
    const std::string path = dir_.File(name + ".DBF");
    host_.AnswerMsgBox(platform::MsgAnswer::OK, std::string(c.message) + "When Creating DBaseIII File: " + path);
    int16_t handle = 0, columns = 0;
    EXPECT_FALSE(db3().CreateDb3Export(path, handle, columns));
    EXPECT_EQ(handle, -1);
    EXPECT_FALSE(std::filesystem::exists(path));
    // The slot was given back.
    for (int16_t h = 1; h <= program_->dbfEngine().MaxDbfs(); ++h)
      EXPECT_TRUE(program_->dbfEngine().SlotAt(h)->IsFree()) << h;
  }
}

TEST_F(Db3ExportTest, FailuresNameTheirStepAndCarryTheirOwnCode) {
  StartParts();
  int16_t handle = 0, columns = 0;
  const std::string path = Path("OUT.DBF");
  ASSERT_TRUE(db3().CreateDb3Export(path, handle, columns));
  store::EntryRecord e;
  ASSERT_TRUE(st().ReadEntry(e, st().CatalogHeader, 1, st().DatFile));
  db3().WriteDb3Entry(e, handle, columns);
  EXPECT_EQ(db3().Db3RecordsWritten, 1);
  // The file goes away under the export: the append fails, named by the
  // path the export was created under, and the count stays.
  int16_t err = 0;
  program_->dbfEngine().DbfClose(handle, err, 0);
  host_.AnswerMsgBox(platform::MsgAnswer::OK,
                     "Error 105\r\nInvalid file mode for operationWhen Writing DBaseIII File: " + path);
  db3().WriteDb3Entry(e, handle, columns);
  EXPECT_EQ(db3().Db3RecordsWritten, 1);
  // The close's message carries the close's own error, not the last one.
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "Error 104\r\nInvalid file HandleWhen Closing DBIII File");
  db3().CloseDb3File(0);
  EXPECT_EQ(db3().Db3ErrorMsg, "Error 104\r\nInvalid file Handle");
}

TEST_F(Db3ExportTest, RecordsWrittenStartsAgainWithEachNewFile) {
  StartParts();
  ExportAll(Path("ONE.DBF"));
  EXPECT_EQ(db3().Db3RecordsWritten, 3);
  int16_t handle = 0, columns = 0;
  ASSERT_TRUE(db3().CreateDb3Export(Path("TWO.DBF"), handle, columns));
  EXPECT_EQ(db3().Db3RecordsWritten, 0);
  db3().CloseDb3File(handle);
}

TEST_F(Db3ExportTest, TheNamePromptOffersTheCatalogAndAsksBeforeOverwriting) {
  StartParts();
  host_.OnShow("frmEnterName", [](platform::Form& f) {
    auto& p = static_cast<store::frmEnterName&>(f);
    EXPECT_EQ(p.Caption(), "DBASE III Export");
    EXPECT_EQ(p.lblUserAction.Caption(), "Enter DBASEIII File Name, Extension will be .DBF");
    EXPECT_EQ(p.txtName.Text(), "PARTS");
    p.txtName.UserSetText("");
    p.txtName.UserType("my-list");  // letters and digits only
    p.cmdOK.UserClick();
  });
  EXPECT_EQ(db3().AskDb3ExportName(), "mylist");

  // An existing file, whatever its letter case: No stops, Yes keeps the name.
  WriteFileBytes(Path("MYLIST.DBF"), "old");
  const std::string question = "DBASE III File: " + Path("mylist.DBF") + " already exists, OVERWRITE?";
  NameExport("mylist");
  host_.AnswerMsgBox(platform::MsgAnswer::No, question);
  EXPECT_EQ(db3().AskDb3ExportName(), "");
  NameExport("mylist");
  host_.AnswerMsgBox(platform::MsgAnswer::Yes, question);
  EXPECT_EQ(db3().AskDb3ExportName(), "mylist");
  EXPECT_EQ(ReadFileBytes(Path("MYLIST.DBF")), "old");  // replaced only when created

  host_.OnShow("frmEnterName", [](platform::Form& f) { static_cast<store::frmEnterName&>(f).cmdCancel.UserClick(); });
  EXPECT_EQ(db3().AskDb3ExportName(), "");
  host_.OnShow("frmEnterName", [](platform::Form& f) { f.UserClose(); });
  EXPECT_EQ(db3().AskDb3ExportName(), "");
}

}  // namespace
}  // namespace kelvarin::test_support
