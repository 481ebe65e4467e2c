// Arithmetic on text, as the evaluator's operation 44 and the DBF expression
// language see it: + - * / \ MOD and parentheses over number texts.
//
// The text is reduced step by step, and every intermediate result is written
// back as its number text (so 1/3*3 gives .999999999999999). Blanks are
// removed first; each parenthesised group is replaced by its value; then the
// leftmost of * / \ MOD is replaced by its result until none is left, then
// the leftmost adding "+" (one not following D or E) or subtracting "-" (one
// following a digit) likewise. An operand is the number text next to its
// operator; \ and MOD work on the operands rounded to 32-bit integers
// (halves to even) and truncate toward zero, MOD taking the sign of the left
// operand. What remains must read as a number whose number text is exactly
// as long (a leading "+" aside).
//
// The work is linear in the length of the text and needs no recursion, so
// any text is safe to pass.
#pragma once

#include <cstdint>
#include <string_view>

namespace kelvarin::dbf {

// The value of text; err = 0 on success, else 11 (division by zero), 134 (the
// text does not reduce to a number, a "(" without its ")", an overflow) or
// 142 (an operator without a left operand), and the value 0.
double DbfEvalArithmetic(std::string_view text, int16_t& err);

}  // namespace kelvarin::dbf
