// The global search, list range and list-alphabetically dialogs.
#include <string>

#include "dialogs_fixture.h"
#include "reports/dialogs/frmGlobalSearch.h"
#include "reports/dialogs/frmListAlpha.h"
#include "reports/dialogs/frmListRange.h"

namespace kelvarin::test_support {
namespace {

using platform::Form;
using platform::MsgAnswer;
using reports::frmGlobalSearch;
using reports::frmListAlpha;
using reports::frmListRange;

class ListDialogsTest : public DialogTest {
 protected:
  ListDialogsTest() {
    Field(0, "Title", 30, store::KindKey);
    Field(1, "Author", 20, store::KindPlain);
    Field(2, "Shelf", 6, store::KindKeySummed);
    store.CatalogHeader.EntryCount = 12;
  }
  template <class Dialog>
  void Open(const std::function<void(Dialog&)>& script) {
    Dialog dlg(host, store, state);
    host.OnShow(dlg.Name(), [&](Form&) { script(dlg); });
    dlg.Show(platform::ShowMode::Modal);
  }
};

// --- Global search -----------------------------------------------------------

TEST_F(ListDialogsTest, GlobalSearchRefusesOnlyTheEmptyText) {
  state.SearchString = "old";
  host.AnswerMsgBox(MsgAnswer::OK, "No Search Text Specified");
  Open<frmGlobalSearch>([&](frmGlobalSearch& d) {
    EXPECT_EQ(d.txtGlobalString.Text(), "old");
    EXPECT_TRUE(d.txtGlobalString.HasFocus());
    d.txtGlobalString.UserSetText("");
    d.cmdOK.UserClick();
    EXPECT_TRUE(d.Visible());
    EXPECT_TRUE(d.txtGlobalString.HasFocus());
    d.txtGlobalString.UserType("  ");
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(store.DialogResult, 0);
  EXPECT_EQ(state.SearchString, "  ");
  EXPECT_EQ(host.Transcript()[1], "MsgBox(OK,None,\"Kelvarin Your Catalog\"): No Search Text Specified");
}

TEST_F(ListDialogsTest, GlobalSearchCaseBoxIsSavedAtOnceAndKeptAfterCancel) {
  Open<frmGlobalSearch>([&](frmGlobalSearch& d) {
    EXPECT_EQ(d.chkCaseSense.Value(), 0);
    EXPECT_FALSE(SavedSettings("BOOKS").has_value()) << "opening saves nothing";
    d.chkCaseSense.UserClick();
    d.txtGlobalString.UserType("x");
    d.cmdCancel.UserClick();
  });
  EXPECT_EQ(store.DialogResult, -1);
  EXPECT_TRUE(store.CaseSensitive);
  EXPECT_EQ(state.SearchString, "");
  auto saved = SavedSettings("BOOKS");
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->IgnoreCase, 0);
}

TEST_F(ListDialogsTest, ClosingADialogByItsCloseBoxCancels) {
  store.DialogResult = 0;  // left over from an earlier dialog
  Open<frmGlobalSearch>([&](frmGlobalSearch& d) {
    d.txtGlobalString.UserType("x");
    d.UserClose();
  });
  EXPECT_EQ(store.DialogResult, -1);
  Open<frmListAlpha>([&](frmListAlpha& d) { d.UserClose(); });
  EXPECT_EQ(store.DialogResult, -1) << "the load's 0 must not start a list";
}

// --- List range ---------------------------------------------------------------

struct RangeCase {
  const char* start;
  const char* end;
  const char* message;
  const char* focus;
  const char* endAfter;  // the end box after the refusal
};

TEST_F(ListDialogsTest, ListRangeChecksInOrderAndFocusesTheBoxAtFault) {
  const RangeCase cases[] = {
      {"", "", "Invalid Start #", "txtStartRec", ""},
      {"3", "", "Invalid End #", "txtEndRec", ""},
      {"0", "5", "Start # must be greater than 0", "txtStartRec", "5"},
      {"6", "5", "End # must be greater than or equal to Start #", "txtEndRec", "5"},
      {"0", "20", "Start # must be greater than 0", "txtStartRec", "20"},
      {"5", "13", "End # must not be greater than the number on entries.", "txtEndRec", "12"},
      {"5a", "6", "Start # must be a whole number", "txtStartRec", "6"},
      {"5", "6.0", "End # must be a whole number", "txtEndRec", "6.0"},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(std::string(c.start) + ".." + c.end);
    host.ClearRecord();
    host.AnswerMsgBox(MsgAnswer::OK, c.message);
    Open<frmListRange>([&](frmListRange& d) {
      d.txtStartRec.UserSetText("");
      d.txtEndRec.UserSetText("");
      d.txtStartRec.UserPaste(c.start);
      d.txtEndRec.UserPaste(c.end);
      d.cmdOK.UserClick();
      EXPECT_TRUE(d.Visible());
      ASSERT_NE(d.ActiveControl(), nullptr);
      EXPECT_EQ(d.ActiveControl()->Name(), c.focus);
      EXPECT_EQ(d.txtEndRec.Text(), c.endAfter);
      d.cmdCancel.UserClick();
    });
    EXPECT_EQ(store.DialogResult, -1);
    EXPECT_EQ(state.ListRangeStart, 0);
  }
}

TEST_F(ListDialogsTest, ListRangeEndAboveTheCountIsCorrectedAndThenAccepted) {
  host.AnswerMsgBox(MsgAnswer::OK, "End # must not be greater than the number on entries.");
  Open<frmListRange>([&](frmListRange& d) {
    EXPECT_TRUE(d.txtStartRec.HasFocus());
    d.txtStartRec.UserType("12");
    d.txtEndRec.UserType("400");
    d.cmdOK.UserClick();
    EXPECT_EQ(d.txtEndRec.Text(), "12");
    d.UserKey(platform::key::kReturn);
  });
  EXPECT_EQ(store.DialogResult, 0);
  EXPECT_EQ(state.ListRangeStart, 12);
  EXPECT_EQ(state.ListRangeEnd, 12);

  // The next opening shows the range used, whatever catalog is open now.
  store.CatalogHeader.EntryCount = 3;
  host.AnswerMsgBox(MsgAnswer::OK, "End # must not be greater than the number on entries.");
  host.AnswerMsgBox(MsgAnswer::OK, "End # must be greater than or equal to Start #");
  Open<frmListRange>([&](frmListRange& d) {
    EXPECT_EQ(d.txtStartRec.Text(), "12");
    EXPECT_EQ(d.txtEndRec.Text(), "12");
    d.cmdOK.UserClick();
    d.cmdOK.UserClick();
    d.cmdCancel.UserClick();
  });
}

TEST_F(ListDialogsTest, ListRangeInAnEmptyCatalogAlwaysFails) {
  store.CatalogHeader.EntryCount = 0;
  host.AnswerMsgBox(MsgAnswer::OK, "End # must not be greater than the number on entries.");
  host.AnswerMsgBox(MsgAnswer::OK, "End # must be greater than or equal to Start #");
  Open<frmListRange>([&](frmListRange& d) {
    d.txtStartRec.UserType("1");
    d.txtEndRec.UserType("1");
    d.cmdOK.UserClick();
    EXPECT_EQ(d.txtEndRec.Text(), "0");
    d.cmdOK.UserClick();
    d.cmdCancel.UserClick();
  });
  EXPECT_EQ(store.DialogResult, -1);
}

TEST_F(ListDialogsTest, ListRangeBoxesTakeDigitsOnlyWithABeep) {
  Open<frmListRange>([&](frmListRange& d) {
    d.txtStartRec.UserType("1-2 x");
    EXPECT_EQ(d.txtStartRec.Text(), "12");
    EXPECT_EQ(host.BeepCount(), 3);
    d.txtEndRec.UserType("9");
    d.txtEndRec.UserTypeChar(8);
    d.txtEndRec.UserType("12");
    EXPECT_EQ(d.txtEndRec.Text(), "12");
    EXPECT_EQ(host.BeepCount(), 3);
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(state.ListRangeStart, 12);
}

// --- List alphabetically ---------------------------------------------------------

TEST_F(ListDialogsTest, ListAlphaWithoutKeyFieldsBeepsWarnsAndIsNeverShown) {
  Field(0, "Title", 30, store::KindPlain);
  Field(2, "Shelf", 6, store::KindSummed);
  host.AnswerMsgBox(MsgAnswer::OK, "You must define at least on index field to list alphabetically.");
  frmListAlpha d(host, store, state);
  d.LoadForm();
  EXPECT_EQ(store.DialogResult, -1);
  d.UnloadForm();
  EXPECT_EQ(host.Transcript(),
            (std::vector<std::string>{"Beep", "MsgBox(OK,None,\"Kelvarin Your Catalog\"): You must define at least "
                                              "on index field to list alphabetically."}));
}

TEST_F(ListDialogsTest, ListAlphaSetsTheKeyFieldAndLeavesStartAndEndAsTheCriteriaDialogLeftThem) {
  state.KeyField = 2;
  host.OnShow("frmCriteria", [&](Form& f) {
    EXPECT_EQ(f.Caption(), "Setup Alpha Starting Point");
    static_cast<platform::TextBox*>(f.FindControl("txtFieldData", 0))->UserType("M");
    static_cast<platform::CommandButton*>(f.FindControl("cmdOK"))->UserClick();
  });
  host.OnShow("frmCriteria", [&](Form& f) {
    EXPECT_EQ(f.Caption(), "Setup Alpha Ending Point");
    static_cast<platform::TextBox*>(f.FindControl("txtFieldData", 0))->UserType("P");
    static_cast<platform::CommandButton*>(f.FindControl("cmdOK"))->UserClick();
  });
  Open<frmListAlpha>([&](frmListAlpha& d) {
    EXPECT_EQ(store.DialogResult, 0);
    ASSERT_EQ(d.cboKeyFields.ListCount(), 2);
    EXPECT_EQ(d.cboKeyFields.List(0), Padded("Title"));
    EXPECT_EQ(d.cboKeyFields.Text(), Padded("Shelf")) << "the key field is preselected";
    d.cmdSetStart.UserClick();
    d.cmdSetEnd.UserClick();
    d.cboKeyFields.UserSelect(0);
    d.cmdCancel.UserClick();
  });
  EXPECT_EQ(state.KeyField, 2) << "Cancel keeps the key field";
  EXPECT_EQ(Items(state.AlphaStartCriteria), (std::vector<reports::CriteriaItem>{{0, "M"}}));
  EXPECT_EQ(Items(state.AlphaEndCriteria), (std::vector<reports::CriteriaItem>{{0, "P"}}));

  Open<frmListAlpha>([&](frmListAlpha& d) {
    d.cboKeyFields.UserSelect(0);
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(store.DialogResult, 0);
  EXPECT_EQ(state.KeyField, 0);
  EXPECT_EQ(state.AlphaStartCriteria.Count, 1);
}

}  // namespace
}  // namespace kelvarin::test_support
