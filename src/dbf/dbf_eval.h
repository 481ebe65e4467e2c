// The DBF expression evaluator: runs a compiled expression against one
// record of an open DBF file and returns its value as text.
//
// Compiled expression (single bytes):
//   1-2   total length in bytes, 16-bit little-endian
//   3     result-type letter ("C"); carried, not interpreted
//   4     the DBF handle as a byte (1 .. VbFiles)
//   5     item count: field references plus calls in the body
//   6..   body: Chr(254) & E & Chr(255)
// In E, Chr(254) Chr(0) Chr(n) stands for the text of field n of the record,
// and Chr(op) Chr(254) args Chr(255) for a call of operation op (1..45, see
// dbf_eval_ops.h) with up to three arguments separated by Chr(253), each
// itself E text. Everything else is literal.
//
// Evaluation: the field references are replaced first, left to right; then
// calls run innermost first and left to right (the first Chr(255) always
// closes an innermost call), one per remaining item; the value is the body
// without its first and last character. With fewer items than calls the
// outer calls stay as they are, delimiters included.
//
// Field texts and call results are data: a byte 253, 254 or 255 inside them
// (ý, þ, ÿ in Windows-1252) is never taken for a delimiter, and a field text
// is never scanned for further field references.
//
// Failure codes (the result is then ""): the start-up failure of the engine;
// 139 when the length field disagrees with the code's length or the body has
// lost its frame; 5 when the code is too short to hold handle and item count;
// 104 for a handle outside 1..VbFiles; 106 for a field the file does not have
// (or a field pass that would grow beyond kEvalMaxText); 138 when a call
// cannot be found for an item or names no operation; otherwise the code of
// the failing operation (dbf_eval_ops.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dbf/dbf_eval_context.h"

namespace kelvarin::dbf {

// err: 0 after success, else the failure's code. recNo: the record's number;
// record: the record as read from the file, deletion flag first.
std::string DbfEvalExprCode(DbfEvalContext& context, int16_t& err, std::string_view code,
                            int32_t recNo, std::string_view record);

}  // namespace kelvarin::dbf
