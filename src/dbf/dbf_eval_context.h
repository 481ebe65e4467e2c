// What the expression evaluator needs from the DBF engine and the platform.
// The engine satisfies it through DbfEngineEvalContext (dbf_eval_engine.h);
// tests give a small fake so that expressions run without files.
#pragma once

#include <cstdint>
#include <string>

#include "dbf/dbf_records.h"
#include "platform/host.h"
#include "platform/locale.h"

namespace kelvarin::dbf {

class DbfEvalContext {
 public:
  virtual ~DbfEvalContext() = default;

  // Starts the engine when it has not started; 0, or the code of the
  // start-up failure.
  virtual int16_t EnsureReady() = 0;
  // Highest handle a compiled expression may name.
  virtual int16_t VbFiles() const = 0;
  // The descriptor of field fieldNumber of the file open under handle;
  // nullptr when that file has no such field.
  virtual const DbfFieldDesc* FieldDescAt(int16_t handle, int fieldNumber) const = 0;
  // The engine's date-format code ("A7" unless configured).
  virtual const std::string& DateFormat() const = 0;
  // The user's short date begins with the day.
  virtual bool DayFirst() const = 0;
  virtual const platform::LocaleSettings& Locale() const = 0;
  virtual platform::CalendarDate Today() const = 0;
  // Seconds since midnight.
  virtual double TimeOfDay() const = 0;
};

}  // namespace kelvarin::dbf
