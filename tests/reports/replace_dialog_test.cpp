// The search and replace dialog and its menu item, played through the
// program.
#include <algorithm>

#include "reports/dialogs/frmReportDest.h"
#include "reports/replace/frmSearchReplace.h"
#include "replace_fixture.h"

namespace kelvarin::test_support {
namespace {

using reports::frmSearchReplace;

class ReplaceDialogTest : public ReplaceTest {
 protected:
  void Script(std::function<void(frmSearchReplace&)> script) {
    host_.OnShowAs<frmSearchReplace>("frmSearchReplace", std::move(script));
  }
};

TEST_F(ReplaceDialogTest, OpensFreshWithTheSharedSearchTextAndTheUsedFields) {
  Book("Dune", "Herbert");
  Start();
  EXPECT_EQ(main().mnuVReplace.Caption(), "Search && Rep&lace");
  EXPECT_TRUE(main().mnuVReplace.Visible());
  rs().SearchString = "from the global search";
  rs().ReplaceString = "left over";
  Script([&](frmSearchReplace& f) {
    EXPECT_EQ(f.Caption(), "Search and Replace");
    EXPECT_EQ(f.txtSearchString.Text(), "from the global search");
    EXPECT_EQ(f.txtReplaceString.Text(), "");
    EXPECT_EQ(f.txtStartRec.Text(), "1");
    EXPECT_TRUE(f.optField.Value());
    EXPECT_FALSE(f.optGlobal.Value());
    EXPECT_EQ(f.ActiveControl(), &f.txtSearchString);
    EXPECT_EQ(f.Drawing().size(), 3u * 4u) << "a sunken frame round each text box";
    // Used slots in slot order, full 14-character names, the slot as data;
    // the first is chosen although slots 0 and 1 come before it.
    ASSERT_EQ(f.cboFields.ListCount(), 4);
    EXPECT_EQ(f.cboFields.List(0), "Title         ");
    EXPECT_EQ(f.cboFields.ItemData(0), kTitle);
    EXPECT_EQ(f.cboFields.List(3), "Media         ");
    EXPECT_EQ(f.cboFields.ItemData(3), kMedia);
    EXPECT_EQ(f.cboFields.ListIndex(), 0);
    // The option buttons switch the field list.
    f.optGlobal.UserClick();
    EXPECT_FALSE(f.cboFields.Enabled());
    f.optField.UserClick();
    EXPECT_TRUE(f.cboFields.Enabled());
    f.cmdCancel.UserClick();
  });
  main().mnuVReplace.UserClick();
  EXPECT_EQ(st().DialogResult, -1);
  EXPECT_EQ(rs().ReplaceString, "left over");

  // The next use opens afresh, whatever the last one chose.
  Script([&](frmSearchReplace& f) {
    f.txtReplaceString.UserSetText("x");
    f.txtStartRec.UserSetText("");
    f.optGlobal.UserClick();
    f.cboFields.UserSelect(2);
    f.cmdCancel.UserClick();
  });
  main().mnuVReplace.UserClick();
  Script([&](frmSearchReplace& f) {
    EXPECT_EQ(f.txtReplaceString.Text(), "");
    EXPECT_EQ(f.txtStartRec.Text(), "1");
    EXPECT_TRUE(f.optField.Value());
    EXPECT_TRUE(f.cboFields.Enabled());
    EXPECT_EQ(f.cboFields.ListIndex(), 0);
    f.cmdCancel.UserClick();
  });
  main().mnuVReplace.UserClick();
}

TEST_F(ReplaceDialogTest, TheStartBoxTakesDigitsAndBackspaceOnly) {
  Book("Dune", "Herbert");
  Start();
  Script([&](frmSearchReplace& f) {
    f.txtStartRec.SetFocus();
    f.txtStartRec.SetText("");
    for (char c : std::string("1a2.-3 "))
      f.UserKeyPress(c);
    EXPECT_EQ(f.txtStartRec.Text(), "123");
    f.UserKeyPress(8);
    EXPECT_EQ(f.txtStartRec.Text(), "12");
    f.cmdCancel.UserClick();
  });
  main().mnuVReplace.UserClick();
  EXPECT_EQ(host_.BeepCount(), 4);
}

TEST_F(ReplaceDialogTest, OkChecksTheSearchTextThenTheStartEntry) {
  Book("Dune", "Herbert");
  Book("Emma", "Austen");
  Start();
  ExpectBox("No Search Text Specified");
  ExpectBox("Starting Record is too large!");
  Script([&](frmSearchReplace& f) {
    f.txtSearchString.UserSetText("");
    f.txtStartRec.UserSetText("99");
    f.UserKey(platform::key::kReturn);  // OK is the default button
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.ActiveControl(), &f.txtSearchString);
    f.txtSearchString.UserSetText("a");
    f.cmdOK.UserClick();
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.ActiveControl(), &f.txtStartRec);
    EXPECT_EQ(f.txtStartRec.Text(), "2");
    // Nothing is taken over from a refused OK.
    EXPECT_EQ(rs().SearchString, "");
    f.UserKey(platform::key::kEscape);  // Cancel is the cancel button
  });
  main().mnuVReplace.UserClick();
  EXPECT_EQ(st().DialogResult, -1);
}

TEST_F(ReplaceDialogTest, OkFillsTheRequest) {
  Book("Dune", "Herbert");
  Book("Emma", "Austen");
  Start();
  // Stop the run before it starts: the request is what is looked at here.
  Script([&](frmSearchReplace& f) {
    f.txtSearchString.UserSetText("zz");
    f.txtReplaceString.UserSetText("yy");
    f.txtStartRec.UserSetText("");  // empty: entry 1
    f.cboFields.UserSelect(1);
    f.cmdOK.UserClick();
  });
  ExpectBox("No Matches Found");
  main().mnuVReplace.UserClick();
  EXPECT_EQ(st().DialogResult, 0);
  EXPECT_EQ(rs().SearchString, "zz");
  EXPECT_EQ(rs().ReplaceString, "yy");
  EXPECT_EQ(request().ReplaceStart, 1.0f);
  EXPECT_EQ(request().ReplaceField, kAuthor);
  EXPECT_FALSE(request().ReplaceGlobal);

  Dialog("zz", "", true, -1, "2");
  ExpectBox("No Matches Found");
  main().mnuVReplace.UserClick();
  EXPECT_EQ(request().ReplaceStart, 2.0f);
  EXPECT_TRUE(request().ReplaceGlobal);
  EXPECT_EQ(request().ReplaceField, kTitle);
}

TEST_F(ReplaceDialogTest, WithNoEntriesTheDefaultStartIsRefusedAndZeroShown) {
  Start();
  ExpectBox("Starting Record is too large!");
  Script([&](frmSearchReplace& f) {
    f.txtSearchString.UserSetText("a");
    f.cmdOK.UserClick();
    EXPECT_EQ(f.txtStartRec.Text(), "0");
    f.cmdCancel.UserClick();
  });
  main().mnuVReplace.UserClick();
}

TEST_F(ReplaceDialogTest, ACatalogWithoutUsedFieldsPassesOkAndFieldReplaceDoesNothing) {
  cat_ = CatalogBuilder(dir_.path(), "BOOKS");
  cat_.Entry({});
  Start();
  Script([&](frmSearchReplace& f) {
    EXPECT_EQ(f.cboFields.ListCount(), 0);
    f.txtSearchString.UserSetText("a");
    f.cmdOK.UserClick();
  });
  main().mnuVReplace.UserClick();
  EXPECT_EQ(st().DialogResult, 0);
  EXPECT_EQ(request().ReplaceField, -1);
  // No walk, no message.
  EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{});
  EXPECT_TRUE(main().Enabled());

  Dialog("a", "b", true);
  ExpectBox("No Matches Found");
  main().mnuVReplace.UserClick();
}

TEST_F(ReplaceDialogTest, TheKeptProceduresSaveTheCaseSettingAndShowReportSetup) {
  Book("Dune", "Herbert");
  Start();
  reports::ReplaceRequest request;
  frmSearchReplace dialog(host_, st(), rs(), request);
  dialog.SetCaseSensitive(1);
  EXPECT_TRUE(st().CaseSensitive);
  store::CatalogFiles files;
  std::string fault;
  ASSERT_TRUE(st().ReadCatalogFiles(dir_.File("BOOKS"), &files, &fault)) << fault;
  EXPECT_EQ(files.Settings.IgnoreCase, 0);
  dialog.SetCaseSensitive(0);
  EXPECT_FALSE(st().CaseSensitive);
  ASSERT_TRUE(st().ReadCatalogFiles(dir_.File("BOOKS"), &files, &fault)) << fault;
  EXPECT_EQ(files.Settings.IgnoreCase, 1);

  host_.AnswerMsgBox(platform::MsgAnswer::OK);  // no report format selected
  host_.OnShow("frmReportDest", [](platform::Form& f) {
    static_cast<platform::CommandButton*>(f.FindControl("cmdCancel"))->UserClick();
  });
  dialog.ShowReportDest();
  const auto& seen = host_.Transcript();
  EXPECT_NE(std::find(seen.begin(), seen.end(), "ShowModal(frmReportDest): Report Setup"), seen.end());
}

}  // namespace
}  // namespace kelvarin::test_support
