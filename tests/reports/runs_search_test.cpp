// Search through the main window: the alphabetical and the sequential order,
// the sort chain, the speed searches, and Next and Previous through the
// matches.
#include <gtest/gtest.h>

#include <random>

#include "reports/runs/match_tests.h"

#include "platform/text/number_text.h"
#include "runs_fixture.h"

namespace kelvarin::test_support {
namespace {

class SearchRunTest : public RunsTest {
 protected:
  void ExpectShown(float n, const std::string& name, int16_t mode) {
    EXPECT_EQ(st().CurrentEntryNumber, n);
    EXPECT_EQ(Shown(), name);
    EXPECT_EQ(main().CurrentBrowseMode, mode);
    EXPECT_EQ(Panel("SearchMode"), store::BrowseModeText(mode));
    EXPECT_EQ(Panel("Entry"), "Entry # " + platform::PlainNumber(n));
  }
  void ExpectErased() {
    EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
    EXPECT_EQ(st().CurrentEntryNumber, st().CatalogHeader.EntryCount + 1);
    EXPECT_EQ(main().BrowseIndex, -1);
    EXPECT_EQ(Shown(), "");
  }
  void ExpectIdle() {
    EXPECT_TRUE(main().Enabled());
    EXPECT_EQ(host_.MousePointerShape(), platform::kPointerDefault);
    EXPECT_TRUE(host_.ModelessForms().size() == 1) << "only the main window stays shown";
  }
};

TEST_F(SearchRunTest, AlphabeticalSearchStepsThroughMatchesPassingOverDeletedOnes) {
  People();
  Start();
  SearchDialog({{0, "smith"}, {1, "land"}}, false);
  main().cmdAlpha.UserClick();
  EXPECT_EQ(Seen(), (std::vector<std::string>{"ShowModal(frmSearch): Search"}));
  ExpectShown(2, "Smith", store::bmAlphaSearch);
  EXPECT_NE(main().BrowseIndex, -1) << "kept open for Next and Previous";
  ExpectIdle();

  // Smithers is deleted: passed over, it does not hide Smithson.
  Next();
  ExpectShown(4, "Smithson", store::bmAlphaSearch);
  // Smithy is in Boston; Smyth no longer begins with the text: the end.
  host_.ClearRecord();
  Expect("You are at the end.");
  Next();
  EXPECT_EQ(Seen(), (std::vector<std::string>{"Beep", Box("You are at the end.")}));
  ExpectShown(4, "Smithson", store::bmAlphaSearch);
  // The index now stands past Smithson: Previous still gives the match
  // before the one shown.
  Previous();
  ExpectShown(2, "Smith", store::bmAlphaSearch);
  Expect("You are at the beginning.");
  Previous();
  EXPECT_EQ(host_.BeepCount(), 2);
  ExpectShown(2, "Smith", store::bmAlphaSearch);
}

TEST_F(SearchRunTest, AlphabeticalSearchWithoutAMatchErasesTheScreen) {
  People();
  Start();
  // The key text lies beyond every key.
  SearchDialog({{0, "smz"}}, false);
  Expect("No Matches Found");
  main().cmdAlpha.UserClick();
  EXPECT_EQ(host_.BeepCount(), 0);
  ExpectErased();
  ExpectIdle();

  // Keys beginning with the text exist but none is in that city.
  host_.ClearRecord();
  SearchDialog({{0, "smith"}, {1, "Paris"}}, false);
  Expect("No Matches Found");
  main().cmdAlpha.UserClick();
  EXPECT_EQ(Seen(), (std::vector<std::string>{"ShowModal(frmSearch): Search", Box("No Matches Found")}));
  ExpectErased();
}

TEST_F(SearchRunTest, AStartKeyDecidesWhereTheAlphabeticalSearchBegins) {
  People();
  Start();
  rs().AlphaStartCriteria.Items[0] = {0, "Smithson"};
  rs().AlphaStartCriteria.Count = 1;
  SearchDialog({{0, "smith"}}, false);
  main().cmdAlpha.UserClick();
  ExpectShown(4, "Smithson", store::bmAlphaSearch);
  EXPECT_EQ(rs().AlphaStartCriteria.Count, 1) << "a search ending in the main window keeps its start";

  // From a start before the matching keys the walk passes over those that
  // do not begin with the text.
  rs().AlphaStartCriteria.Items[0] = {0, "A"};
  SearchDialog({{0, "smith"}}, false);
  main().cmdAlpha.UserClick();
  ExpectShown(2, "Smith", store::bmAlphaSearch);
}

TEST_F(SearchRunTest, SequentialSearchInASortedCatalogFindsTheTailOfTheChain) {
  People();
  cat_.SortChain({3, 1, 2, 6, 4, 7, 5});
  Start();
  SearchDialog({{3, "B3"}}, true);
  main().cmdSequential.UserClick();
  ExpectShown(5, "Smyth", store::bmSeqSearch);
  EXPECT_EQ(main().BrowseIndex, -1);
  ExpectIdle();

  // The tail links to itself: nothing further is read.
  host_.ClearRecord();
  Expect("No Match Found");
  Next();
  EXPECT_EQ(Seen(), (std::vector<std::string>{"Beep", Box("No Match Found")}));
  // Back along the chain to its head: no Beep.
  Expect("No Match Found");
  Previous();
  EXPECT_EQ(host_.BeepCount(), 1);
  ExpectShown(5, "Smyth", store::bmSeqSearch);
}

TEST_F(SearchRunTest, SequentialStepsFollowTheSortChain) {
  People();
  cat_.SortChain({3, 1, 2, 6, 4, 7, 5});
  Start();
  SearchDialog({{1, "Portland"}}, true);
  main().cmdSequential.UserClick();
  ExpectShown(2, "Smith", store::bmSeqSearch);
  Next();  // 6 is deleted: not a match
  ExpectShown(4, "Smithson", store::bmSeqSearch);
  Next();
  ExpectShown(5, "Smyth", store::bmSeqSearch);
  Previous();
  ExpectShown(4, "Smithson", store::bmSeqSearch);
  Previous();
  ExpectShown(2, "Smith", store::bmSeqSearch);
  Expect("No Match Found");
  Previous();  // Jones and Adams are not in Portland
  EXPECT_EQ(host_.BeepCount(), 0);
}

TEST_F(SearchRunTest, SequentialSearchWhoseFirstMatchIsTheLastEntry) {
  People();
  Start();
  SearchDialog({{3, "C9"}}, true);
  main().cmdSequential.UserClick();
  ExpectShown(7, "Smithy", store::bmSeqSearch);
  Expect("No Match Found");
  Next();
  Expect("No Match Found");
  Previous();
  EXPECT_EQ(host_.BeepCount(), 1) << "only Next beeps";
  ExpectShown(7, "Smithy", store::bmSeqSearch);
}

TEST_F(SearchRunTest, SequentialSearchHonoursTheCaseSetting) {
  People();
  Start();
  st().CaseSensitive = true;
  SearchDialog({{1, "portland"}}, true);
  Expect("No Matches Found!!!");
  main().cmdSequential.UserClick();
  EXPECT_EQ(host_.BeepCount(), 0);
  ExpectErased();

  SearchDialog({{1, "Portland"}}, true);
  main().cmdSequential.UserClick();
  ExpectShown(2, "Smith", store::bmSeqSearch);
}

TEST_F(SearchRunTest, SearchInAnEmptyCatalogFindsNothing) {
  Start();
  for (float sorted : {0.0f, 1.0f}) {
    st().CurrentSettings.Sorted = sorted;
    SearchDialog({{1, "x"}}, true);
    Expect("No Matches Found!!!");
    main().cmdSequential.UserClick();
    ExpectErased();
  }
  ExpectIdle();
}

TEST_F(SearchRunTest, SpeedSearchAsksForTheTextOfItsFieldAndSearchesAlphabetically) {
  People();
  Start();
  ASSERT_TRUE(main().mnuVSpeed1.Visible());
  EXPECT_EQ(main().mnuVSpeed2.Caption(), "Search for Code");
  main().CurrentSearchMode = store::smSequential;
  host_.OnShow("frmEnterName", [](platform::Form& f) {
    EXPECT_EQ(f.Caption(), "Search for Name");
    auto* box = static_cast<platform::TextBox*>(f.FindControl("txtName"));
    EXPECT_EQ(box->MaxLength(), 20);
    box->UserSetText("SMITHS");
    static_cast<platform::CommandButton*>(f.FindControl("cmdOK"))->UserClick();
  });
  main().mnuVSpeed1.UserClick();
  ExpectShown(4, "Smithson", store::bmAlphaSearch);
  EXPECT_EQ(main().CurrentSearchMode, store::smAlpha);
  EXPECT_EQ(rs().KeyField, 0);
  ASSERT_EQ(rs().SearchCriteria.Count, 1);
  EXPECT_EQ(rs().SearchCriteria.Items[0].Text, "SMITHS");

  // The second item searches the Code field.
  SpeedPrompt("b");
  main().mnuVSpeed2.UserClick();
  ExpectShown(2, "Smith", store::bmAlphaSearch);
  Next();
  ExpectShown(5, "Smyth", store::bmAlphaSearch);
}

TEST_F(SearchRunTest, ACancelledSpeedSearchRunsNothingAndKeepsTheCriteria) {
  People();
  Start();
  SpeedPrompt("Jones");
  main().mnuVSpeed1.UserClick();
  ExpectShown(1, "Jones", store::bmAlphaSearch);
  host_.ClearRecord();

  host_.OnShow("frmEnterName", [](platform::Form& f) {
    static_cast<platform::CommandButton*>(f.FindControl("cmdCancel"))->UserClick();
  });
  main().mnuVSpeed2.UserClick();
  ExpectShown(1, "Jones", store::bmAlphaSearch);
  EXPECT_EQ(rs().KeyField, 0);
  EXPECT_EQ(rs().SearchCriteria.Items[0].Text, "Jones");
  // The close box cancels too.
  host_.OnShow("frmEnterName", [](platform::Form& f) { f.UserClose(); });
  main().mnuVSpeed2.UserClick();
  ExpectShown(1, "Jones", store::bmAlphaSearch);
  EXPECT_EQ(Seen(), (std::vector<std::string>{"ShowModal(frmEnterName): Search for Code",
                                               "ShowModal(frmEnterName): Search for Code"}));
}

TEST_F(SearchRunTest, ADestinationWhoseOutputIsNotBuiltRefusesAfterTheFirstMatch) {
  People();
  Start();
  // The grid asks nothing, so nothing is waited for after it.
  st().CurrentReportDest = store::rdQuickView;
  SearchDialog({{1, "Portland"}}, true);
  host_.OnShow("frmQView", [](platform::Form& f) { f.UserKey(platform::key::kReturn); });
  main().cmdSequential.UserClick();
  EXPECT_EQ(host_.DoEventsCount(), 2);
  ExpectErased();
}

// The first-match walk of an alphabetical search stops once the keys have
// passed the search text; it must find what a walk to the last key finds.
TEST_F(SearchRunTest, TheShortenedFirstMatchWalkFindsWhatTheFullWalkFinds) {
  std::mt19937 random(7);
  auto word = [&](size_t length) {
    static const char letters[] = "aAbBcC ";
    std::string w;
    for (size_t i = 0; i < length; ++i) w.push_back(letters[random() % 7]);
    return w;
  };
  for (int i = 0; i < 120; ++i) {
    std::vector<std::string> texts{word(1 + random() % 5), word(2)};
    if (random() % 6 == 0)
      cat_.DeletedEntry(texts);
    else
      cat_.Entry(texts);
  }
  Start();
  for (int trial = 0; trial < 60; ++trial) {
    SCOPED_TRACE(trial);
    std::string keyText = word(1 + random() % 3);
    if (keyText.find_first_not_of(' ') == std::string::npos) keyText = "a";
    std::string cityText = word(1);
    rs().KeyField = 0;
    rs().SearchCriteria.Items[0] = {0, keyText};
    rs().SearchCriteria.Items[1] = {1, cityText};
    rs().SearchCriteria.Count = cityText == " " ? 1 : 2;

    // The full walk, through the store's own index functions.
    float expected = 0;
    int16_t h = st().OpenIndex(0, st().CatalogHeader, st().CatalogName, 0);
    std::string key = keyText;
    while (!key.empty() && key.back() == ' ') key.pop_back();
    for (float n = st().IndexFind(h, key); n != 0; n = st().IndexNext(h)) {
      store::EntryRecord e;
      ASSERT_TRUE(st().ReadEntry(e, st().CatalogHeader, n, st().DatFile));
      if (reports::MatchAlphaSearch(rs(), e) == reports::kAlphaTake) {
        expected = n;
        break;
      }
    }
    st().IndexClose(h);

    host_.OnShowAs<reports::frmSearch>("frmSearch", [&](reports::frmSearch& f) {
      f.optAlpha.UserClick();
      for (int16_t i = 0; i < reports::frmSearch::kRows; ++i) f.txtFieldData[i].SetText("");
      f.txtFieldData[0].UserSetText(keyText);
      if (rs().SearchCriteria.Count == 2) f.txtFieldData[1].UserSetText(cityText);
      f.cmdOK.UserClick();
    });
    if (expected == 0) Expect("No Matches Found");
    main().cmdAlpha.UserClick();
    EXPECT_EQ(host_.ExpectAllConsumed(), "");
    if (expected == 0) {
      EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
    } else {
      EXPECT_EQ(main().CurrentBrowseMode, store::bmAlphaSearch);
      EXPECT_EQ(st().CurrentEntryNumber, expected);
    }
  }
}

}  // namespace
}  // namespace kelvarin::test_support
