#include <gtest/gtest.h>

#include "platform/text/substr.h"

namespace kelvarin::platform {
namespace {

TEST(IsSubstr, HitsAreMinusOne) {
  EXPECT_EQ(IsSubstr("ith", "Smith", true), -1);
  EXPECT_EQ(IsSubstr("ITH", "Smith", true), 0);
  EXPECT_EQ(IsSubstr("ITH", "Smith", false), -1);
  EXPECT_EQ(IsSubstr("\xC9T\xC9", "l'\xE9t\xE9", false), -1);  // ÉTÉ in l'été
  EXPECT_EQ(IsSubstr("Smithson", "Smith", false), 0);
}

TEST(IsSubstr, EmptyTextsMatchNothing) {
  EXPECT_EQ(IsSubstr("", "abc", false), 0);
  EXPECT_EQ(IsSubstr("", "", false), 0);
  EXPECT_EQ(IsSubstr("a", "", false), 0);
}

TEST(ReplaceSubstr, EveryOccurrenceLeftToRightWithoutOverlap) {
  std::string b = "aaaa";
  EXPECT_EQ(ReplaceSubstr("aa", "b", b, true), 2);
  EXPECT_EQ(b, "bb");
  b = "Smith and SMITH";
  EXPECT_EQ(ReplaceSubstr("smith", "Jones", b, false), 2);
  EXPECT_EQ(b, "Jones and Jones");
  b = "Smith and SMITH";
  EXPECT_EQ(ReplaceSubstr("smith", "Jones", b, true), 0);
  EXPECT_EQ(b, "Smith and SMITH");
  b = "abab";
  EXPECT_EQ(ReplaceSubstr("ab", "abab", b, true), 2);  // replaced text is not rescanned
  EXPECT_EQ(b, "abababab");
}

TEST(ReplaceSubstr, EmptySearchOrReplacement) {
  std::string b = "abc";
  EXPECT_EQ(ReplaceSubstr("", "x", b, true), 0);
  EXPECT_EQ(b, "abc");
  EXPECT_EQ(ReplaceSubstr("b", "", b, true), 1);
  EXPECT_EQ(b, "ac");
  std::string empty;
  EXPECT_EQ(ReplaceSubstr("a", "b", empty, true), 0);
}

TEST(ReplaceSubstr, GrowthStopsAtTheRoom) {
  std::string b(10, 'x');
  // Each replacement grows the text by 29; 255 of room takes 8 of the 10.
  EXPECT_EQ(ReplaceSubstr("x", std::string(30, 'y'), b, true), 8);
  EXPECT_EQ(b.size(), 8u * 30u + 2u);
  EXPECT_LE(b.size(), 10u + 255u);
  std::string exact(1, 'x');
  EXPECT_EQ(ReplaceSubstr("x", std::string(256, 'z'), exact, true), 1);  // grows by exactly 255
  std::string over(1, 'x');
  EXPECT_EQ(ReplaceSubstr("x", std::string(257, 'z'), over, true), 0);
  EXPECT_EQ(over, "x");
}

}  // namespace
}  // namespace kelvarin::platform
