// The DBF engine as the expression evaluator's context.
#pragma once

#include "dbf/dbf_engine.h"
#include "dbf/dbf_eval_context.h"

namespace kelvarin::dbf {

class DbfEngineEvalContext final : public DbfEvalContext {
 public:
  explicit DbfEngineEvalContext(DbfEngine& engine);

  // Runs DbfInit when the engine has not started; the fatal code when it
  // could not start.
  int16_t EnsureReady() override;
  int16_t VbFiles() const override;
  // nullptr unless the handle's slot is open and the file has the field.
  const DbfFieldDesc* FieldDescAt(int16_t handle, int fieldNumber) const override;
  const std::string& DateFormat() const override;
  bool DayFirst() const override;
  const platform::LocaleSettings& Locale() const override;
  platform::CalendarDate Today() const override;
  double TimeOfDay() const override;

 private:
  DbfEngine& engine_;
  platform::Host& host_;
};

}  // namespace kelvarin::dbf
