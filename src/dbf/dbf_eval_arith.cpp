#include "dbf/dbf_eval_arith.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "dbf/dbf_eval_codes.h"
#include "dbf/dbf_number_text.h"

namespace kelvarin::dbf {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSign(char c) { return c == '+' || c == '-'; }
bool IsExponentLetter(char c) { return c == 'E' || c == 'D'; }

enum class Op { Mul, Div, IntDiv, Mod, Add, Sub };

struct Step {
  double value = 0;
  int16_t err = 0;
};

// The text is held as a gap buffer: `done` is everything left of the scan
// position, `rest` everything right of it. A reduction pops its left operand
// off `done`, skips its operator and right operand in `rest` and pushes the
// result onto `done`. Nothing left of a result can become an operator of the
// same level again, so the scan only moves forward.
struct GapText {
  std::string done;
  std::string_view rest;

  std::string Whole() const { return done + std::string(rest); }
};

// Start of the number that ends at the end of `done`: digits, ".", exponent
// letters with their signs, and a leading sign when what stands before that
// sign is neither a digit nor ".".
size_t LeftOperandStart(const std::string& done) {
  size_t s = done.size();
  while (s > 0) {
    const char c = done[s - 1];
    if (IsDigit(c) || c == '.' || IsExponentLetter(c)) {
      --s;
    } else if (IsSign(c) && s >= 2 && IsExponentLetter(done[s - 2])) {
      s -= 2;
    } else {
      break;
    }
  }
  if (s > 0 && IsSign(done[s - 1]) && (s == 1 || !(IsDigit(done[s - 2]) || done[s - 2] == '.'))) {
    --s;
  }
  return s;
}

// Length of the number that begins `text`: an optional sign, digits, one
// ".", digits, one exponent letter with an optional sign and its digits.
size_t RightOperandLength(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  if (i < n && IsSign(text[i])) ++i;
  while (i < n && IsDigit(text[i])) ++i;
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && IsDigit(text[i])) ++i;
  }
  if (i < n && IsExponentLetter(text[i])) {
    ++i;
    if (i < n && IsSign(text[i])) ++i;
    while (i < n && IsDigit(text[i])) ++i;
  }
  return i;
}

Step Compute(Op op, std::string_view leftText, std::string_view rightText) {
  bool leftHasDigit = false;
  for (char c : leftText) leftHasDigit = leftHasDigit || IsDigit(c);
  if (!leftHasDigit) return {0, kEvalErrLeftOperand};
  const platform::LeadingNumberResult left = platform::ReadLeadingNumber(leftText);
  const platform::LeadingNumberResult right = platform::ReadLeadingNumber(rightText);
  if (left.overflow || right.overflow) return {0, kEvalErrOperator};
  const double a = left.value;
  const double b = right.value;
  double result = 0;
  switch (op) {
    case Op::Mul:
      result = a * b;
      break;
    case Op::Div:
      if (b == 0) return {0, kEvalErrDivisionByZero};
      result = a / b;
      break;
    case Op::IntDiv:
    case Op::Mod: {
      int32_t ia = 0;
      int32_t ib = 0;
      if (!RoundToInt32(a, ia) || !RoundToInt32(b, ib)) return {0, kEvalErrOperator};
      if (ib == 0) return {0, kEvalErrDivisionByZero};
      if (ib == -1) {
        // The one quotient that leaves the 32-bit range.
        if (op == Op::IntDiv && ia == INT32_MIN) return {0, kEvalErrOperator};
        result = op == Op::IntDiv ? -static_cast<double>(ia) : 0;
      } else {
        result = op == Op::IntDiv ? ia / ib : ia % ib;
      }
      break;
    }
    case Op::Add:
      result = a + b;
      break;
    case Op::Sub:
      result = a - b;
      break;
  }
  if (!std::isfinite(result)) return {0, kEvalErrOperator};
  return {result, 0};
}

// Replaces the operator of length opLen at the start of text.rest, with its
// operands, by the number text of the result.
int16_t Reduce(GapText& text, Op op, size_t opLen) {
  const size_t leftStart = LeftOperandStart(text.done);
  const std::string_view afterOp = text.rest.substr(opLen);
  const size_t rightLen = RightOperandLength(afterOp);
  const Step step = Compute(op, std::string_view(text.done).substr(leftStart),
                            afterOp.substr(0, rightLen));
  if (step.err != 0) return step.err;
  text.done.resize(leftStart);
  text.done += NumberText(step.value);
  text.rest = afterOp.substr(rightLen);
  return 0;
}

bool MultiplicationAt(std::string_view rest, Op& op, size_t& len) {
  len = 1;
  switch (rest[0]) {
    case '*': op = Op::Mul; return true;
    case '/': op = Op::Div; return true;
    case '\\': op = Op::IntDiv; return true;
    case 'M':
      if (rest.substr(0, 3) == "MOD") {
        op = Op::Mod;
        len = 3;
        return true;
      }
      return false;
    default: return false;
  }
}

// Multiplication level. Sets `final` when the whole text became one result.
int16_t MultiplicationLevel(std::string& text, bool& final) {
  GapText gap{std::string(), text};
  gap.done.reserve(text.size());
  while (!gap.rest.empty()) {
    Op op;
    size_t len;
    if (!MultiplicationAt(gap.rest, op, len)) {
      gap.done += gap.rest[0];
      gap.rest.remove_prefix(1);
      continue;
    }
    if (gap.done.empty()) return kEvalErrLeftOperand;
    // The leftmost operator standing last counts as none: no more follow.
    if (len == gap.rest.size()) break;
    if (int16_t err = Reduce(gap, op, len); err != 0) return err;
    final = gap.rest.empty() && IsNumberTextForm(gap.done);
  }
  text = gap.Whole();
  return 0;
}

int16_t AdditionLevel(std::string& text) {
  GapText gap{std::string(), text};
  gap.done.reserve(text.size());
  while (!gap.rest.empty()) {
    const char c = gap.rest[0];
    const bool first = gap.done.empty();
    const char before = first ? '\0' : gap.done.back();
    if (!first && c == '+' && !IsExponentLetter(before)) {
      if (int16_t err = Reduce(gap, Op::Add, 1); err != 0) return err;
    } else if (!first && c == '-' && IsDigit(before)) {
      if (int16_t err = Reduce(gap, Op::Sub, 1); err != 0) return err;
    } else {
      gap.done += c;
      gap.rest.remove_prefix(1);
    }
  }
  text = std::move(gap.done);
  return 0;
}

// A text without parentheses (a stray ")" aside).
Step ReduceFlat(std::string text) {
  if (!IsNumberTextForm(text)) {
    bool final = false;
    if (int16_t err = MultiplicationLevel(text, final); err != 0) return {0, err};
    if (!final) {
      if (int16_t err = AdditionLevel(text); err != 0) return {0, err};
    }
  }
  const platform::LeadingNumberResult r = platform::ReadLeadingNumber(text);
  if (r.overflow) return {0, kEvalErrOperator};
  std::string_view body = text;
  // A leading "+" marks a number as well as its absence does.
  if (!body.empty() && body[0] == '+') body.remove_prefix(1);
  if (NumberText(r.value).size() != body.size()) return {0, kEvalErrOperator};
  return {r.value, 0};
}

}  // namespace

double DbfEvalArithmetic(std::string_view text, int16_t& err) {
  err = 0;
  std::string compact;
  compact.reserve(text.size());
  for (char c : text) {
    if (c != ' ') compact += c;
  }

  // The first "(" that has no ")" ends the reduction, after every group left
  // of it has been reduced (an earlier group's failure is the one reported).
  size_t unmatched = compact.size();
  {
    std::vector<size_t> open;
    for (size_t i = 0; i < compact.size(); ++i) {
      if (compact[i] == '(') {
        open.push_back(i);
      } else if (compact[i] == ')' && !open.empty()) {
        open.pop_back();
      }
    }
    if (!open.empty()) unmatched = open.front();
  }

  // Groups close innermost first and left to right, the order in which a
  // reduction that recursed into each group would finish them.
  std::string reduced;
  reduced.reserve(unmatched);
  std::vector<size_t> groupStarts;
  for (size_t i = 0; i < unmatched; ++i) {
    const char c = compact[i];
    if (c == '(') {
      groupStarts.push_back(reduced.size());
    } else if (c == ')' && !groupStarts.empty()) {
      const size_t start = groupStarts.back();
      groupStarts.pop_back();
      const Step inner = ReduceFlat(reduced.substr(start));
      if (inner.err != 0) {
        err = inner.err;
        return 0;
      }
      reduced.resize(start);
      reduced += NumberText(inner.value);
    } else {
      reduced += c;
    }
  }
  if (unmatched != compact.size()) {
    err = kEvalErrOperator;
    return 0;
  }
  const Step result = ReduceFlat(std::move(reduced));
  err = result.err;
  return result.err == 0 ? result.value : 0;
}

}  // namespace kelvarin::dbf
