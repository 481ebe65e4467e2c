#include <gtest/gtest.h>

#include <string>

#include "dbf/dbf_dates.h"
#include "dbf/dbf_eval_ops.h"
#include "eval_fake_context.h"

namespace kelvarin::dbf {
namespace {

class EvalOps : public ::testing::Test {
 protected:
  // The result text, or "#code" on failure.
  std::string Run(int op, const std::string& a = "", const std::string& b = "",
                  const std::string& c = "") {
    const ExprOpEnv env{&context, record, 17};
    std::string out = "junk";
    const int16_t err = RunExprOp(op, a, b, c, env, out);
    if (err != 0) {
      EXPECT_EQ(out, "");
      return "#" + std::to_string(err);
    }
    return out;
  }

  testing::FakeEvalContext context;
  std::string record = "*abc 19971115";
};

TEST_F(EvalOps, ComparisonsPickNumbersOnlyInNumberTextForm) {
  EXPECT_EQ(Run(5, "10", "9"), "T");     // numbers: 10 > 9
  EXPECT_EQ(Run(6, "10", "9a"), "T");    // texts: "10" < "9a"
  EXPECT_EQ(Run(8, "1.50", "1.5"), "F");  // texts, 1.50 is not in number-text form
  EXPECT_EQ(Run(6, "1.50", "1.5"), "F");
  EXPECT_EQ(Run(6, "-0.5", "-1"), "T");  // texts
  EXPECT_EQ(Run(8, " 12 ", "12"), "T");
  EXPECT_EQ(Run(4, "abc", "abc"), "T");
  EXPECT_EQ(Run(7, "ab", "abc"), "T");
  EXPECT_EQ(Run(5, "\xE9", "z"), "T");  // by character code
  EXPECT_EQ(Run(3, "a", "a"), "F");
}

// Reading a number beyond a double fails every comparison, whichever side
// holds it and whether or not the other side is a number.
TEST_F(EvalOps, ComparisonsWithANumberBeyondADoubleFail) {
  for (int op = 3; op <= 8; ++op) {
    EXPECT_EQ(Run(op, "1E400", "1"), "#134") << op;
    EXPECT_EQ(Run(op, "abc", " -2E+999x"), "#134") << op;
  }
  EXPECT_EQ(Run(5, "1E308", "1"), "T");      // still within range
  EXPECT_EQ(Run(8, "1E-400", "1E-400"), "T");  // too small reads as 0, no failure
}

TEST_F(EvalOps, Logic) {
  EXPECT_EQ(Run(1, "T", "T"), "T");
  EXPECT_EQ(Run(1, "T", "t"), "F");
  EXPECT_EQ(Run(2, "F", "T"), "T");
  EXPECT_EQ(Run(9, "T"), "F");
  EXPECT_EQ(Run(9, "yes"), "T");
}

TEST_F(EvalOps, JulianDayNumbersBothWays) {
  EXPECT_EQ(Run(10, "2450768"), "19971115");
  EXPECT_EQ(Run(11, "19971115"), "2450768");
  EXPECT_EQ(Run(10, "2299239"), "15830101");
  EXPECT_EQ(Run(10, "5373484"), "99991231");
  EXPECT_EQ(Run(10, "2299238"), "#156");
  EXPECT_EQ(Run(10, "5373485"), "#156");
  EXPECT_EQ(Run(10, "1E400"), "#138");  // the conversion fails, not the range
  EXPECT_EQ(Run(11, "1E400"), "#138");
  EXPECT_EQ(Run(11, "15821231"), "#157");
  EXPECT_EQ(Run(11, "19970229"), "#157");  // no such day
  EXPECT_EQ(Run(11, "20000229"), "2451604");
  for (int64_t jd = 2299239; jd < 2299239 + 3000; jd += 7) {
    const platform::CalendarDate d = CalendarFromJulian(jd);
    ASSERT_EQ(JulianFromCalendar(d.year, d.month, d.day), jd);
  }
  EXPECT_EQ(WeekdayFromJulian(2450768), 6);  // a Saturday
}

TEST_F(EvalOps, Positions) {
  EXPECT_EQ(Run(13, "abcabc", "c"), "3");
  EXPECT_EQ(Run(13, "4", "abcabc", "c"), "6");
  EXPECT_EQ(Run(13, "7", "abcabc", "c"), "0");
  EXPECT_EQ(Run(13, "-1", "abcabc", "c"), "#138");
  EXPECT_EQ(Run(17, "bc", "abcabc"), "2");
  EXPECT_EQ(Run(17, "x", "abc"), "0");
  const std::string sought = std::string(20, 'a') + "b";
  EXPECT_EQ(Run(17, sought, std::string(30, 'a') + "bx"), "11");
  EXPECT_EQ(Run(13, "12", "a" + sought + sought, sought), "23");
  // A search that a naive scan would spend billions of steps on.
  EXPECT_EQ(Run(17, std::string(100000, 'a') + "b", std::string(400000, 'a')), "0");
  EXPECT_EQ(Run(12, "abcdef", "2", "3"), "bcd");
  EXPECT_EQ(Run(12, "abcdef", "3", "0"), "cdef");
  EXPECT_EQ(Run(12, "abcdef", "9", "1"), "");
  EXPECT_EQ(Run(12, "abcdef", "0", "1"), "#138");
  EXPECT_EQ(Run(12, "abcdef", "2.5", "1.5"), "bc");  // halves to even: 2 and 2
  EXPECT_EQ(Run(19, "abc", "5"), "abc");
  EXPECT_EQ(Run(20, "abcdef", "2"), "ef");
  EXPECT_EQ(Run(19, "abc", "-1"), "#138");
}

TEST_F(EvalOps, CaseOperations) {
  EXPECT_EQ(Run(14, "o'neil-smith jr"), "O'neil-Smith Jr");
  EXPECT_EQ(Run(14, "MCDONALD"), "Mcdonald");
  EXPECT_EQ(Run(33, "straße \xE9t\xE9"), "STRAßE \xC9T\xC9");
  EXPECT_EQ(Run(32, "\xC0Z\x8A"), "\xE0z\x9A");
}

TEST_F(EvalOps, PaddingAndRepetition) {
  EXPECT_EQ(Run(15, "7", "3", "0"), "007");   // n(c) 0: the first character of c
  EXPECT_EQ(Run(15, "7", "3", "42"), "**7");  // code 42
  EXPECT_EQ(Run(15, "abcd", "3", "x"), "#138");  // wider already
  EXPECT_EQ(Run(15, "a", "3", "256"), "#138");
  EXPECT_EQ(Run(16, "ab", "4", "."), "ab..");
  EXPECT_EQ(Run(16, "abcdef", "3", "."), "abc");
  EXPECT_EQ(Run(18, "3", "x"), "xxx");
  EXPECT_EQ(Run(18, "3", ""), "#138");
  EXPECT_EQ(Run(23, "xyz", "2"), "xx");
  EXPECT_EQ(Run(29, "2"), "  ");
  EXPECT_EQ(Run(29, "1E9"), "#138");  // beyond any text the evaluator builds
  EXPECT_EQ(Run(39, "65"), "A");
  EXPECT_EQ(Run(39, "256"), "#138");
  EXPECT_EQ(Run(38, "\xFF"), "255");
  EXPECT_EQ(Run(38, ""), "#138");
}

TEST_F(EvalOps, NumbersComeBackAsNumberText) {
  EXPECT_EQ(Run(21, "3", "0.25"), "3");
  EXPECT_EQ(Run(22, "3", "0.25"), ".25");
  EXPECT_EQ(Run(34, "abc "), "4");
  EXPECT_EQ(Run(35, " 1 000.50x"), "1000.5");
  EXPECT_EQ(Run(37, "-2.5"), "2.5");
  EXPECT_EQ(Run(40, "-2.5"), "-3");
  EXPECT_EQ(Run(35, "1E400"), "#138");
  // Only the blank is skipped: a tab or line feed ends the number.
  EXPECT_EQ(Run(35, "\t5"), "0");
  EXPECT_EQ(Run(35, "1\t2"), "1");
  EXPECT_EQ(Run(35, "1\n2"), "1");
  EXPECT_EQ(Run(44, "2+3*4"), "14");
  EXPECT_EQ(Run(44, "1/0"), "#134");
  EXPECT_EQ(Run(44, "*3"), "#134");
}

TEST_F(EvalOps, StrPadsOrFillsWithAsterisks) {
  EXPECT_EQ(Run(45, "3.14159", "6", "2"), "  3.14");
  EXPECT_EQ(Run(45, "12345.6", "5", "1"), "*****");
  EXPECT_EQ(Run(45, "-0.5", "5", "2"), " -.50");
  EXPECT_EQ(Run(45, "3.7", "5", "0"), "  3.7");  // no decimals: the number text
  EXPECT_EQ(Run(45, "9.96", "3", "1"), "***");    // 10.0 does not fit
  EXPECT_EQ(Run(45, "1E10", "8", "2"), "********");
  EXPECT_EQ(Run(45, "1", "0", "0"), "#134");
  EXPECT_EQ(Run(45, "1", "-3", "0"), "#138");
  EXPECT_EQ(Run(45, "1", "3", "-1"), "#138");
  EXPECT_EQ(Run(45, "12345", "3", "-1"), "***");  // too wide before decimals matter
}

TEST_F(EvalOps, RecordClockAndUnknownOperations) {
  EXPECT_EQ(Run(24), record);
  EXPECT_EQ(Run(25), "17");
  EXPECT_EQ(Run(26), "T");
  EXPECT_EQ(Run(27, "  a b  "), "a b");
  EXPECT_EQ(Run(30, "  a  "), "  a");
  EXPECT_EQ(Run(31, "  a  "), "a  ");
  EXPECT_EQ(Run(28), "13:05:09");
  EXPECT_EQ(Run(41), "03-09-2024");
  EXPECT_EQ(Run(43), "#138");
  EXPECT_EQ(Run(0), "#138");
  EXPECT_EQ(Run(46), "#138");
}

TEST_F(EvalOps, DateFormats) {
  EXPECT_EQ(Run(42, "A7", "19971115"), "11/15/97");
  EXPECT_EQ(Run(42, "a7", "19971115"), "11/15/97");
  EXPECT_EQ(Run(42, "", "19971115"), "11/15/97");  // the engine's DateFormat
  EXPECT_EQ(Run(42, "A0", " 19971115 "), "19971115");
  EXPECT_EQ(Run(42, "A2", "19971115"), "Saturday 11 15, 1997");
  EXPECT_EQ(Run(42, "A11", "19971115"), "97.11.15");
  EXPECT_EQ(Run(42, "A13", "19971115"), "15.11.97");
  EXPECT_EQ(Run(42, "A15", "19971115"), "November 15, 1997");
  EXPECT_EQ(Run(42, "A10", ""), "03-09-2024");  // today
  EXPECT_EQ(Run(42, "A7", "1997111"), "#110");
  EXPECT_EQ(Run(42, "A16", "19971115"), "#149");
  EXPECT_EQ(Run(42, "A16", "1997111"), "#110");
  EXPECT_EQ(Run(42, "A7", "19971131"), "#146");
  EXPECT_EQ(Run(42, "A7", "1997AB15"), "#146");

  context.locale.dateSeparator = ".";
  context.locale.monthNames[10] = "novembre";
  context.locale.dayNames[6] = "samedi";
  EXPECT_EQ(Run(42, "A12", "19971115"), "15.11.97");
  EXPECT_EQ(Run(42, "A15", "19971115"), "novembre 15, 1997");
  EXPECT_EQ(Run(42, "A3", "19971115"), "samedi 11 15");

  // Day first: the date is arranged and read day first; the pattern decides
  // the output order.
  context.dayFirst = true;
  EXPECT_EQ(Run(42, "A7", "19970305"), "03.05.97");
  EXPECT_EQ(Run(42, "A12", "19970305"), "05.03.97");
  EXPECT_EQ(Run(42, "A10", ""), "03-09-2024");
}

}  // namespace
}  // namespace kelvarin::dbf
