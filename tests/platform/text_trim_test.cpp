#include <gtest/gtest.h>

#include "platform/text/trim.h"

namespace kelvarin::platform {
namespace {

TEST(TrimTest, BlanksOnlyOrBlanksAndNuls) {
  using namespace std::string_literals;
  EXPECT_EQ(TrimTrailingBlanks("ab  "), "ab");
  EXPECT_EQ(TrimTrailingBlanks("  "), "");
  EXPECT_EQ(TrimTrailingBlanks(" a b"), " a b");         // inner and leading blanks stay
  EXPECT_EQ(TrimTrailingBlanks("ab \0"s), "ab \0"s);     // a NUL is text here
  EXPECT_EQ(TrimTrailingBlanks("ab\t"), "ab\t");
  EXPECT_EQ(TrimTrailingPadding("ab \0 \0\0"s), "ab");
  EXPECT_EQ(TrimTrailingPadding("a\0b "s), "a\0b"s);
  EXPECT_EQ(TrimTrailingPadding(""), "");

  std::string memo = "text  \0\0"s;
  TrimTrailingPaddingInPlace(memo);
  EXPECT_EQ(memo, "text");
  std::string key = "KEY \0 "s;
  TrimTrailingBlanksInPlace(key);
  EXPECT_EQ(key, "KEY \0"s);
}

}  // namespace
}  // namespace kelvarin::platform
