// The tests that decide which entries a search or an alphabetical list
// takes, on entries built in memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reports/report_state.h"
#include "reports/runs/match_tests.h"
#include "store/types.h"

namespace kelvarin::reports {
namespace {

CriteriaList List(std::vector<CriteriaItem> items) {
  CriteriaList list;
  for (auto& item : items) list.Items[static_cast<size_t>(list.Count++)] = item;
  return list;
}

// Slot 0 Name (20), slot 1 City (15), slot 3 Code (6), as stored: blank-padded.
store::EntryRecord Entry(const std::string& name, const std::string& city, const std::string& code = "",
                         float status = store::StatusActive) {
  store::EntryRecord e;
  e.Status = status;
  e.FieldText[0] = name + std::string(20 - name.size(), ' ');
  e.FieldText[1] = city + std::string(15 - city.size(), ' ');
  e.FieldText[3] = code + std::string(6 - code.size(), ' ');
  return e;
}

TEST(RunMatchTest, WithoutCriteriaEveryEntryMatchesDeletedOnesToo) {
  ReportState s;
  store::EntryRecord deleted = Entry("Gone", "Nowhere", "", store::StatusDeleted);
  EXPECT_EQ(MatchAlphaSearch(s, deleted), kAlphaTake);
  EXPECT_TRUE(MatchSeqSearch(s, deleted, false));

  s.SearchCriteria = List({{1, "where"}});
  EXPECT_EQ(MatchAlphaSearch(s, deleted), kAlphaStop);
  EXPECT_FALSE(MatchSeqSearch(s, deleted, false));
}

TEST(RunMatchTest, TheKeyFieldIsAPrefixTestAndOtherFieldsSubstringTests) {
  ReportState s;
  s.KeyField = 0;
  s.SearchCriteria = List({{0, "smith"}, {1, "land"}});
  EXPECT_EQ(MatchAlphaSearch(s, Entry("Smithson", "Portland")), kAlphaTake);
  EXPECT_EQ(MatchAlphaSearch(s, Entry("Goldsmith", "Portland")), kAlphaStop);
  EXPECT_EQ(MatchAlphaSearch(s, Entry("SMITH", "Boston")), kAlphaSkip);
  s.SearchCriteria = List({{0, "smith"}, {1, "lands"}});
  EXPECT_EQ(MatchAlphaSearch(s, Entry("Smith", "Portland")), kAlphaSkip);
  // A key text longer than the field can never be its prefix.
  s.SearchCriteria = List({{0, "Smith and Sons of Portland"}});
  EXPECT_EQ(MatchAlphaSearch(s, Entry("Smith and Sons of Po", "")), kAlphaStop);
}

TEST(RunMatchTest, TheItemOfTheKeyFieldIsTheOneTestedAsAPrefixWhereverItIsStored) {
  ReportState s;
  s.KeyField = 3;
  s.SearchCriteria = List({{0, "mit"}, {3, "A1"}});
  EXPECT_EQ(MatchAlphaSearch(s, Entry("Smith", "", "a17")), kAlphaTake);
  EXPECT_EQ(MatchAlphaSearch(s, Entry("Smith", "", "BA1")), kAlphaStop);
  EXPECT_EQ(MatchAlphaSearch(s, Entry("Jones", "", "A1")), kAlphaSkip);
}

TEST(RunMatchTest, TheSequentialTestFollowsTheCaseSetting) {
  ReportState s;
  s.SearchCriteria = List({{1, "land"}});
  store::EntryRecord e = Entry("Smith", "PORTLAND");
  EXPECT_TRUE(MatchSeqSearch(s, e, false));
  EXPECT_FALSE(MatchSeqSearch(s, e, true));
  EXPECT_TRUE(MatchSeqSearch(s, Entry("Smith", "Portland"), true));
}

TEST(RunMatchTest, TheEndPointKeepsEntriesThatBeginWithTheEndText) {
  ReportState s;
  s.AlphaEndCriteria = List({{0, "SMITH"}});
  EXPECT_FALSE(IsPastEndPoint(s, Entry("Smithson", "")));
  EXPECT_FALSE(IsPastEndPoint(s, Entry("smith", "")));
  EXPECT_FALSE(IsPastEndPoint(s, Entry("Adams", "")));
  EXPECT_TRUE(IsPastEndPoint(s, Entry("Smyth", "")));
  s.AlphaEndCriteria = List({{0, "M"}});
  EXPECT_FALSE(IsPastEndPoint(s, Entry("mason", "")));
  EXPECT_TRUE(IsPastEndPoint(s, Entry("Nash", "")));
  // Compared over the field's length only; an unused slot never exceeds.
  s.AlphaEndCriteria = List({{3, "B2ZZZZZZZZ"}});
  EXPECT_FALSE(IsPastEndPoint(s, Entry("", "", "B2")));
  EXPECT_TRUE(IsPastEndPoint(s, Entry("", "", "B3")));
  s.AlphaEndCriteria = List({{5, "A"}});
  EXPECT_FALSE(IsPastEndPoint(s, Entry("Zed", "")));
  s.AlphaEndCriteria.Count = 0;
  EXPECT_FALSE(IsPastEndPoint(s, Entry("Zed", "")));
}

TEST(RunMatchTest, GlobalMatchLooksInEverySlotAndHonoursCase) {
  store::EntryRecord e = Entry("Smith", "Portland");
  e.FieldText[20] = "PIC.BMP     ";
  EXPECT_TRUE(GlobalMatch("pic.bmp", e, false));
  EXPECT_FALSE(GlobalMatch("pic.bmp", e, true));
  EXPECT_TRUE(GlobalMatch("tland", e, true));
  EXPECT_FALSE(GlobalMatch("Boston", e, false));
}

TEST(RunMatchTest, AKeyIsPastTheSearchTextOnlyWhenNoLaterKeyCanBeginWithIt) {
  ReportState s;
  s.KeyField = 0;
  s.SearchCriteria = List({{0, "smi"}});
  EXPECT_FALSE(KeyPastSearchText(s, Entry("Adams", "")));
  EXPECT_FALSE(KeyPastSearchText(s, Entry("SMITHSON", "")));
  EXPECT_FALSE(KeyPastSearchText(s, Entry("Sm", "")));
  EXPECT_TRUE(KeyPastSearchText(s, Entry("Smyth", "")));
  EXPECT_TRUE(KeyPastSearchText(s, Entry("Taylor", "")));
  // Trailing blanks of the text are not part of the key.
  s.SearchCriteria = List({{0, "smith "}});
  EXPECT_FALSE(KeyPastSearchText(s, Entry("Smithson", "")));
  // Without a text for the key field any key may still match.
  s.SearchCriteria = List({{1, "land"}});
  EXPECT_FALSE(KeyPastSearchText(s, Entry("Zed", "")));
}

}  // namespace
}  // namespace kelvarin::reports
