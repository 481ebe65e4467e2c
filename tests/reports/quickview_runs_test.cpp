// The five runs sending their matches to Quick View: how many rows, when
// the window is shown, and what the run leaves behind.
#include "reports/dialogs/frmReportDest.h"
#include "reports/quickview/frmQView.h"
#include "runs_fixture.h"

namespace kelvarin::test_support {
namespace {

using reports::frmQView;

class QuickViewRunTest : public RunsTest {
 protected:
  // Entries 2 and 4 are deleted.
  void Five() {
    cat_.Entry({"Smith", "Boston", "", "A1"});
    cat_.DeletedEntry({"Jones", "Oxford", "", "B1"});
    cat_.Entry({"Adams", "Portland", "", "C1"});
    cat_.DeletedEntry({"Taylor", "Leeds", "", "D1"});
    cat_.Entry({"Smithson", "York", "", "E1"});
  }
  void ListAlphaDialog() {
    host_.OnShowAs<reports::frmListAlpha>("frmListAlpha", [](reports::frmListAlpha& f) { f.cmdOK.UserClick(); });
  }
  // The grid's entry-number column, top to bottom; the window is closed.
  std::vector<std::string>* ExpectGrid() {
    auto* rows = &shownRows_;
    rows->clear();
    host_.OnShowAs<frmQView>("frmQView", [rows](frmQView& f) {
      for (int32_t r = 1; r < f.grdQV.Rows(); ++r) rows->push_back(f.grdQV.TextMatrix(r, 0));
      f.cmdOK.UserClick();
    });
    return rows;
  }
  std::vector<std::string> shownRows_;
};

TEST_F(QuickViewRunTest, EveryRunFillsTheGridInMatchOrderUpToTheMaximum) {
  Five();
  cat_.Settings([](store::CatalogSettings& s) { s.QVMaxLines = 3; });
  Start(store::rdQuickView);
  using Rows = std::vector<std::string>;

  ExpectGrid();
  main().mnuVFindDeleted.UserClick();
  EXPECT_EQ(shownRows_, (Rows{"2", "4"}));

  GlobalSearchDialog("o");  // Boston, Jones, Portland, Taylor, Smithson/York
  ExpectGrid();
  main().mnuVGlobalSearch.UserClick();
  EXPECT_EQ(shownRows_, (Rows{"1", "2", "3"}));

  ListRangeDialog("2", "5");
  ExpectGrid();
  main().mnuVListRange.UserClick();
  EXPECT_EQ(shownRows_, (Rows{"2", "3", "4"}));

  ListAlphaDialog();
  ExpectGrid();
  main().mnuVListAlpha.UserClick();
  EXPECT_EQ(shownRows_, (Rows{"3", "2", "1"}));

  SearchDialog({{1, "o"}}, true);
  ExpectGrid();
  main().cmdSequential.UserClick();
  EXPECT_EQ(shownRows_, (Rows{"1", "3", "5"}));

  // Each run ends with the screen erased and the window gone.
  EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
  EXPECT_EQ(host_.ModelessForms().size(), 1u);
  EXPECT_TRUE(main().Enabled());
}

TEST_F(QuickViewRunTest, OneLineAtMostMeansOneRowInEveryRun) {
  Five();
  cat_.Settings([](store::CatalogSettings& s) { s.QVMaxLines = 1; });
  Start(store::rdQuickView);
  using Rows = std::vector<std::string>;
  ExpectGrid();
  main().mnuVFindDeleted.UserClick();
  EXPECT_EQ(shownRows_, (Rows{"2"}));
  GlobalSearchDialog("o");
  ExpectGrid();
  main().mnuVGlobalSearch.UserClick();
  EXPECT_EQ(shownRows_, (Rows{"1"}));
  ListRangeDialog("1", "5");
  ExpectGrid();
  main().mnuVListRange.UserClick();
  EXPECT_EQ(shownRows_, (Rows{"1"}));
  ListAlphaDialog();
  ExpectGrid();
  main().mnuVListAlpha.UserClick();
  EXPECT_EQ(shownRows_, (Rows{"3"}));
  SearchDialog({{0, "Smith"}}, false);
  ExpectGrid();
  main().cmdAlpha.UserClick();
  EXPECT_EQ(shownRows_, (Rows{"1"}));
}

TEST_F(QuickViewRunTest, NoMatchShowsNoGridWhereTheRunSaysSo) {
  Five();
  Start(store::rdQuickView);
  GlobalSearchDialog("nowhere");
  Expect("No Matches Found");
  main().mnuVGlobalSearch.UserClick();
  EXPECT_EQ(Seen(), (std::vector<std::string>{"ShowModal(frmGlobalSearch): Global Search", "Beep",
                                              Box("No Matches Found")}));
  SearchDialog({{1, "nowhere"}}, true);
  Expect("No Matches Found!!!");
  main().cmdSequential.UserClick();
  EXPECT_EQ(host_.ModelessForms().size(), 1u);
}

TEST_F(QuickViewRunTest, AnAlphabeticalSearchClosesItsIndexBeforeTheGridAndKeepsItsEndPoint) {
  Five();
  Start(store::rdQuickView);
  rs().AlphaEndCriteria.Count = 1;
  rs().AlphaEndCriteria.Items[0] = reports::CriteriaItem{0, "Smithz"};
  int16_t indexWhileShown = 0;
  host_.OnShowAs<frmQView>("frmQView", [&](frmQView& f) {
    indexWhileShown = main().BrowseIndex;
    EXPECT_EQ(f.grdQV.Rows(), 3);
    f.cmdOK.UserClick();
  });
  SearchDialog({{0, "Smith"}}, false);
  main().cmdAlpha.UserClick();
  EXPECT_EQ(indexWhileShown, -1);
  EXPECT_EQ(main().BrowseIndex, -1);
  EXPECT_EQ(rs().AlphaEndCriteria.Count, 1) << "kept for the next search";
  EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
}

TEST_F(QuickViewRunTest, ADeletedEntryEditedFromFindDeletedStaysDeletedAndIsFound) {
  Five();
  Start(store::rdQuickView);
  host_.OnShowAs<frmQView>("frmQView", [](frmQView& f) {
    f.UserKey(platform::key::kDown);
    f.Text1.UserType("Tailor");
    f.cmdOK.UserClick();
  });
  main().mnuVFindDeleted.UserClick();
  store::EntryRecord e;
  ASSERT_TRUE(st().ReadEntry(e, st().CatalogHeader, 4, st().DatFile));
  EXPECT_EQ(e.Status, store::StatusDeleted);
  EXPECT_EQ(e.FieldText[0], "Tailor              ");
  // The next Find Deleted shows it as written.
  host_.OnShowAs<frmQView>("frmQView", [](frmQView& f) {
    EXPECT_EQ(f.grdQV.TextMatrix(2, 1), "Tailor");
    f.cmdOK.UserClick();
  });
  main().mnuVFindDeleted.UserClick();
  // And an alphabetical list finds it under the new name.
  ListAlphaDialog();
  std::vector<std::string>* rows = ExpectGrid();
  main().mnuVListAlpha.UserClick();
  EXPECT_EQ(*rows, (std::vector<std::string>{"3", "2", "1", "5", "4"}));
}

TEST_F(QuickViewRunTest, TheFullTableOf4011RowsOverALargerCatalog) {
  for (int i = 1; i <= 4100; ++i) cat_.Entry({"Name" + std::to_string(i), "Town"});
  Start(store::rdQuickView);
  int32_t rows = 0;
  std::string label;
  host_.OnShowAs<frmQView>("frmQView", [&](frmQView& f) {
    rows = f.grdQV.Rows();
    label = f.lblEntries.Caption();
    EXPECT_EQ(f.VScroll1.Max(), 4012 - 24);
    EXPECT_EQ(f.grdQV.TextMatrix(4011, 0), "4011");
    f.cmdOK.UserClick();
  });
  GlobalSearchDialog("town");
  main().mnuVGlobalSearch.UserClick();
  EXPECT_EQ(rows, 4012);
  EXPECT_EQ(label, "4011");
  EXPECT_EQ(rs().QuickViewEntries.Get(4011), 4011.0f);
}

TEST_F(QuickViewRunTest, ReportSetupOffersQuickView) {
  Five();
  Start(store::rdMonitor);
  host_.AnswerMsgBox(platform::MsgAnswer::OK);  // no report format selected
  host_.OnShowAs<reports::frmReportDest>("frmReportDest", [](reports::frmReportDest& d) {
    EXPECT_TRUE(d.optQuickView.EffectiveEnabled());
    d.optQuickView.UserClick();
    d.cmdOK.UserClick();
  });
  main().mnuOSetup.UserClick();
  EXPECT_EQ(st().CurrentReportDest, store::rdQuickView);
  EXPECT_EQ(Panel("RptDest"), "QUICK VIEW");
}


TEST_F(QuickViewRunTest, AListWithNothingToShowStillShowsAnEmptyGrid) {
  Five();
  Start(store::rdQuickView);
  // The end point lies before the first key: no entry is listed.
  rs().AlphaEndCriteria.Count = 1;
  rs().AlphaEndCriteria.Items[0] = reports::CriteriaItem{0, "Aaa"};
  rs().QuickViewEntries.Set(1, 5);  // left by an earlier run
  ListAlphaDialog();
  host_.OnShowAs<frmQView>("frmQView", [](frmQView& f) {
    EXPECT_EQ(f.RowsFilled(), 0);
    EXPECT_EQ(f.lblEntries.Caption(), "0");
    EXPECT_EQ(f.grdQV.TextMatrix(1, 1), "");
    EXPECT_TRUE(f.Text1.ReadOnly());
    f.cmdOK.UserClick();
  });
  main().mnuVListAlpha.UserClick();
  store::EntryRecord e;
  ASSERT_TRUE(st().ReadEntry(e, st().CatalogHeader, 5, st().DatFile));
  EXPECT_EQ(e.FieldText[0], "Smithson            ") << "nothing written through the old row";
  EXPECT_EQ(rs().AlphaEndCriteria.Count, 0) << "a list forgets its end point";
}

}  // namespace
}  // namespace kelvarin::test_support
