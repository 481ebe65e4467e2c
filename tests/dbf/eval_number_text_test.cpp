#include <gtest/gtest.h>

#include "dbf/dbf_number_text.h"

namespace kelvarin::dbf {
namespace {

TEST(EvalNumberText, WritesShortestFormWithoutLeadingZero) {
  EXPECT_EQ(NumberText(0.25), ".25");
  EXPECT_EQ(NumberText(-0.25), "-.25");
  EXPECT_EQ(NumberText(0), "0");
  EXPECT_EQ(NumberText(-0.0), "0");
  EXPECT_EQ(NumberText(1001), "1001");
  EXPECT_EQ(NumberText(0.1 + 0.2), ".3");  // fifteen significant digits
  EXPECT_EQ(NumberText(1.0 / 3), ".333333333333333");
}

TEST(EvalNumberText, SwitchesToExponentFormAtTheEdges) {
  EXPECT_EQ(NumberText(1e20), "1E+20");
  EXPECT_EQ(NumberText(1e-20), "1E-20");
  EXPECT_EQ(NumberText(123456789012345678.0), "1.23456789012346E+17");
  EXPECT_EQ(NumberText(999999999999999.0), "999999999999999");
  EXPECT_EQ(NumberText(1e15), "1E+15");
  EXPECT_EQ(NumberText(9999999999999999.0), "1E+16");  // rounding carries into the exponent
  EXPECT_EQ(NumberText(0.0001), ".0001");
  EXPECT_EQ(NumberText(0.00001), "1E-05");
  EXPECT_EQ(NumberText(-1.5e300), "-1.5E+300");
}

TEST(EvalNumberText, TellsNumbersInNumberTextForm) {
  for (const char* text : {"1.5", "0", ".25", "  12  ", "1E+20", "0 "}) {
    EXPECT_EQ(DbfIsNumber(text), -1) << text;
  }
  for (const char* text : {"-2", "0.25", "1.50", "007", "1E3", "12abc", "", "   ", "9a", "1E400",
                           " 0"}) {
    EXPECT_EQ(DbfIsNumber(text), 0) << text;
  }
}

TEST(EvalNumberText, RoundsHalvesToEven) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(2.500001), 3);
  int32_t n = 0;
  EXPECT_TRUE(RoundToInt32(-2147483648.5, n));
  EXPECT_EQ(n, INT32_MIN);
  EXPECT_FALSE(RoundToInt32(2147483647.5, n));
}

TEST(EvalNumberText, WritesFixedDecimals) {
  EXPECT_EQ(FixedDecimalText(3.14159, 2), "3.14");
  EXPECT_EQ(FixedDecimalText(0.5, 2), ".50");
  EXPECT_EQ(FixedDecimalText(-0.5, 2), "-.50");
  EXPECT_EQ(FixedDecimalText(2.675, 2), "2.68");  // decided on the decimal form
  EXPECT_EQ(FixedDecimalText(9.96, 1), "10.0");
  EXPECT_EQ(FixedDecimalText(-0.001, 2), ".00");
  EXPECT_EQ(FixedDecimalText(1e20, 1), "100000000000000000000.0");
}

}  // namespace
}  // namespace kelvarin::dbf
