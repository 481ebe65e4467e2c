#include <gtest/gtest.h>

#include "platform/text/codepage.h"

namespace kelvarin::platform {
namespace {

TEST(CodePage, AsciiIsUnchangedBothWays) {
  for (int b = 0; b < 0x80; ++b) {
    std::string s(1, static_cast<char>(b));
    EXPECT_EQ(AnsiToOem(s), s) << b;
    EXPECT_EQ(OemToAnsi(s), s) << b;
  }
}

TEST(CodePage, EveryOemByteWithAnAnsiFormRoundTrips) {
  int exact = 0;
  for (int b = 0x80; b < 0x100; ++b) {
    std::string oem(1, static_cast<char>(b));
    std::string ansi = OemToAnsi(oem);
    ASSERT_EQ(ansi.size(), 1u);
    if (AnsiToUnicode(static_cast<unsigned char>(ansi[0])) == OemToUnicode(static_cast<unsigned char>(b))) {
      EXPECT_EQ(AnsiToOem(ansi), oem) << b;
      ++exact;
    } else {
      // No Windows-1252 form: a plain ASCII substitute, never a high byte.
      EXPECT_LT(static_cast<unsigned char>(ansi[0]), 0x80) << b;
    }
  }
  EXPECT_EQ(exact, 54);  // letters, currency, punctuation, ± ÷ ° ² µ ß and the like
}

TEST(CodePage, EveryAnsiByteConvertsToOneOemByte) {
  for (int b = 0; b < 0x100; ++b) {
    std::string ansi(1, static_cast<char>(b));
    std::string oem = AnsiToOem(ansi);
    ASSERT_EQ(oem.size(), 1u);
    if (AnsiToUnicode(static_cast<unsigned char>(b)) == OemToUnicode(static_cast<unsigned char>(oem[0]))) {
      EXPECT_EQ(OemToAnsi(oem), ansi) << b;
    }
  }
}

TEST(CodePage, KnownLettersAndBestFits) {
  EXPECT_EQ(AnsiToOem("\xE9t\xE9"), "\x82t\x82");        // été
  EXPECT_EQ(OemToAnsi("\x81\x9A\xE1"), "\xFC\xDC\xDF");  // ü Ü ß
  EXPECT_EQ(AnsiToOem("\xC0"), "A");                     // À has no OEM form
  EXPECT_EQ(OemToAnsi("\xC4\xB3\xDA"), "-|+");           // box drawing
}

TEST(CodePage, Utf8RoundTripAndUnknownCharacters) {
  std::string all;
  for (int b = 1; b < 0x100; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
  EXPECT_EQ(AnsiToUtf8("\x80"), "\xE2\x82\xAC");
  EXPECT_EQ(Utf8ToAnsi("\xE6\xB5\x8B"), "?");  // a CJK character
  EXPECT_EQ(Utf8ToAnsi("a\xC3"), "a?");        // cut sequence
}

TEST(CodePage, CaseOfAccentedLetters) {
  EXPECT_EQ(AnsiUpperString("sm\xEFth \xFF\x9A"), "SM\xCFTH \x9F\x8A");
  EXPECT_EQ(AnsiUpper(0xF7), 0xF7);  // ÷ is no letter
  EXPECT_EQ(AnsiLower('Q'), 'q');
  EXPECT_TRUE(AnsiIsAlpha(0xE9));
  EXPECT_FALSE(AnsiIsAlpha('5'));
}

}  // namespace
}  // namespace kelvarin::platform
