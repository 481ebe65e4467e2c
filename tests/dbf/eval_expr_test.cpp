#include <gtest/gtest.h>

#include <string>

#include "dbf/dbf_eval.h"
#include "eval_fake_context.h"

namespace kelvarin::dbf {
namespace {

using testing::Call;
using testing::CompiledExpression;
using testing::FieldRef;

class EvalExpr : public ::testing::Test {
 protected:
  void SetUp() override {
    context.AddField(1, 1, 'C', 6);  // positions 2..7
    context.AddField(1, 2, 'D', 8);  // positions 8..15
  }

  // The value, or "#code" on failure.
  std::string Eval(const std::string& code, const std::string& rec) {
    int16_t err = 0;
    const std::string value = DbfEvalExprCode(context, err, code, 3, rec);
    if (err != 0) {
      EXPECT_EQ(value, "");
      return "#" + std::to_string(err);
    }
    return value;
  }
  std::string Eval(const std::string& code) { return Eval(code, record); }

  // The date expression the dBase import builds for a date value v, byte by
  // byte as it does.
  std::string ImportDateExpression(const std::string& v) const {
    const std::string& format = context.dateFormat;
    std::string code;
    code += static_cast<char>(format.size() + 19);
    code += '\0';
    code += 'C';
    code += '\x01';
    code += '\x01';
    code += '\xFE';
    code += '*';
    code += '\xFE';
    code += format;
    code += '\xFD';
    code += v;
    code += "\xFF\xFF";
    return code;
  }

  testing::FakeEvalContext context;
  std::string record = " Smith 19971115";
};

TEST_F(EvalExpr, ImportDateExpression) {
  EXPECT_EQ(Eval(ImportDateExpression("19971115")), "11/15/97");
  context.dateFormat = "A11";
  EXPECT_EQ(Eval(ImportDateExpression("19971115")), "97.11.15");
  context.dateFormat = "A2";
  EXPECT_EQ(Eval(ImportDateExpression("19971115")), "Saturday 11 15, 1997");
  context.dateFormat = "a7";
  EXPECT_EQ(Eval(ImportDateExpression("19971115")), "11/15/97");
  context.dateFormat = "A16";
  EXPECT_EQ(Eval(ImportDateExpression("19971115")), "#149");
  EXPECT_EQ(context.startCalls, 5);
}

TEST_F(EvalExpr, DateArgumentsOfOperation42) {
  EXPECT_EQ(Eval(CompiledExpression(1, 1, Call(42, "A10", "", "", 2))), "03-09-2024");
  EXPECT_EQ(Eval(CompiledExpression(1, 1, Call(42, "A7", "1997111"))), "#110");
  // The date from a field reference: one reference and one call.
  EXPECT_EQ(Eval(CompiledExpression(1, 2, Call(42, "A15", FieldRef(2)))), "November 15, 1997");
}

TEST_F(EvalExpr, FieldReferencesAndLiteralText) {
  EXPECT_EQ(Eval(CompiledExpression(1, 2, "<" + FieldRef(1) + "|" + FieldRef(2) + ">")),
            "<Smith |19971115>");
  EXPECT_EQ(Eval(CompiledExpression(1, 0, "plain")), "plain");
  EXPECT_EQ(Eval(CompiledExpression(1, 1, FieldRef(3))), "#106");  // no such field
  EXPECT_EQ(Eval(CompiledExpression(1, 1, FieldRef(0))), "#106");
  EXPECT_EQ(Eval(CompiledExpression(2, 1, FieldRef(1))), "#106");  // no file under handle 2
}

TEST_F(EvalExpr, NestedCallsRunInnermostFirst) {
  const std::string body = Call(33, Call(19, "abcdef", "3"));
  EXPECT_EQ(Eval(CompiledExpression(1, 2, body)), "ABC");
  // One item: only the inner call runs; the outer call's delimiters stay.
  EXPECT_EQ(Eval(CompiledExpression(1, 1, body)), "!\xFE" "abc\xFF");
  // Left to right among siblings, then the enclosing call.
  const std::string pair = Call(8, Call(32, "AB"), Call(19, "abc", "2"));
  EXPECT_EQ(Eval(CompiledExpression(1, 3, pair)), "T");
  // More items than calls: the body's own frame is no call.
  EXPECT_EQ(Eval(CompiledExpression(1, 4, pair)), "#138");
}

TEST_F(EvalExpr, FailuresOfTheFrame) {
  std::string code = CompiledExpression(1, 0, "x");
  code[0] = static_cast<char>(code[0] + 1);
  EXPECT_EQ(Eval(code), "#139");
  EXPECT_EQ(Eval(""), "#139");
  EXPECT_EQ(Eval(std::string("\x02\x00", 2)), "#5");
  EXPECT_EQ(Eval(CompiledExpression(0, 0, "x")), "#104");
  EXPECT_EQ(Eval(CompiledExpression(41, 0, "x")), "#104");
  EXPECT_EQ(Eval(std::string("\x05\x00" "C\x01\x00", 5)), "#139");  // no body at all
  EXPECT_EQ(Eval(CompiledExpression(1, 1, Call(43, "x"))), "#138");
  EXPECT_EQ(Eval(CompiledExpression(1, 2, Call(5, "1", "x") + Call(44, "1/0"))), "#134");
  context.startError = 100;
  EXPECT_EQ(Eval(CompiledExpression(1, 0, "x")), "#100");
}

TEST_F(EvalExpr, RecordBytesAreNeverTakenForCode) {
  // A name field holding ý, þ and ÿ (the delimiter codes) and a field
  // reference pattern.
  const std::string rec = std::string(" \xFD\xFE\xFF\xFE", 5) + std::string("\0\x01", 2) + "19971115";
  EXPECT_EQ(Eval(CompiledExpression(1, 2, Call(34, FieldRef(1))), rec), "6");
  EXPECT_EQ(Eval(CompiledExpression(1, 2, Call(19, FieldRef(1), "9")), rec), rec.substr(1, 6));
  // A result holding a delimiter code is data too.
  EXPECT_EQ(Eval(CompiledExpression(1, 2, Call(34, Call(39, "255") + "x"))), "2");
}

}  // namespace
}  // namespace kelvarin::dbf
