#include "dbf/dbf_eval_engine.h"

#include "platform/host.h"

namespace kelvarin::dbf {

DbfEngineEvalContext::DbfEngineEvalContext(DbfEngine& engine)
    : engine_(engine), host_(engine.host()) {}

int16_t DbfEngineEvalContext::EnsureReady() {
  if (!engine_.EngineReady()) engine_.DbfInit();
  return engine_.FatalFailure() ? engine_.FatalCode() : int16_t{0};
}

int16_t DbfEngineEvalContext::VbFiles() const { return engine_.VbFiles(); }

const DbfFieldDesc* DbfEngineEvalContext::FieldDescAt(int16_t handle, int fieldNumber) const {
  const DbfSlot* slot = engine_.SlotAt(handle);
  // The field table keeps the descriptors of a closed file and of fields
  // beyond the file's count; they are not this file's fields.
  if (slot == nullptr || slot->IsFree() || fieldNumber < 1 || fieldNumber > slot->FieldCount) {
    return nullptr;
  }
  return engine_.FieldDescAt(handle, fieldNumber);
}

const std::string& DbfEngineEvalContext::DateFormat() const { return engine_.DateFormat(); }

bool DbfEngineEvalContext::DayFirst() const { return engine_.DayFirst(); }

const platform::LocaleSettings& DbfEngineEvalContext::Locale() const { return host_.Locale(); }

platform::CalendarDate DbfEngineEvalContext::Today() const { return host_.Today(); }

double DbfEngineEvalContext::TimeOfDay() const { return host_.TimeOfDay(); }

}  // namespace kelvarin::dbf
