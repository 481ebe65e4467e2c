// The runs of the main window with a dBase III file as their destination.
#include <filesystem>

#include "reports/dialogs/frmListAlpha.h"
#include "reports/runs_fixture.h"
#include "support/dbf_files.h"

namespace kelvarin::test_support {
namespace {

class RunsDbaseTest : public RunsTest {
 protected:
  RunsDbaseTest() {
    cat_.Field(2, "Amount", 6, store::KindSummed);
    cat_.Entry({"Ada", "Paris", "2.50", "A1"});
    cat_.DeletedEntry({"Bob", "Rome", "10", "B2"});
    cat_.Entry({"Cy", "Paris", "1", "C3"});
  }
  void StartDbase() { Start(store::rdDbase); }
  std::string File(const std::string& name) const { return dir_.File(name); }
  void NameExport(const std::string& typed) {
    host_.OnShow("frmEnterName", [typed](platform::Form& f) {
      EXPECT_EQ(f.Caption(), "DBASE III Export");
      auto* box = static_cast<platform::TextBox*>(f.FindControl("txtName"));
      EXPECT_EQ(box->Text(), "PEOPLE");
      box->UserSetText(typed);
      static_cast<platform::CommandButton*>(f.FindControl("cmdOK"))->UserClick();
    });
  }
  void CancelExport() {
    host_.OnShow("frmEnterName", [](platform::Form& f) {
      static_cast<platform::CommandButton*>(f.FindControl("cmdCancel"))->UserClick();
    });
  }
  std::string Wrote(int n, const std::string& path, const std::string& amount) {
    return "Wrote " + std::to_string(n) + " entries to DBASE III file: " + path + "\r\rTOTALS:\r\rAmount        \t\t:\t" +
           amount + "\r";
  }
  // The first column of each record of an export.
  std::vector<std::string> Names(const std::string& path) {
    std::vector<std::string> out;
    auto dbf = ParseDbf(ReadFileBytes(path));
    if (!dbf) return {"(not a DBF)"};
    for (const auto& row : dbf->rows) out.push_back(row.values.at(0).substr(0, 4));
    return out;
  }
};

TEST_F(RunsDbaseTest, ListRangeWritesEveryEntryAndTellsTheTotals) {
  StartDbase();
  ListRangeDialog("1", "3");
  NameExport("LIST");
  const std::string path = File("LIST.DBF");
  Expect(Wrote(3, path, "13.50"));
  main().mnuVListRange.UserClick();
  auto dbf = ParseDbf(ReadFileBytes(path));
  ASSERT_TRUE(dbf);
  ASSERT_EQ(dbf->columns.size(), 5u);  // slots 0, 1, 2, 3 and 20
  EXPECT_EQ(dbf->columns[0].name, "NAME");
  EXPECT_EQ(dbf->columns[4].name, "REF");
  EXPECT_EQ(Names(path), (std::vector<std::string>{"Ada ", "Bob ", "Cy  "}));
  EXPECT_FALSE(dbf->rows[1].deleted);  // exported as an ordinary record
  EXPECT_EQ(dbf->rows[2].values[2], "1     ");
  EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
  EXPECT_TRUE(main().Enabled());
}

TEST_F(RunsDbaseTest, EverySummedFieldIsTotalledUnderOneHeading) {
  cat_.Field(0, "Name", 20, store::KindKeySummed);
  StartDbase();
  ListRangeDialog("1", "3");
  NameExport("SUMS");
  Expect("Wrote 3 entries to DBASE III file: " + File("SUMS.DBF") +
         "\r\rTOTALS:\r\rName          \t\t:\t0.00\rAmount        \t\t:\t13.50\r");
  main().mnuVListRange.UserClick();
}

TEST_F(RunsDbaseTest, OverwriteNoEndsTheRunAndYesReplacesTheFile) {
  StartDbase();
  WriteFileBytes(File("LIST.DBF"), "old contents");
  const std::string question = "DBASE III File: " + File("LIST.DBF") + " already exists, OVERWRITE?";
  ListRangeDialog("1", "2");
  NameExport("LIST");
  host_.AnswerMsgBox(platform::MsgAnswer::No, question);
  main().mnuVListRange.UserClick();
  EXPECT_EQ(ReadFileBytes(File("LIST.DBF")), "old contents");
  EXPECT_EQ(host_.MessageTexts(), (std::vector<std::string>{question}));

  ListRangeDialog("1", "2");
  NameExport("LIST");
  host_.AnswerMsgBox(platform::MsgAnswer::Yes, question);
  Expect(Wrote(2, File("LIST.DBF"), "12.50"));
  main().mnuVListRange.UserClick();
  EXPECT_EQ(Names(File("LIST.DBF")), (std::vector<std::string>{"Ada ", "Bob "}));
}

TEST_F(RunsDbaseTest, FindDeletedWithoutMatchesDeletesTheFile) {
  cat_ = CatalogBuilder(dir_.path(), "PEOPLE");
  cat_.Field(0, "Name", 20, store::KindKey).Field(2, "Amount", 6, store::KindSummed);
  cat_.Entry({"Ada", "", "1"});
  StartDbase();
  WriteFileBytes(File("GONE.DBF"), "old");
  NameExport("GONE");
  host_.AnswerMsgBox(platform::MsgAnswer::Yes, "DBASE III File: " + File("GONE.DBF") + " already exists, OVERWRITE?");
  Expect("No Deleted Records Found");
  main().mnuVFindDeleted.UserClick();
  EXPECT_EQ(host_.BeepCount(), 1);
  EXPECT_FALSE(std::filesystem::exists(File("GONE.DBF")));
}

TEST_F(RunsDbaseTest, FindDeletedAndGlobalSearchCountWhatTheyWrote) {
  StartDbase();
  NameExport("DEL");
  Expect(Wrote(1, File("DEL.DBF"), "10.00"));
  main().mnuVFindDeleted.UserClick();
  EXPECT_EQ(Names(File("DEL.DBF")), (std::vector<std::string>{"Bob "}));

  GlobalSearchDialog("Paris");
  NameExport("PARIS");
  Expect(Wrote(2, File("PARIS.DBF"), "3.50"));
  main().mnuVGlobalSearch.UserClick();
  EXPECT_EQ(Names(File("PARIS.DBF")), (std::vector<std::string>{"Ada ", "Cy  "}));
  EXPECT_EQ(program_->db3().Db3RecordsWritten, 2);
}

TEST_F(RunsDbaseTest, ListAlphabeticallyWritesInKeyOrderAndClosesTheIndex) {
  cat_.Entry({"Abe", "Oslo", "4", "D4"});
  StartDbase();
  host_.OnShowAs<reports::frmListAlpha>("frmListAlpha", [](reports::frmListAlpha& f) { f.cmdOK.UserClick(); });
  NameExport("ALPHA");
  Expect(Wrote(4, File("ALPHA.DBF"), "17.50"));
  main().mnuVListAlpha.UserClick();
  EXPECT_EQ(Names(File("ALPHA.DBF")), (std::vector<std::string>{"Abe ", "Ada ", "Bob ", "Cy  "}));
  EXPECT_EQ(main().BrowseIndex, -1);
  EXPECT_TRUE(main().Enabled());
}

TEST_F(RunsDbaseTest, CancellingTheNameWritesNothing) {
  StartDbase();
  CancelExport();
  main().mnuVFindDeleted.UserClick();
  ListRangeDialog("1", "3");
  CancelExport();
  main().mnuVListRange.UserClick();
  // A declined name ends an alphabetical search and its start point.
  rs().AlphaStartCriteria.Count = 1;
  SearchDialog({{0, "Ada"}}, false);
  CancelExport();
  main().mnuVSearch.UserClick();
  EXPECT_EQ(rs().AlphaStartCriteria.Count, 0);
  EXPECT_TRUE(host_.MessageTexts().empty());
  for (const auto& f : std::filesystem::directory_iterator(dir_.path()))
    EXPECT_NE(f.path().extension(), ".DBF") << f.path();
  EXPECT_TRUE(main().Enabled());
}

TEST_F(RunsDbaseTest, SearchFindsItsFirstMatchBeforeAskingForTheFile) {
  StartDbase();
  SearchDialog({{1, "Rome"}, {0, "Zed"}}, true);
  Expect("No Matches Found!!!");
  main().mnuVSearch.UserClick();  // no prompt: nothing matched

  SearchDialog({{1, "Paris"}}, true);
  host_.OnShow("frmEnterName", [this](platform::Form& f) {
    EXPECT_FALSE(main().Enabled());  // the search is still under way
    static_cast<platform::TextBox*>(f.FindControl("txtName"))->UserSetText("FOUND");
    static_cast<platform::CommandButton*>(f.FindControl("cmdOK"))->UserClick();
  });
  Expect(Wrote(2, File("FOUND.DBF"), "3.50"));
  main().mnuVSearch.UserClick();
  EXPECT_EQ(Names(File("FOUND.DBF")), (std::vector<std::string>{"Ada ", "Cy  "}));
  EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
  EXPECT_TRUE(main().Enabled());
}

TEST_F(RunsDbaseTest, AFileThatCannotBeCreatedEndsTheRunWithoutWriting) {
  // Two fields whose names map to the same column name.
  cat_.Field(4, "name", 8);
  StartDbase();
  for (int run = 0; run < 2; ++run) {
    const std::string path = File(run == 0 ? "A.DBF" : "B.DBF");
    NameExport(run == 0 ? "A" : "B");
    host_.AnswerMsgBox(platform::MsgAnswer::OK,
                       "Error 109\r\nInvalid field name; already in useWhen Creating DBaseIII File: " + path);
    if (run == 0) {
      ListRangeDialog("1", "3");
      main().mnuVListRange.UserClick();
    } else {
      SearchDialog({{1, "Paris"}}, true);
      main().mnuVSearch.UserClick();
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(main().Enabled());
    EXPECT_EQ(host_.MousePointerShape(), platform::kPointerDefault);
  }
  EXPECT_EQ(host_.MessageTexts().size(), 2u);  // no "Wrote" message
}

}  // namespace
}  // namespace kelvarin::test_support
