// The operations a compiled expression calls, numbered 1 to 45, as functions
// over their argument texts. Every value is text: logical results are "T"
// and "F", numbers come back as number text (dbf_number_text.h), and
// numbers are read from arguments with platform::ReadLeadingNumber. Counts, positions and
// character codes are rounded halves to even.
//
//  1 And        a b     10 Calendar  day number   19 Left     text count   28 Time
//  2 Or         a b     11 Julian    yyyymmdd     20 Right    text count   29 Space    count
//  3 Ne         a b     12 Substr    text start len 21 Max    a b          30 RTrim    text
//  4 Ge         a b     13 InStr     start text sought 22 Min a b          31 LTrim    text
//  5 Gt         a b     14 Proper    text         23 Replicate text count  32 Lower    text
//  6 Lt         a b     15 PadLeft   text width fill 24 Record             33 Upper    text
//  7 Le         a b     16 PadRight  text width fill 25 RecNo              34 Len      text
//  8 Eq         a b     17 At        sought text  26 Deleted              35,36 Val   text
//  9 Not        a       18 String    count fill   27 AllTrim  text        37 Abs      number
// 38 Asc text  39 Chr code  40 Int number  41 Date  42 DateFormat code date
// 43 (none)    44 Arith text  45 Str number width decimals
//
// Comparisons 3..8 compare numerically when DbfIsNumber holds for both
// arguments, else by character code; an argument that begins with a number
// beyond the range of a double fails them with 134.
//
// Failure codes: 156/157 for day numbers and dates out of range (10, 11);
// 110, 149, 146 from operation 42; 134 from the comparisons, from 44 (any
// arithmetic failure) and from 45 with width 0; 138 for 43, numbers outside
// 1..45 and any other failure (an argument out of range, a character code
// above 255, an overflow, a text 15 cannot pad because it is wider already,
// a result longer than kEvalMaxText).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dbf/dbf_eval_context.h"

namespace kelvarin::dbf {

// What operations read besides their arguments.
struct ExprOpEnv {
  const DbfEvalContext* context = nullptr;
  std::string_view record;  // deletion flag first
  int32_t recNo = 0;
};

// Runs operation op; 0 and its result in out, or the failure's code.
int16_t RunExprOp(int op, std::string_view a, std::string_view b, std::string_view c,
                  const ExprOpEnv& env, std::string& out);

}  // namespace kelvarin::dbf
