// Stepping that must not lose its place: Previous after unsuccessful Nexts
// in every browse mode, keys that agree on the 24 characters the index
// keeps, damaged sort chains, and what an output that cannot open leaves.
#include <gtest/gtest.h>

#include <functional>

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
  // From the last match of a run: `fails` Nexts that find nothing, then
  // Previous must give the match before the last one and Next the last one
  // again.
  void FailThenBack(const std::function<void()>& run, int16_t mode, const std::vector<float>& matches,
                    const std::string& endMessage) {
    for (int fails : {1, 2, 5}) {
      SCOPED_TRACE("after " + std::to_string(fails) + " unsuccessful Nexts");
      run();
      ExpectAt(matches.front(), mode);
      for (size_t i = 1; i < matches.size(); ++i) {
        Next();
        ExpectAt(matches[i], mode);
      }
      for (int k = 0; k < fails; ++k) {
        Expect(endMessage);
        Next();
        ExpectAt(matches.back(), mode);
      }
      Previous();
      ExpectAt(matches[matches.size() - 2], mode);
      Next();
      ExpectAt(matches.back(), mode);
    }
  }
};

TEST_F(StepRunTest, PreviousAfterUnsuccessfulNextsInTheAlphabeticalModes) {
  PeopleAndZed();
  Start();
  // The end text SMITHS keeps Smithson; Smithy is the first past it.
  FailThenBack(
      [&] {
        ListAlphaDialog("J", "SMITHS");
        main().mnuVListAlpha.UserClick();
      },
      store::bmAlphaList, {1, 2, 6, 4}, "You are at the end.");
  // Smithy (Boston) is passed over, Smyth ends the keys beginning with Smith,
  // Zed lies beyond, and then the index runs out.
  rs().AlphaStartCriteria.Count = 0;
  rs().AlphaEndCriteria.Count = 0;
  FailThenBack(
      [&] {
        SearchDialog({{0, "smith"}, {1, "land"}}, false);
        main().cmdAlpha.UserClick();
      },
      store::bmAlphaSearch, {2, 4}, "You are at the end.");
}

TEST_F(StepRunTest, PreviousAfterUnsuccessfulNextsInTheNumberModes) {
  PeopleAndZed();
  Start();
  FailThenBack(
      [&] {
        SearchDialog({{1, "Portland"}}, true);
        main().cmdSequential.UserClick();
      },
      store::bmSeqSearch, {2, 4, 5}, "No Match Found");
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
  Next();
  Next();
  ExpectAt(5, store::bmGlobalSearch);
  rs().SearchString = "boston";
  Previous();
  ExpectAt(1, store::bmGlobalSearch);
  Next();
  ExpectAt(7, store::bmGlobalSearch);

  SearchDialog({{1, "Portland"}}, true);
  main().cmdSequential.UserClick();
  Next();
  Next();
  ExpectAt(5, store::bmSeqSearch);
  rs().SearchCriteria.Items[0].Text = "Lands";
  Previous();
  ExpectAt(3, store::bmSeqSearch);
}

TEST_F(StepRunTest, PreviousAfterUnsuccessfulNextsAlongTheSortChain) {
  PeopleAndZed();
  cat_.SortChain({3, 1, 2, 6, 4, 7, 5, 8});
  Start();
  FailThenBack(
      [&] {
        SearchDialog({{1, "Portland"}}, true);
        main().cmdSequential.UserClick();
      },
      store::bmSeqSearch, {2, 4, 5}, "No Match Found");
}

// A sort chain whose last link loops back to an earlier entry (Adams ->
// Jones -> Smith -> Adams): the walk ends where the chain is broken.
TEST_F(StepRunTest, ASortChainLoopingBackEndsTheWalk) {
  cat_.Entry({"Adams", "Portland"});
  cat_.Entry({"Jones", "Portland"});
  cat_.Entry({"Smith", "Portland"});
  cat_.SortChain({1, 2, 3});
  Start();
  store::EntryRecord e;
  ASSERT_TRUE(st().ReadEntry(e, st().CatalogHeader, 3, st().DatFile));
  e.NextLink = 1;
  ASSERT_TRUE(st().WriteEntry(e, st().CatalogHeader, 3, st().DatFile));
  SearchDialog({{1, "Portland"}}, true);
  main().cmdSequential.UserClick();
  ExpectAt(1, store::bmSeqSearch);
  Next();
  Next();
  ExpectAt(3, store::bmSeqSearch);
  Expect("No Match Found");
  Next();
  ExpectAt(3, store::bmSeqSearch);
  // Going back the links are sound.
  Previous();
  ExpectAt(2, store::bmSeqSearch);
}

// Titles of 30 characters that agree on their first 24: the index orders
// them by entry number, so the walk must look past entries that fail the
// longer text.
class LongKeyRunTest : public StepRunTest {
 protected:
  LongKeyRunTest() {
    cat_.Field(0, "Title", 30, store::KindKey);
    cat_.Entry({"ABCDEFGHIJKLMNOPQRSTUVWXYZ1"});
    cat_.Entry({"ABCDEFGHIJKLMNOPQRSTUVWXAA"});
    cat_.Entry({"ABCDEFGHIJKLMNOPQRSTUVWXYZ2"});
    cat_.Entry({"AAA"});
    cat_.Entry({"ABCDEFGHIJKLMNOPQRSTUVWXZZ"});
    cat_.Entry({"B"});
  }
};

TEST_F(LongKeyRunTest, ASearchTextLongerThanTheKeyReachesEveryEntryBeginningWithIt) {
  Start();
  SearchDialog({{0, "abcdefghijklmnopqrstuvwxyz"}}, false);
  main().cmdAlpha.UserClick();
  ExpectAt(1, store::bmAlphaSearch);
  Next();
  ExpectAt(3, store::bmAlphaSearch);
  Expect("You are at the end.");
  Next();
  ExpectAt(3, store::bmAlphaSearch);
  Previous();
  ExpectAt(1, store::bmAlphaSearch);
  // Only the last of the entries that agree on 24 characters matches.
  SearchDialog({{0, "ABCDEFGHIJKLMNOPQRSTUVWXZ"}}, false);
  main().cmdAlpha.UserClick();
  ExpectAt(5, store::bmAlphaSearch);
}

// Entries 1, 2, 3 and 5 share their 24-character key: the index must be put
// back on the one shown among them, not on the first of them.
TEST_F(LongKeyRunTest, PreviousAfterUnsuccessfulNextsAmongEqualKeys) {
  Start();
  SearchDialog({{0, "ABCDEFGHIJKLMNOPQRSTUVWX"}}, false);
  main().cmdAlpha.UserClick();
  for (float n : {2, 3, 5}) {
    Next();
    ExpectAt(n, store::bmAlphaSearch);
  }
  for (int k = 0; k < 2; ++k) {
    Expect("You are at the end.");
    Next();
  }
  Previous();
  ExpectAt(3, store::bmAlphaSearch);
}

TEST_F(LongKeyRunTest, AnEndTextLongerThanTheKeyKeepsTheEntriesInsideIt) {
  Start();
  // Entry 2 (…XAA) lies inside the end text …XAB; 1, 3 and 5 lie past it.
  ListAlphaDialog("", "ABCDEFGHIJKLMNOPQRSTUVWXAB");
  main().mnuVListAlpha.UserClick();
  ExpectAt(4, store::bmAlphaList);
  Next();
  ExpectAt(2, store::bmAlphaList);
  Expect("You are at the end.");
  Next();
  ExpectAt(2, store::bmAlphaList);

  rs().AlphaStartCriteria.Count = 0;
  SearchDialog({{0, "ABC"}}, false);
  main().cmdAlpha.UserClick();
  ExpectAt(2, store::bmAlphaSearch);
  Expect("You are at the end.");
  Next();
  ExpectAt(2, store::bmAlphaSearch);
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
