// Error codes the expression evaluator reports (texts: DbfErrorText); a bad
// file handle is the engine's kErrHandle (dbf_error_codes.h).
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvarin::dbf {

constexpr int16_t kEvalErrDivisionByZero = 11;     // arithmetic by itself
constexpr int16_t kEvalErrInvalidCall = 5;         // code too short to hold its header
constexpr int16_t kEvalErrFieldPass = 106;
constexpr int16_t kEvalErrDateLength = 110;
constexpr int16_t kEvalErrOperator = 134;          // comparisons, arithmetic, operation 45
constexpr int16_t kEvalErrFunction = 138;          // other operations, unknown operation
constexpr int16_t kEvalErrCorrupted = 139;         // length field disagrees, frame missing
constexpr int16_t kEvalErrLeftOperand = 142;       // arithmetic by itself
constexpr int16_t kEvalErrDateText = 146;
constexpr int16_t kEvalErrDateFormat = 149;
constexpr int16_t kEvalErrJulianRange = 156;
constexpr int16_t kEvalErrCalendarRange = 157;

// No text the evaluator builds grows beyond this many bytes: a longer result
// fails like an argument out of range instead of exhausting memory.
constexpr size_t kEvalMaxText = size_t{1} << 20;

}  // namespace kelvarin::dbf
