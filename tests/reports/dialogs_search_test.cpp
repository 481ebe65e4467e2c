// The search dialog and the criteria dialog it opens: row geometry, the key
// row's colours, the order options, the no-key-text question, what OK and
// Cancel leave, and Search Setup refreshing the boxes.
#include <string>

#include "dialogs_fixture.h"
#include "reports/dialogs/frmCriteria.h"
#include "reports/dialogs/frmSearch.h"

namespace kelvarin::test_support {
namespace {

using platform::Form;
using platform::MsgAnswer;
using reports::CriteriaItem;
using reports::frmSearch;

const char kQuestion[] =
    "There is no search text in the Key Field.\rThis will search the entire catalog and may take awhile.\r\r"
    "Do you want continue the search anyway?";

class SearchDialogTest : public DialogTest {
 protected:
  SearchDialogTest() {
    Field(0, "Title", 30, store::KindKey);
    Field(1, "Author", 20);
    // slot 2 unused
    Field(3, "Shelf", 6, store::KindKeySummed);
    Field(4, "Price", 8, store::KindSummed);
    state.KeyField = 3;
  }
  void Open(const std::function<void(frmSearch&)>& script) {
    frmSearch dlg(host, store, state, mode);
    host.OnShow("frmSearch", [&](Form&) { script(dlg); });
    dlg.Show(platform::ShowMode::Modal);
  }
  // Texts typed into the criteria dialog's boxes by slot, then OK.
  void CriteriaScript(const std::string& caption, std::vector<std::pair<int, std::string>> texts, bool ok = true) {
    host.OnShow("frmCriteria", [=](Form& f) {
      EXPECT_EQ(f.Caption(), caption);
      for (const auto& [slot, text] : texts) {
        auto* box = static_cast<platform::TextBox*>(f.FindControl("txtFieldData", static_cast<int16_t>(slot)));
        box->UserSetText(text);
      }
      auto* button = dynamic_cast<platform::CommandButton*>(f.FindControl(ok ? "cmdOK" : "cmdCancel"));
      ASSERT_NE(button, nullptr);
      button->UserClick();
    });
  }
  int16_t mode = store::smAlpha;
};

TEST_F(SearchDialogTest, RowsKeepTheirPlacesAndSizesFromTheFontMeasures) {
  frmSearch d(host, store, state, mode);
  d.LoadForm();
  const int px = host.Screen().twipsPerPixelX, py = host.Screen().twipsPerPixelY;
  const int h = d.txtFieldData[0].Height();
  EXPECT_EQ(h, host.MinTextBoxHeight());
  EXPECT_EQ(d.lblFieldName[0].Width(), 14 * store.MaxCharWidth - 800);
  EXPECT_EQ(d.txtFieldData[0].Left(), d.lblFieldName[0].Left() + d.lblFieldName[0].Width() + 3 * px);
  EXPECT_EQ(d.lblFieldName.Count(), 20) << "no row for slot 20";
  EXPECT_EQ(d.txtFieldData.Count(), 20);
  for (int16_t i = 0; i < 20; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(d.txtFieldData[i].Top(), d.lblFieldName[0].Top() + i * (h + 3 * py));
    EXPECT_EQ(d.lblFieldName[i].Top(), d.txtFieldData[i].Top());
    const bool used = i <= 4 && i != 2;
    EXPECT_EQ(d.txtFieldData[i].Visible(), used);
    EXPECT_EQ(d.lblFieldName[i].Visible(), used);
    if (used) {
      EXPECT_EQ(d.txtFieldData[i].Width(), 40 * (store.AvgCharWidth + 2 * px));
      EXPECT_EQ(d.lblFieldName[i].Height(), store.LineHeight);
      EXPECT_EQ(d.txtFieldData[i].MaxLength(), 0) << "a text may be longer than its field";
    }
  }
  EXPECT_EQ(d.lblFieldName[3].Caption(), Padded("Shelf"));
  // The side column stands clear of the rows and inside the dialog.
  const int rowsRight = d.txtFieldData[0].Left() + d.txtFieldData[0].Width();
  for (platform::Control* c : {static_cast<platform::Control*>(&d.fraOrder), static_cast<platform::Control*>(&d.cmdOK),
                               static_cast<platform::Control*>(&d.cmdCancel)}) {
    EXPECT_GT(c->Left(), rowsRight) << c->Name();
    EXPECT_LE(c->Left() + c->Width(), d.ScaleWidth()) << c->Name();
  }
  EXPECT_LE(d.txtFieldData[19].Top() + h, d.ScaleHeight());
  d.UnloadForm();
}

TEST_F(SearchDialogTest, TheKeyRowIsRedAndFollowsTheComboAndTheOrderOptions) {
  Field(1, "Shelf", 20);  // the same name as the key field: coloured too
  Open([&](frmSearch& d) {
    auto expectRed = [&](std::vector<int> red) {
      for (int16_t i : {0, 1, 3, 4}) {
        const bool isRed = std::find(red.begin(), red.end(), i) != red.end();
        EXPECT_EQ(d.lblFieldName[i].ForeColor(), isRed ? 0x0000FFu : 0u) << "row " << i;
        EXPECT_EQ(d.txtFieldData[i].BackColor(), isRed ? 0x0000FFu : 0xC0C0C0u) << "row " << i;
      }
    };
    EXPECT_TRUE(d.optAlpha.Value());
    EXPECT_EQ(d.cboKeyFields.Text(), Padded("Shelf"));
    expectRed({1, 3});
    EXPECT_TRUE(d.cmdSetStart.Enabled());
    EXPECT_FALSE(d.chkCaseSense.Enabled());

    d.cboKeyFields.UserSelect(0);
    expectRed({0});
    d.optSequential.UserClick();
    expectRed({});
    EXPECT_FALSE(d.cmdSetStart.Enabled());
    EXPECT_FALSE(d.cmdSetEnd.Enabled());
    EXPECT_FALSE(d.cboKeyFields.Enabled());
    EXPECT_FALSE(d.chkCaseSense.Enabled()) << "stays disabled until the next opening";
    d.optAlpha.UserClick();
    expectRed({0});
    d.cmdCancel.UserClick();
  });
}

TEST_F(SearchDialogTest, SequentialOpeningLeavesRowsPlainAndCaseBoxUsable) {
  mode = store::smSequential;
  Open([&](frmSearch& d) {
    EXPECT_TRUE(d.optSequential.Value());
    EXPECT_TRUE(d.chkCaseSense.Enabled());
    EXPECT_FALSE(d.cboKeyFields.Enabled());
    for (int16_t i : {0, 1, 3, 4}) EXPECT_EQ(d.txtFieldData[i].BackColor(), 0xC0C0C0u);
    d.txtFieldData[4].UserType(" 9 ");
    d.txtFieldData[1].UserType("Le Guin");
    d.cmdOK.UserClick();  // no question in sequential order
  });
  EXPECT_EQ(store.DialogResult, 0);
  EXPECT_EQ(Items(state.SearchCriteria), (std::vector<CriteriaItem>{{1, "Le Guin"}, {4, " 9 "}}));
  EXPECT_EQ(mode, store::smSequential);
  EXPECT_EQ(IniInt("Search", "SearchMode"), 1);
}

// Only the alphabetical value opens the alphabetical order; any other opens
// the sequential one with its buttons disabled.
TEST_F(SearchDialogTest, AnyModeButAlphabeticalOpensTheSequentialOrder) {
  for (int16_t value : {int16_t{2}, int16_t{-1}}) {
    mode = value;
    Open([&](frmSearch& d) {
      EXPECT_TRUE(d.optSequential.Value());
      EXPECT_FALSE(d.optAlpha.Value());
      EXPECT_FALSE(d.cmdSetStart.Enabled());
      EXPECT_FALSE(d.cmdSetEnd.Enabled());
      EXPECT_FALSE(d.cboKeyFields.Enabled());
      d.cmdCancel.UserClick();
    });
  }
}

TEST_F(SearchDialogTest, CatalogWithoutKeyFieldsOpensSequentialAndKeepsTheKeyField) {
  Field(0, "Title", 30);
  Field(3, "Shelf", 6, store::KindSummed);
  Open([&](frmSearch& d) {
    EXPECT_EQ(mode, store::smSequential) << "set already at opening";
    EXPECT_EQ(d.cboKeyFields.ListCount(), 0);
    EXPECT_FALSE(d.optAlpha.Enabled());
    EXPECT_TRUE(d.optSequential.Value());
    d.optAlpha.UserClick();  // cannot be picked
    EXPECT_TRUE(d.optSequential.Value());
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(store.DialogResult, 0);
  EXPECT_EQ(state.KeyField, 3);
  EXPECT_EQ(state.SearchCriteria.Count, 0);
  EXPECT_EQ(IniInt("Search", "SearchMode"), 1);
}

TEST_F(SearchDialogTest, NoKeyTextAsksAndNoKeepsTheDialogOpenWithWhatOkHadSet) {
  state.SearchCriteria = List({{0, "Dune"}});
  state.AlphaStartCriteria = List({{3, "A"}});
  host.AnswerMsgBox(MsgAnswer::No, kQuestion);
  Open([&](frmSearch& d) {
    EXPECT_EQ(d.txtFieldData[0].Text(), "Dune");
    d.txtFieldData[1].UserType("Herbert");
    d.cmdOK.UserClick();
    EXPECT_TRUE(d.Visible());
    d.cmdCancel.UserClick();
  });
  EXPECT_EQ(host.Transcript()[1], std::string("MsgBox(YesNo,Question,\"Kelvarin Your Catalog\"): ") + kQuestion);
  EXPECT_EQ(store.DialogResult, -1);
  EXPECT_EQ(Items(state.SearchCriteria), (std::vector<CriteriaItem>{{0, "Dune"}, {1, "Herbert"}}));
  EXPECT_EQ(state.KeyField, 3);
  EXPECT_EQ(mode, store::smAlpha);
  EXPECT_EQ(IniInt("Search", "SearchMode"), -99) << "No: QAV.INI not written";
  EXPECT_EQ(Items(state.AlphaStartCriteria), (std::vector<CriteriaItem>{{3, "A"}}));
}

TEST_F(SearchDialogTest, YesRunsWithoutKeyTextAndBlanksCountAsKeyText) {
  host.AnswerMsgBox(MsgAnswer::Yes, kQuestion);
  Open([&](frmSearch& d) { d.cmdOK.UserClick(); });
  EXPECT_EQ(store.DialogResult, 0);
  EXPECT_EQ(state.SearchCriteria.Count, 0);
  EXPECT_EQ(IniInt("Search", "SearchMode"), 0);

  Open([&](frmSearch& d) {
    d.txtFieldData[3].UserType("  ");
    d.UserKey(platform::key::kReturn);
  });
  EXPECT_EQ(store.DialogResult, 0);
  EXPECT_EQ(Items(state.SearchCriteria), (std::vector<CriteriaItem>{{3, "  "}}));
}

TEST_F(SearchDialogTest, SlotTwentyKeyFieldAlwaysAsks) {
  Field(20, "Media", 40, store::KindKey);
  state.KeyField = 20;
  host.AnswerMsgBox(MsgAnswer::Yes, kQuestion);
  Open([&](frmSearch& d) {
    EXPECT_EQ(d.cboKeyFields.Text(), Padded("Media"));
    d.txtFieldData[0].UserType("x");
    d.txtFieldData[3].UserType("y");
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(state.KeyField, 20);
  EXPECT_EQ(store.DialogResult, 0);
}

TEST_F(SearchDialogTest, CaseBoxThenCancelKeepsAndSavesTheSetting) {
  mode = store::smSequential;
  Open([&](frmSearch& d) {
    EXPECT_EQ(d.chkCaseSense.Value(), 0);
    d.chkCaseSense.UserClick();
    d.UserKey(platform::key::kEscape);
  });
  EXPECT_EQ(store.DialogResult, -1);
  EXPECT_TRUE(store.CaseSensitive);
  auto saved = SavedSettings("BOOKS");
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->IgnoreCase, 0);

  Open([&](frmSearch& d) {
    EXPECT_EQ(d.chkCaseSense.Value(), 1);
    d.chkCaseSense.UserClick();
    d.cmdCancel.UserClick();
  });
  EXPECT_FALSE(store.CaseSensitive);
  EXPECT_EQ(SavedSettings("BOOKS")->IgnoreCase, 1);
}

TEST_F(SearchDialogTest, SearchSetupOkRefreshesTheBoxesSoOkKeepsWhatWasEntered) {
  state.SearchCriteria = List({{0, "Dune"}});
  // The criteria dialog starts from the stored list, not from the boxes.
  CriteriaScript("Setup Search Criteria", {{0, ""}, {1, "Asimov"}, {20, "cover.bmp"}});
  Open([&](frmSearch& d) {
    d.txtFieldData[4].UserType("12");
    d.cmdSrcSetup.UserClick();
    EXPECT_EQ(d.txtFieldData[0].Text(), "");
    EXPECT_EQ(d.txtFieldData[1].Text(), "Asimov");
    EXPECT_EQ(d.txtFieldData[4].Text(), "");
    d.txtFieldData[3].UserType("S1");
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(store.DialogResult, 0);
  EXPECT_EQ(Items(state.SearchCriteria), (std::vector<CriteriaItem>{{1, "Asimov"}, {3, "S1"}}))
      << "the slot-20 criterion has no row and is dropped";
}

TEST_F(SearchDialogTest, SearchSetupCancelLeavesBoxesAndListAlone) {
  state.SearchCriteria = List({{0, "Dune"}});
  CriteriaScript("Setup Search Criteria", {{0, "Other"}}, /*ok=*/false);
  Open([&](frmSearch& d) {
    d.txtFieldData[1].UserType("Herbert");
    d.cmdSrcSetup.UserClick();
    EXPECT_EQ(d.txtFieldData[0].Text(), "Dune");
    EXPECT_EQ(d.txtFieldData[1].Text(), "Herbert");
    d.cmdCancel.UserClick();
  });
  EXPECT_EQ(Items(state.SearchCriteria), (std::vector<CriteriaItem>{{0, "Dune"}}));
}

TEST_F(SearchDialogTest, StartAndEndKeysSurviveOkCancelAndClear) {
  CriteriaScript("Setup Alpha Starting Point", {{3, "B"}});
  CriteriaScript("Setup Alpha Ending Point", {{3, "D"}});
  Open([&](frmSearch& d) {
    d.txtFieldData[0].UserType("x");
    d.cmdSetStart.UserClick();
    d.cmdSetEnd.UserClick();
    d.cmdClear.UserClick();
    EXPECT_EQ(d.txtFieldData[0].Text(), "");
    d.cmdCancel.UserClick();
  });
  EXPECT_EQ(Items(state.AlphaStartCriteria), (std::vector<CriteriaItem>{{3, "B"}}));
  EXPECT_EQ(Items(state.AlphaEndCriteria), (std::vector<CriteriaItem>{{3, "D"}}));
  EXPECT_EQ(state.SearchCriteria.Count, 0);
}

TEST_F(SearchDialogTest, CriteriaForSlotsWithoutAUsedRowAreNotShownAndDroppedByOk) {
  state.SearchCriteria = List({{2, "unused"}, {3, "S"}, {20, "pic"}});
  Open([&](frmSearch& d) {
    EXPECT_EQ(d.txtFieldData[2].Text(), "unused") << "kept in the hidden box";
    EXPECT_FALSE(d.txtFieldData[2].Visible());
    EXPECT_EQ(d.txtFieldData[3].Text(), "S");
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(Items(state.SearchCriteria), (std::vector<CriteriaItem>{{3, "S"}}));
  EXPECT_EQ(host.Failures(), "");
}

TEST_F(SearchDialogTest, ReportOutputSetupOpensTheReportSetup) {
  std::string panel;
  host.OnShow("frmReportDest", [](Form& f) {
    static_cast<platform::CommandButton*>(f.FindControl("cmdOK"))->UserClick();
  });
  frmSearch dlg(host, store, state, mode, [&](const std::string& t) { panel = t; });
  host.OnShow("frmSearch", [&](Form&) {
    dlg.cmdRptSetup.UserClick();
    dlg.cmdCancel.UserClick();
  });
  dlg.Show(platform::ShowMode::Modal);
  EXPECT_EQ(panel, "MAIN WINDOW");
  EXPECT_EQ(store.DialogResult, -1);
}

// --- the criteria dialog on its own ------------------------------------------

class CriteriaDialogTest : public SearchDialogTest {
 protected:
  void OpenCriteria(int16_t criteriaMode, const std::function<void(reports::frmCriteria&)>& script) {
    state.CriteriaMode = criteriaMode;
    reports::frmCriteria dlg(host, store, state);
    host.OnShow("frmCriteria", [&](Form&) { script(dlg); });
    dlg.Show(platform::ShowMode::Modal);
  }
};

TEST_F(CriteriaDialogTest, RowsSitAtFixedPitchFromTheTopCornerAndButtonsBelowTheLastRow) {
  Field(0, "Title", 0);  // fields 0 and 2 unused
  Field(20, "Media", 40);
  OpenCriteria(reports::CriteriaSearch, [&](reports::frmCriteria& d) {
    const int px = host.Screen().twipsPerPixelX, py = host.Screen().twipsPerPixelY;
    const int h = d.txtFieldData[0].Height();
    EXPECT_EQ(d.lblFieldName[0].Left(), 120);
    EXPECT_EQ(d.lblFieldName[0].Top(), 120);
    EXPECT_EQ(d.lblFieldName[0].Width(), 14 * store.MaxCharWidth);
    EXPECT_EQ(d.txtFieldData[0].Left(), 120 + 14 * store.MaxCharWidth + 3 * px);
    EXPECT_EQ(d.txtFieldData.Count(), 21);
    EXPECT_FALSE(d.txtFieldData[0].Visible());
    EXPECT_TRUE(d.txtFieldData[1].Visible());
    EXPECT_EQ(d.txtFieldData[1].Top(), 120 + (h + 3 * py));
    EXPECT_TRUE(d.txtFieldData[20].Visible());
    EXPECT_EQ(d.txtFieldData[20].Top(), 120 + 20 * (h + 3 * py));
    EXPECT_TRUE(d.txtFieldData[1].HasFocus()) << "the first visible box";
    EXPECT_GE(d.cmdOK.Top(), d.txtFieldData[20].Top() + h);
    EXPECT_LE(d.cmdOK.Top() + d.cmdOK.Height(), d.ScaleHeight());
    EXPECT_EQ(d.Drawing().size(), 4u * 4u) << "a sunken frame round each visible box";
    d.cmdCancel.UserClick();
  });
}

TEST_F(CriteriaDialogTest, OkRebuildsOnlyTheChosenListInSlotOrderWithTextsAsTyped) {
  state.SearchCriteria = List({{0, "s"}});
  state.AlphaStartCriteria = List({{0, "a"}});
  state.AlphaEndCriteria = List({{3, "old"}, {2, "gone"}});
  OpenCriteria(reports::CriteriaAlphaEnd, [&](reports::frmCriteria& d) {
    EXPECT_EQ(d.Caption(), "Setup Alpha Ending Point");
    EXPECT_EQ(d.txtFieldData[0].Text(), "");
    EXPECT_EQ(d.txtFieldData[3].Text(), "old");
    d.txtFieldData[4].UserType(" z ");
    d.txtFieldData[1].UserType("   ");
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(store.DialogResult, 0);
  EXPECT_EQ(Items(state.AlphaEndCriteria), (std::vector<CriteriaItem>{{1, "   "}, {3, "old"}, {4, " z "}}));
  EXPECT_EQ(Items(state.SearchCriteria), (std::vector<CriteriaItem>{{0, "s"}}));
  EXPECT_EQ(Items(state.AlphaStartCriteria), (std::vector<CriteriaItem>{{0, "a"}}));
}

TEST_F(CriteriaDialogTest, CancelChangesNoList) {
  state.AlphaStartCriteria = List({{0, "a"}});
  OpenCriteria(reports::CriteriaAlphaStart, [&](reports::frmCriteria& d) {
    d.txtFieldData[0].UserSetText("b");
    d.cmdCancel.UserClick();
  });
  EXPECT_EQ(store.DialogResult, -1);
  EXPECT_EQ(Items(state.AlphaStartCriteria), (std::vector<CriteriaItem>{{0, "a"}}));
}

}  // namespace
}  // namespace kelvarin::test_support
