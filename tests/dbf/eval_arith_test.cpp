#include <gtest/gtest.h>

#include <string>

#include "dbf/dbf_eval_arith.h"

namespace kelvarin::dbf {
namespace {

struct Outcome {
  double value;
  int16_t err;
};

Outcome Eval(const std::string& text) {
  int16_t err = -1;
  const double value = DbfEvalArithmetic(text, err);
  return {value, err};
}

void ExpectValue(const std::string& text, double expected) {
  const Outcome o = Eval(text);
  EXPECT_EQ(o.err, 0) << text;
  EXPECT_EQ(o.value, expected) << text;
}

void ExpectError(const std::string& text, int16_t expected) {
  const Outcome o = Eval(text);
  EXPECT_EQ(o.err, expected) << text;
  EXPECT_EQ(o.value, 0) << text;
}

TEST(EvalArithmetic, MultiplicationBindsBeforeAddition) {
  ExpectValue("2+3*4", 14);
  ExpectValue("(2+3)*4", 20);
  ExpectValue(" 2 * ( 3 + 4 ) ", 14);
  ExpectValue("10-2-3", 5);
  ExpectValue("8/2/2", 2);
  ExpectValue("-2-3", -5);
  ExpectValue("3-2*-1", 5);
  ExpectValue("2-(0-5)", 7);
  ExpectValue("((((1+1))))*((2))", 4);
}

TEST(EvalArithmetic, IntegerDivisionAndModulo) {
  ExpectValue("7\\2", 3);
  ExpectValue("7 MOD 3", 1);
  ExpectValue("-7MOD3", -1);    // the sign of the left operand
  ExpectValue("2.5\\1", 2);     // 2.5 rounds to 2
  ExpectValue("3.5\\1", 4);
  ExpectValue("-2147483648MOD-1", 0);
  ExpectError("-2147483648\\-1", 134);
  ExpectError("1E10\\2", 134);
}

TEST(EvalArithmetic, ExponentsStayWithTheirNumbers) {
  ExpectValue("1E3+1", 1001);
  ExpectValue("2E+3*2", 4000);
  ExpectValue("1E+20", 1e20);
  ExpectError("1E-4", 134);  // not in number-text form (that is .0001)
}

TEST(EvalArithmetic, IntermediateResultsTravelAsNumberText) {
  ExpectValue("1/3*3", 0.999999999999999);
}

TEST(EvalArithmetic, Failures) {
  ExpectError("1/0", 11);
  ExpectError("1\\0.4", 11);
  ExpectError("*3", 142);
  ExpectError("a+1", 142);
  ExpectError("(2+3", 134);
  ExpectError("2*", 134);
  ExpectError("", 134);
  ExpectError("()", 134);
  ExpectError("2 mod 3", 134);
  ExpectError("1E300*1E300", 134);
  ExpectError("1E400", 134);
  // An earlier group's failure is reported before a later "(" without ")".
  ExpectError("(1/0)+(2", 11);
  ExpectError("((1/0)", 134);
}

TEST(EvalArithmetic, LeadingPlusIsANumber) {
  ExpectValue("+5", 5);
  ExpectValue("(+5)*2", 10);
}

TEST(EvalArithmetic, DeepAndLongTextsAreSafe) {
  const int depth = 200000;
  ExpectValue(std::string(depth, '(') + "7" + std::string(depth, ')'), 7);
  ExpectError(std::string(depth, '('), 134);
  std::string sum = "1";
  for (int i = 0; i < 100000; ++i) sum += "+1";
  ExpectValue(sum, 100001);
  std::string product = "1";
  for (int i = 0; i < 100000; ++i) product += "*1";
  ExpectValue(product, 1);
}

}  // namespace
}  // namespace kelvarin::dbf
