// Stepping that must not lose its place: Previous after unsuccessful Nexts
// in every browse mode, keys that agree on the 24 characters the index
// keeps, damaged sort chains, and what an output that cannot open leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "reports/quickview/frmQView.h"
#include "reports/runs/main_window_runs.h"
#include "runs_fixture.h"

namespace kelvarin::test_support {
namespace {

class StepRunTest : public RunsTest {
 protected:
  // People, and Zed 8 (deleted) after the last key.
  void PeopleAndZed() {
    People();
    cat_.DeletedEntry({"Zed", "Leeds", "", "D4"});
  }
  void ExpectAt(float n, int16_t mode) {
    EXPECT_EQ(st().CurrentEntryNumber, n);
    EXPECT_EQ(main().CurrentBrowseMode, mode);
  }
  void Search(std::vector<std::pair<int16_t, std::string>> texts, bool sequential) {
    SearchDialog(std::move(texts), sequential);
    (sequential ? main().cmdSequential : main().cmdAlpha).UserClick();
  }
  void ListAlpha(const std::string& start, const std::string& end) {
    ListAlphaDialog(start, end);
    main().mnuVListAlpha.UserClick();
  }
  // Next or Previous (telling `told` when given), then entry n in `mode`.
  void StepTo(bool next, float n, int16_t mode, const char* told = nullptr) {
    if (told) Expect(told);
    next ? Next() : Previous();
    ExpectAt(n, mode);
  }
  // From the last match of a run: `fails` Nexts that find nothing, then
  // Previous must give the match before the last one and Next the last one
  // again. Every step but the list range's shows the hourglass.
  void FailThenBack(const std::function<void()>& run, int16_t mode, const std::vector<float>& matches,
                    const std::string& endMessage) {
    for (int fails : {1, 2, 5}) {
      SCOPED_TRACE("after " + std::to_string(fails) + " unsuccessful Nexts");
      run();
      ExpectAt(matches.front(), mode);
      for (size_t i = 1; i < matches.size(); ++i) StepTo(true, matches[i], mode);
      host_.ClearRecord();
      for (int k = 0; k < fails; ++k) StepTo(true, matches.back(), mode, endMessage.c_str());
      StepTo(false, matches[matches.size() - 2], mode);
      const std::vector<std::string>& seen = host_.Transcript();
      EXPECT_EQ(std::count(seen.begin(), seen.end(), "Pointer(11)"), mode == store::bmSeqList ? 0 : fails + 1);
      StepTo(true, matches.back(), mode);
    }
  }
};

TEST_F(StepRunTest, PreviousAfterUnsuccessfulNextsInTheAlphabeticalModes) {
  PeopleAndZed();
  Start();
  // Smithy (Boston) is passed over, Smyth ends the keys beginning with Smith,
  // Zed lies beyond, and then the index runs out.
  FailThenBack([&] { Search({{0, "smith"}, {1, "land"}}, false); }, store::bmAlphaSearch, {2, 4},
               "You are at the end.");
  // The end text SMITHS keeps Smithson; Smithy is the first past it. The
  // search's texts do not apply. Ending on entry 1 too.
  FailThenBack([&] { ListAlpha("J", "SMITHS"); }, store::bmAlphaList, {1, 2, 6, 4}, "You are at the end.");
  FailThenBack([&] { ListAlpha("A", "JONES"); }, store::bmAlphaList, {3, 1}, "You are at the end.");
}

TEST_F(StepRunTest, PreviousAfterUnsuccessfulNextsInTheNumberModes) {
  PeopleAndZed();
  Start();
  FailThenBack([&] { Search({{1, "Portland"}}, true); }, store::bmSeqSearch, {2, 4, 5}, "No Match Found");
  FailThenBack(
      [&] {
        GlobalSearchDialog("portland");
        main().mnuVGlobalSearch.UserClick();
      },
      store::bmGlobalSearch, {2, 4, 5, 6}, "No matches found.");
  FailThenBack([&] { main().mnuVFindDeleted.UserClick(); }, store::bmFindDeleted, {6, 8}, "No More Deleted Records");
  FailThenBack(
      [&] {
        ListRangeDialog("5", "8");
        main().mnuVListRange.UserClick();
      },
      store::bmSeqList, {5, 6, 7, 8}, "End of Current List");
}

// Steps read the texts as they stand when the step is made (search and
// replace changes the global text, Search Setup the criteria).
TEST_F(StepRunTest, StepsBothWaysUseTheTextsOfTheMoment) {
  PeopleAndZed();
  Start();
  GlobalSearchDialog("portland");
  main().mnuVGlobalSearch.UserClick();
  StepTo(true, 4, store::bmGlobalSearch);
  rs().SearchString = "boston";
  StepTo(true, 7, store::bmGlobalSearch);
  rs().SearchString = "lands";
  StepTo(false, 3, store::bmGlobalSearch);

  Search({{1, "Portland"}}, true);
  StepTo(true, 4, store::bmSeqSearch);
  rs().SearchCriteria.Items[0].Text = "Lands";
  StepTo(false, 3, store::bmSeqSearch);
}

TEST_F(StepRunTest, PreviousAfterUnsuccessfulNextsAlongTheSortChain) {
  PeopleAndZed();
  cat_.SortChain({3, 1, 2, 6, 4, 7, 5, 8});
  Start();
  FailThenBack([&] { Search({{1, "Portland"}}, true); }, store::bmSeqSearch, {2, 4, 5}, "No Match Found");
}

// The sort chain Adams 3, Jones 1, Smith 2, Smithers 6, Smithson 4, Smithy
// 7, Smyth 5, damaged after Smithson: it links on to Jones, whose back link
// names Adams (a loop), to no entry, to itself short of the tail, round to
// Adams, the head, whose back link names Smithson (a ring whose back links
// agree), or to 3.4. No walk shows an entry twice, and each tells once that
// the order is damaged, not that nothing matches: Smithy and Smyth were
// never looked at. (A step takes a self link for the chain's end.)
TEST_F(StepRunTest, ADamagedSortChainEndsEveryWalkAlongIt) {
  People();
  cat_.SortChain({3, 1, 2, 6, 4, 7, 5});
  Start();
  for (float link : {1.0f, 0.0f, 4.0f, 3.0f, 3.4f}) {
    SCOPED_TRACE(link);
    const bool ring = link >= 3;
    Relink(4, link, 6);
    Relink(3, 1, ring ? 4 : 3);
    st().CurrentReportDest = store::rdMonitor;
    Expect(reports::kSortOrderDamaged);
    Search({{3, "C9"}}, true);
    ExpectAt(st().CatalogHeader.EntryCount + 1, store::bmNewEntry);

    Search({{1, "Portland"}}, true);
    StepTo(true, 4, store::bmSeqSearch);
    StepTo(true, 4, store::bmSeqSearch, link == 4 ? "No Match Found" : reports::kSortOrderDamaged);
    StepTo(false, 2, store::bmSeqSearch);
    StepTo(false, 2, store::bmSeqSearch, ring ? reports::kSortOrderDamaged : "No Match Found");

    // What was found before the damage is still put out.
    st().CurrentReportDest = store::rdQuickView;
    std::vector<std::string> rows;
    host_.OnShowAs<reports::frmQView>("frmQView", [&](reports::frmQView& f) {
      for (int32_t r = 1; r < f.grdQV.Rows(); ++r) rows.push_back(f.grdQV.TextMatrix(r, 0));
      f.cmdOK.UserClick();
    });
    Expect(reports::kSortOrderDamaged);
    Search({{1, "Portland"}}, true);
    EXPECT_EQ(rows, (std::vector<std::string>{"2", "4"}));
  }
}

// Titles of 30 characters that agree on their first 24: the index orders
// them by entry number, so the walk must look past entries that fail the
// longer text.
class LongKeyRunTest : public StepRunTest {
 protected:
  LongKeyRunTest() {
    cat_.Field(0, "Title", 30, store::KindKey);
    // Cut to 24 characters, 9 and 10 end in a blank that a key lookup drops.
    for (const char* title : {"ABCDEFGHIJKLMNOPQRSTUVWXYZ1", "ABCDEFGHIJKLMNOPQRSTUVWXAA", "ABCDEFGHIJKLMNOPQRSTUVWXYZ2",
                              "AAA", "ABCDEFGHIJKLMNOPQRSTUVWXZZ", "B", "Collected Short Stories",
                              "Collected Short Stories", "Collected Short Stories of Saki",
                              "Collected Short Stories of Kafka"})
      cat_.Entry({title});
  }
};

TEST_F(LongKeyRunTest, ASearchTextLongerThanTheKeyReachesEveryEntryBeginningWithIt) {
  Start();
  Search({{0, "abcdefghijklmnopqrstuvwxyz"}}, false);
  ExpectAt(1, store::bmAlphaSearch);
  StepTo(true, 3, store::bmAlphaSearch);
  StepTo(true, 3, store::bmAlphaSearch, "You are at the end.");
  StepTo(false, 1, store::bmAlphaSearch);
  // Only the last of the entries that agree on 24 characters matches.
  Search({{0, "ABCDEFGHIJKLMNOPQRSTUVWXZ"}}, false);
  ExpectAt(5, store::bmAlphaSearch);
}

// Entries 1, 2, 3 and 5 share their 24-character key, as do 9 and 10: the
// index must be put back on the one shown among them, not on the first of
// them nor on the shorter keys 7 and 8 before them.
TEST_F(LongKeyRunTest, PreviousAfterUnsuccessfulNextsAmongEqualKeys) {
  Start();
  FailThenBack([&] { Search({{0, "ABCDEFGHIJKLMNOPQRSTUVWX"}}, false); }, store::bmAlphaSearch, {1, 2, 3, 5},
               "You are at the end.");
  // And Next after an unsuccessful Previous.
  Search({{0, "ABCDEFGHIJKLMNOPQRSTUVWX"}}, false);
  StepTo(false, 1, store::bmAlphaSearch, "You are at the beginning.");
  StepTo(true, 2, store::bmAlphaSearch);
  FailThenBack([&] { Search({{0, "collected short stories"}}, false); }, store::bmAlphaSearch, {7, 8, 9, 10},
               "You are at the end.");
  FailThenBack([&] { ListAlpha("Collected", ""); }, store::bmAlphaList, {7, 8, 9, 10}, "You are at the end.");
}

TEST_F(LongKeyRunTest, AnEndTextLongerThanTheKeyKeepsTheEntriesInsideIt) {
  Start();
  // Entry 2 (…XAA) lies inside the end text …XAB; 1, 3 and 5 lie past it,
  // and are passed over both ways.
  ListAlpha("", "ABCDEFGHIJKLMNOPQRSTUVWXAB");
  ExpectAt(4, store::bmAlphaList);
  StepTo(true, 2, store::bmAlphaList);
  StepTo(true, 2, store::bmAlphaList, "You are at the end.");
  StepTo(false, 4, store::bmAlphaList);

  rs().AlphaStartCriteria.Count = 0;
  Search({{0, "ABC"}}, false);
  ExpectAt(2, store::bmAlphaSearch);
  StepTo(true, 2, store::bmAlphaSearch, "You are at the end.");
  StepTo(false, 2, store::bmAlphaSearch, "You are at the beginning.");
}

TEST_F(StepRunTest, AnAlphabeticalSearchIntoQuickViewKeepsItsStartAndEnd) {
  PeopleAndZed();
  Start(store::rdQuickView);
  rs().AlphaStartCriteria.Items[0] = {0, "S"};
  rs().AlphaStartCriteria.Count = 1;
  rs().AlphaEndCriteria.Items[0] = {0, "SMITHS"};
  rs().AlphaEndCriteria.Count = 1;
  SearchDialog({{0, "smith"}}, false);
  host_.OnShow("frmQView", [](platform::Form& f) { f.UserKey(platform::key::kReturn); });
  main().cmdAlpha.UserClick();
  EXPECT_EQ(rs().AlphaStartCriteria.Count, 1);
  EXPECT_EQ(rs().AlphaEndCriteria.Count, 1);
  EXPECT_EQ(main().BrowseIndex, -1);
  EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
  EXPECT_TRUE(main().Enabled());
}

// The settings file's search mode: 0 (also text that reads as no number)
// is the alphabetical order, anything else the sequential one.
TEST_F(StepRunTest, StartUpReadsOnlyZeroAsTheAlphabeticalOrder) {
  PeopleAndZed();
  for (const char* stored : {"1", "0", "2", "-1", "x"}) {
    SCOPED_TRACE(stored);
    platform::WritePrivateProfileString("Search", "SearchMode", stored, dir_.File("QAV.INI"));
    program_.reset();
    Start();
    const bool alpha = std::string(stored) == "0" || std::string(stored) == "x";
    EXPECT_EQ(main().CurrentSearchMode, alpha ? store::smAlpha : store::smSequential);
  }
}

}  // namespace
}  // namespace kelvarin::test_support
