// A DBF record split into field texts, dates reformatted by the engine's
// date format through a compiled expression.
#include "dbf/db3_exchange.h"
#include "dbf/dbf_error_codes.h"
#include "dbf/dbf_eval.h"
#include "dbf/dbf_eval_engine.h"
#include "dbf/dbf_text.h"

namespace kelvarin::dbf {
namespace {

constexpr char kDateFormatOp = 42;  // "*"
constexpr char kStart = static_cast<char>(254);
constexpr char kSeparator = static_cast<char>(253);
constexpr char kEnd = static_cast<char>(255);

}  // namespace

std::string Db3Exchange::DateConversionExpression(int16_t handle, const std::string& v) const {
  const std::string& format = engine_.DateFormat();
  const size_t total = format.size() + 19;
  std::string code;
  code.reserve(total);
  code += static_cast<char>(total & 0xFF);
  code += static_cast<char>((total >> 8) & 0xFF);
  code += 'C';
  code += static_cast<char>(handle);
  code += static_cast<char>(1);  // one item: the call
  code += kStart;                // the body
  code += kDateFormatOp;
  code += kStart;                // the arguments
  code += format;
  code += kSeparator;
  code += v;
  code += kEnd;  // the call
  code += kEnd;  // the body
  return code;
}

void Db3Exchange::DbfReadRecordFields(int16_t handle, int16_t& err, int16_t& fieldNo,
                                      std::vector<std::string>& values, int32_t recNo) {
  DbfEngineEvalContext context(engine_);
  if ((err = context.EnsureReady()) != 0) return;
  const DbfSlot* slot = engine_.SlotAt(handle);
  if (handle < 1 || handle > engine_.VbFiles() || slot == nullptr) {
    err = kErrHandle;
    return;
  }
  if (slot->IsFree()) {
    err = kErrMode;
    return;
  }
  std::string& record = record_;
  engine_.DbfReadRecord(handle, err, recNo, record);
  if (err != 0) return;

  const int16_t count = slot->FieldCount;
  // The strings are reused from record to record.
  values.resize(static_cast<size_t>(count) + 1);
  for (std::string& v : values) v.clear();
  for (fieldNo = 1; fieldNo <= count; ++fieldNo) {
    const DbfFieldDesc* desc = engine_.FieldDescAt(handle, fieldNo);
    if (desc == nullptr || desc->Offset == 0 || desc->FieldLength == 0) {
      err = kErrFieldLength;
      return;
    }
    if (static_cast<int>(record.size()) + 1 < desc->Offset + desc->FieldLength) {
      err = kErrRecordLength;
      return;
    }
    std::string& text = values[static_cast<size_t>(fieldNo)];
    text.assign(record, static_cast<size_t>(desc->Offset - 1), static_cast<size_t>(desc->FieldLength));
    if (desc->FieldType == 'D' && TrimBlanks(text).size() == 8) {
      std::string date = DbfEvalExprCode(context, err, DateConversionExpression(handle, text), recNo, record);
      if (err != 0) {
        text.clear();
        return;
      }
      text = std::move(date);
    }
  }
  values[0].assign(record);
  fieldNo = count;
  err = 0;
}

}  // namespace kelvarin::dbf
