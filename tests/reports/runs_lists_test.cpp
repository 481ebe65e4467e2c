// Find Deleted, Global Search, List Range and List Alphabetically through
// the main window, Next and Previous at both ends of each, and the progress
// gauge of a long walk.
#include <gtest/gtest.h>

#include "runs_fixture.h"

namespace kelvarin::test_support {
namespace {

class ListRunTest : public RunsTest {
 protected:
  // Entries 2 and 4 are deleted; Oxford appears in entry 2's city and in
  // entry 4's picture reference (slot 20).
  void Five() {
    cat_.Entry({"Smith", "Boston", "", "A1"});
    cat_.DeletedEntry({"Jones", "Oxford", "", "B1"});
    cat_.Entry({"Adams", "Portland", "", "C1"});
    cat_.DeletedEntry({"Taylor", "Leeds", "", "D1"});
    cat_.Entry({"Smithson", "York", "", "E1"});
  }
  void ExpectAt(float n, const std::string& name, int16_t mode) {
    EXPECT_EQ(st().CurrentEntryNumber, n);
    EXPECT_EQ(Shown(), name);
    EXPECT_EQ(main().CurrentBrowseMode, mode);
    EXPECT_EQ(Panel("SearchMode"), store::BrowseModeText(mode));
  }
  // A step that finds nothing: Beep and the message, the entry stays.
  void ExpectEndStep(bool next, const std::string& message, float n, const std::string& name, int16_t mode) {
    host_.ClearRecord();
    Expect(message);
    next ? Next() : Previous();
    EXPECT_EQ(Seen(), (std::vector<std::string>{"Beep", Box(message)}));
    ExpectAt(n, name, mode);
  }
};

TEST_F(ListRunTest, FindDeletedShowsTheFirstAndStepsBetweenDeletedEntries) {
  Five();
  Start();
  main().mnuVFindDeleted.UserClick();
  EXPECT_EQ(Seen(), std::vector<std::string>{});
  ExpectAt(2, "Jones", store::bmFindDeleted);
  EXPECT_EQ(Panel("Deleted"), "DELETED");
  EXPECT_TRUE(main().Enabled());
  EXPECT_EQ(host_.MousePointerShape(), platform::kPointerDefault);
  Next();
  ExpectAt(4, "Taylor", store::bmFindDeleted);
  ExpectEndStep(true, "No More Deleted Records", 4, "Taylor", store::bmFindDeleted);
  Previous();
  ExpectAt(2, "Jones", store::bmFindDeleted);
  ExpectEndStep(false, "Start of Current List", 2, "Jones", store::bmFindDeleted);
}

TEST_F(ListRunTest, FindDeletedWithoutDeletedEntriesBeepsAndErases) {
  cat_.Entry({"Smith"});
  cat_.Entry({"Jones"});
  Start();
  main().ShowEntryNumbered(1);
  Expect("No Deleted Records Found");
  main().mnuVFindDeleted.UserClick();
  EXPECT_EQ(Seen(), (std::vector<std::string>{"Beep", Box("No Deleted Records Found")}));
  EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
  EXPECT_EQ(st().CurrentEntryNumber, 3.0f);
}

TEST_F(ListRunTest, GlobalSearchFindsTextInAnySlotOfDeletedEntriesToo) {
  Five();
  cat_.Entry({"Brown", "Oxford"});  // 6: Oxford twice in one entry counts once
  Start();
  // Entry 4's picture reference, written after the builder's texts.
  {
    store::EntryRecord e;
    ASSERT_TRUE(st().ReadEntry(e, st().CatalogHeader, 4, st().DatFile));
    e.FieldText[20] = "OXFORD.BMP  ";
    ASSERT_TRUE(st().WriteEntry(e, st().CatalogHeader, 4, st().DatFile));
  }
  GlobalSearchDialog("oxford");
  main().mnuVGlobalSearch.UserClick();
  EXPECT_EQ(Seen(), (std::vector<std::string>{"ShowModal(frmGlobalSearch): Global Search"}));
  ExpectAt(2, "Jones", store::bmGlobalSearch);
  Next();
  ExpectAt(4, "Taylor", store::bmGlobalSearch);
  Next();
  ExpectAt(6, "Brown", store::bmGlobalSearch);
  ExpectEndStep(true, "No matches found.", 6, "Brown", store::bmGlobalSearch);
  // A step reads the search text as it stands now.
  rs().SearchString = "smith";
  Previous();
  ExpectAt(5, "Smithson", store::bmGlobalSearch);
  Previous();
  ExpectAt(1, "Smith", store::bmGlobalSearch);
  ExpectEndStep(false, "No matches found.", 1, "Smith", store::bmGlobalSearch);
}

TEST_F(ListRunTest, GlobalSearchWithoutAMatchBeepsAndErases) {
  Five();
  Start();
  GlobalSearchDialog("Paris");
  Expect("No Matches Found");
  main().mnuVGlobalSearch.UserClick();
  EXPECT_EQ(Seen(), (std::vector<std::string>{"ShowModal(frmGlobalSearch): Global Search", "Beep",
                                               Box("No Matches Found")}));
  EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
  // Cancelled in its dialog: nothing runs.
  host_.ClearRecord();
  host_.OnShowAs<reports::frmGlobalSearch>("frmGlobalSearch",
                                           [](reports::frmGlobalSearch& f) { f.cmdCancel.UserClick(); });
  main().ShowEntryNumbered(3);
  main().mnuVGlobalSearch.UserClick();
  ExpectAt(3, "Adams", store::bmEdit);
}

TEST_F(ListRunTest, ListRangeShowsItsFirstEntryWithoutAGaugeAndStepsByOne) {
  Five();
  Start();
  ListRangeDialog("2", "4");
  main().mnuVListRange.UserClick();
  // No gauge and no hourglass: the first entry is shown at once, deleted or not.
  EXPECT_EQ(host_.Transcript(), (std::vector<std::string>{"ShowModal(frmListRange): List Range"}));
  ExpectAt(2, "Jones", store::bmSeqList);
  Next();
  Next();
  ExpectAt(4, "Taylor", store::bmSeqList);
  ExpectEndStep(true, "End of Current List", 4, "Taylor", store::bmSeqList);
  Previous();
  Previous();
  ExpectAt(2, "Jones", store::bmSeqList);
  ExpectEndStep(false, "Start of Current List", 2, "Jones", store::bmSeqList);
}

TEST_F(ListRunTest, ListAlphabeticallyBetweenStartAndEndKeys) {
  // In name order: Adams 3, Jones 2, Smith 1, Smithson 5, Taylor 4.
  Five();
  Start();
  ListAlphaDialog("J", "SMITH");
  main().mnuVListAlpha.UserClick();
  ExpectAt(2, "Jones", store::bmAlphaList);
  EXPECT_NE(main().BrowseIndex, -1);
  Next();
  ExpectAt(1, "Smith", store::bmAlphaList);
  // The end text SMITH keeps SMITHSON.
  Next();
  ExpectAt(5, "Smithson", store::bmAlphaList);
  ExpectEndStep(true, "You are at the end.", 5, "Smithson", store::bmAlphaList);
  Previous();
  ExpectAt(1, "Smith", store::bmAlphaList);
  // A list in the main window keeps its start and end.
  EXPECT_EQ(rs().AlphaStartCriteria.Count, 1);
  EXPECT_EQ(rs().AlphaEndCriteria.Count, 1);
}

TEST_F(ListRunTest, ListAlphabeticallyWithoutStartBeginsAtTheFirstKey) {
  Five();
  Start();
  ListAlphaDialog("", "");
  main().mnuVListAlpha.UserClick();
  ExpectAt(3, "Adams", store::bmAlphaList);
  ExpectEndStep(false, "You are at the beginning.", 3, "Adams", store::bmAlphaList);
  Next();
  ExpectAt(2, "Jones", store::bmAlphaList);
}

TEST_F(ListRunTest, ListAlphabeticallyFromAStartKeyBeyondTheLastKeyFindsNothing) {
  Five();
  Start();
  ListAlphaDialog("Zed", "");
  Expect("No Matches Found");
  main().mnuVListAlpha.UserClick();
  EXPECT_EQ(host_.BeepCount(), 0);
  EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
  EXPECT_EQ(main().BrowseIndex, -1);
}

TEST_F(ListRunTest, ListsWaitForTheMessageLoopAfterTheOutputsQuestion) {
  Five();
  Start(store::rdDbase);
  // Yields: after the dialog, before opening the output, after its answer.
  ListRangeDialog("1", "5");
  host_.OnShow("frmEnterName", [](platform::Form& f) { f.UserClose(); });  // the export name: Cancel
  main().mnuVListRange.UserClick();
  EXPECT_EQ(host_.DoEventsCount(), 3);
  EXPECT_TRUE(main().Enabled());
  EXPECT_EQ(host_.ModelessForms().size(), 1u);

  // After the dialog and after the output's answer.
  host_.ClearRecord();
  ListAlphaDialog("", "");
  host_.OnShow("frmEnterName", [](platform::Form& f) { f.UserClose(); });  // the export name: Cancel
  main().mnuVListAlpha.UserClick();
  EXPECT_EQ(host_.DoEventsCount(), 2);

  // The grid asks nothing: only the dialog's yield.
  st().CurrentReportDest = store::rdQuickView;
  host_.ClearRecord();
  ListAlphaDialog("", "");
  host_.OnShow("frmQView", [](platform::Form& f) { f.UserKey(platform::key::kReturn); });
  main().mnuVListAlpha.UserClick();
  EXPECT_EQ(host_.DoEventsCount(), 1);
}

// A catalog long enough for the gauge to show (300 entries: a yield every
// 3 entries), whose only match is the last entry; the first is deleted.
class GaugeRunTest : public ListRunTest {
 protected:
  void Long() {
    cat_.DeletedEntry({"Name1001", "Town"});
    for (int i = 2; i < 300; ++i) cat_.Entry({"Name" + std::to_string(1000 + i), "Town"});
    cat_.DeletedEntry({"Needle", "Haystack"});
  }
};

TEST_F(GaugeRunTest, TheWalkRunsBusyAndCancelStopsIt) {
  Long();
  Start();
  GlobalSearchDialog("needle");
  // Yields: after the dialog, after opening the output, then the gauge's.
  bool checked = false;
  host_.AtDoEvents(3, [&] {
    checked = true;
    EXPECT_FALSE(main().Enabled());
    EXPECT_EQ(host_.MousePointerShape(), platform::kPointerHourglass);
  });
  host_.CancelGaugeAfter(3);
  Expect("No Matches Found");
  main().mnuVGlobalSearch.UserClick();
  EXPECT_TRUE(checked);
  EXPECT_EQ(Seen(), (std::vector<std::string>{"ShowModal(frmGlobalSearch): Global Search",
                                               "ShowModeless(frmGauge): Searching Globally....", "Hide(frmGauge)",
                                               "Beep", Box("No Matches Found")}));
  EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
  EXPECT_TRUE(main().Enabled());
  EXPECT_EQ(host_.MousePointerShape(), platform::kPointerDefault);

  // Left to run, the walk finds the last entry.
  host_.ClearRecord();
  GlobalSearchDialog("needle");
  main().mnuVGlobalSearch.UserClick();
  EXPECT_EQ(Seen(), (std::vector<std::string>{"ShowModal(frmGlobalSearch): Global Search",
                                               "ShowModeless(frmGauge): Searching Globally....", "Hide(frmGauge)"}));
  ExpectAt(300, "Needle", store::bmGlobalSearch);
  EXPECT_TRUE(main().Enabled());
}

TEST_F(GaugeRunTest, CancelDuringASearchEndsItWithoutAMatch) {
  Long();
  Start();
  SearchDialog({{1, "Haystack"}}, true);
  // Yields: after the dialog, after erasing, then the gauge's.
  host_.CancelGaugeAfter(4);
  Expect("No Matches Found!!!");
  main().cmdSequential.UserClick();
  EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
  EXPECT_TRUE(main().Enabled());
  EXPECT_TRUE(host_.ModelessForms().size() == 1);
}

TEST_F(GaugeRunTest, DeletedEntryStepsYieldEveryTwentyEntries) {
  Long();
  Start();
  main().mnuVFindDeleted.UserClick();
  ExpectAt(1, "Name1001", store::bmFindDeleted);
  host_.ClearRecord();
  Next();
  ExpectAt(300, "Needle", store::bmFindDeleted);
  EXPECT_EQ(host_.DoEventsCount(), 15);  // 20, 40, ..., 300
  host_.ClearRecord();
  Previous();
  ExpectAt(1, "Name1001", store::bmFindDeleted);
  EXPECT_EQ(host_.DoEventsCount(), 14);  // 280, 260, ..., 20
}

}  // namespace
}  // namespace kelvarin::test_support

namespace kelvarin::test_support {
namespace {

class ReportsMenuTest : public RunsTest {};

// Reports, Setup opens the report settings; its OK reaches the main window's
// status bar, the catalog's settings and QAV.INI.
TEST_F(ReportsMenuTest, SetupOpensTheReportSettingsAndItsOkReachesTheMainWindow) {
  Start();
  ASSERT_TRUE(main().mnuOSetup.Visible());
  Expect("No report format selected. Printer and file output disabled.  Go to the Report Maintenance "
         "screen and select a report format.");
  host_.OnShowAs<reports::frmReportDest>("frmReportDest", [](reports::frmReportDest& f) {
    f.txtPageLength.UserSetText("50");
    f.cmdOK.UserClick();
  });
  main().mnuOSetup.UserClick();
  EXPECT_EQ(st().CurrentSettings.PageLength, 50);
  EXPECT_EQ(Panel("RptDest"), "MAIN WINDOW");
  EXPECT_EQ(platform::GetPrivateProfileString("Reports", "ReportDest", "", dir_.File("QAV.INI")), "0");
}

}  // namespace
}  // namespace kelvarin::test_support
