#include <gtest/gtest.h>

#include <clocale>

#include "platform/text/number_text.h"

namespace kelvarin::platform {
namespace {

TEST(NumberText, PlainAndSignedForms) {
  EXPECT_EQ(PlainNumber(12), "12");
  EXPECT_EQ(SignedNumber(12), " 12");
  EXPECT_EQ(SignedNumber(0), " 0");
  EXPECT_EQ(SignedNumber(-12), "-12");
  EXPECT_EQ(PlainNumber(0.5f), "0.5");
  EXPECT_EQ(SignedNumber(0.5f), " .5");
  EXPECT_EQ(SignedNumber(-0.25f), "-.25");
  EXPECT_EQ(PlainNumber(1234567), "1234567");
}

TEST(NumberText, SingleValuesShowSevenDigits) {
  EXPECT_EQ(PlainNumber(1.0f / 3.0f), "0.3333333");
  EXPECT_EQ(PlainNumber(0.1f), "0.1");  // not 0.100000001
  EXPECT_EQ(PlainNumber(12345678.0f), "1.234568E+07");
  EXPECT_EQ(PlainNumber(1e20f), "1E+20");
  EXPECT_EQ(PlainNumber(0.000001f), "1E-06");
}

TEST(NumberText, StandardFormat) {
  LocaleSettings en;
  EXPECT_EQ(StandardFormat(1234.5, en), "1,234.50");
  EXPECT_EQ(StandardFormat(0, en), "0.00");
  EXPECT_EQ(StandardFormat(-1234567.125, en), "-1,234,567.13");
  EXPECT_EQ(StandardFormat(999.999, en), "1,000.00");
  LocaleSettings de;
  de.decimalPoint = ',';
  de.thousandsSeparator = '.';
  EXPECT_EQ(StandardFormat(1234.5, de), "1.234,50");
}

TEST(NumberText, LeadingNumber) {
  EXPECT_EQ(LeadingNumber("  12abc"), 12);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("-3.5"), -3.5);
  EXPECT_EQ(LeadingNumber("-.5"), -0.5);
  EXPECT_EQ(LeadingNumber("+7"), 7);
  EXPECT_EQ(LeadingNumber("1E3x"), 1000);
  EXPECT_EQ(LeadingNumber("2D2"), 200);
  EXPECT_EQ(LeadingNumber("2.5e-1"), 0.25);
  EXPECT_EQ(LeadingNumber("5E"), 5);
  EXPECT_EQ(LeadingNumber("1.2.3"), 1.2);
  EXPECT_EQ(LeadingNumber("1E999"), 0);  // overflow is no number
}

TEST(NumberText, LeadingNumberSkipsBlanksOnly) {
  // Blanks between the parts of a number are ignored...
  EXPECT_EQ(LeadingNumber("1 000"), 1000);
  EXPECT_EQ(LeadingNumber("  12 3.5xyz"), 123.5);
  EXPECT_EQ(LeadingNumber("- 1 . 5 E 2"), -150);
  EXPECT_EQ(LeadingNumber("1E 3"), 1000);
  EXPECT_EQ(LeadingNumber("1E- 3"), 0.001);
  // ...other white space is no blank: it ends the number or precedes none.
  EXPECT_EQ(LeadingNumber("\t5"), 0);
  EXPECT_EQ(LeadingNumber("\n5"), 0);
  EXPECT_EQ(LeadingNumber("1\t2"), 1);
  EXPECT_EQ(LeadingNumber("1\n2"), 1);
  EXPECT_EQ(LeadingNumber("1\r2"), 1);
}

TEST(NumberText, ReadLeadingNumberTellsOverflowFromZero) {
  EXPECT_TRUE(ReadLeadingNumber("1E400").overflow);
  EXPECT_TRUE(ReadLeadingNumber("-1E400").overflow);
  EXPECT_TRUE(ReadLeadingNumber("9" + std::string(400, '0')).overflow);
  EXPECT_FALSE(ReadLeadingNumber("1E308").overflow);
  const LeadingNumberResult tiny = ReadLeadingNumber("1E-400");
  EXPECT_FALSE(tiny.overflow);
  EXPECT_EQ(tiny.value, 0);
  EXPECT_FALSE(ReadLeadingNumber("abc").overflow);
  // A long mantissa still rounds correctly, however many digits it has.
  EXPECT_EQ(LeadingNumber("0." + std::string(1000, '0') + "1E1001"), 1);
  EXPECT_EQ(LeadingNumber("1" + std::string(900, '0') + "E-900"), 1);
  EXPECT_EQ(LeadingNumber("0.1"), 0.1);
  EXPECT_EQ(LeadingNumber("9007199254740993"), 9007199254740992.0);  // a tie goes to even
  // ...unless a digit far beyond the first hundreds says it is no tie.
  EXPECT_EQ(LeadingNumber("9007199254740993." + std::string(1000, '0') + "1"), 9007199254740994.0);
}

// A GUI toolkit sets the C locale from the environment; the number texts
// that go into files and messages must not follow it.
TEST(NumberText, IgnoresTheCLocale) {
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
    GTEST_SKIP() << "no locale with a decimal comma installed";
  EXPECT_EQ(PlainNumber(0.5f), "0.5");
  EXPECT_EQ(LeadingNumber("2.5"), 2.5);
  LocaleSettings en;
  EXPECT_EQ(StandardFormat(1.5, en), "1.50");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
}  // namespace kelvarin::platform
