// An evaluator context without files: a table of fields, a fixed clock and
// settings a test can change.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "dbf/dbf_eval_context.h"

namespace kelvarin::dbf::testing {

class FakeEvalContext : public DbfEvalContext {
 public:
  int16_t EnsureReady() override {
    ++startCalls;
    return startError;
  }
  int16_t VbFiles() const override { return vbFiles; }
  const DbfFieldDesc* FieldDescAt(int16_t handle, int fieldNumber) const override {
    auto it = fields.find({handle, fieldNumber});
    return it == fields.end() ? nullptr : &it->second;
  }
  const std::string& DateFormat() const override { return dateFormat; }
  bool DayFirst() const override { return dayFirst; }
  const platform::LocaleSettings& Locale() const override { return locale; }
  platform::CalendarDate Today() const override { return today; }
  double TimeOfDay() const override { return timeOfDay; }

  // Appends a field of the given length to handle's record layout.
  void AddField(int16_t handle, int number, char type, int16_t length) {
    int16_t offset = 2;
    for (const auto& [key, desc] : fields) {
      if (key.first == handle) offset = std::max<int16_t>(offset, desc.Offset + desc.FieldLength);
    }
    fields[{handle, number}] = DbfFieldDesc{type, "F", length, 0, offset};
  }

  int startCalls = 0;
  int16_t startError = 0;
  int16_t vbFiles = 40;
  std::map<std::pair<int16_t, int>, DbfFieldDesc> fields;
  std::string dateFormat = "A7";
  bool dayFirst = false;
  platform::LocaleSettings locale;
  platform::CalendarDate today{2024, 3, 9};
  double timeOfDay = 13 * 3600 + 5 * 60 + 9.75;
};

// A compiled expression for handle with the given item count around body E.
inline std::string CompiledExpression(int handle, int count, const std::string& body) {
  std::string code = "??C";
  code += static_cast<char>(handle);
  code += static_cast<char>(count);
  code += '\xFE';
  code += body;
  code += '\xFF';
  code[0] = static_cast<char>(code.size() & 0xFF);
  code[1] = static_cast<char>(code.size() >> 8);
  return code;
}

// A call of operation op with the given arguments.
inline std::string Call(int op, const std::string& a, const std::string& b = std::string(),
                        const std::string& c = std::string(), int argCount = -1) {
  if (argCount < 0) argCount = !c.empty() ? 3 : (!b.empty() ? 2 : (!a.empty() ? 1 : 0));
  std::string text(1, static_cast<char>(op));
  text += '\xFE';
  text += a;
  if (argCount >= 2) text += '\xFD' + b;
  if (argCount >= 3) text += '\xFD' + c;
  text += '\xFF';
  return text;
}

inline std::string FieldRef(int n) { return std::string("\xFE\0", 2) + static_cast<char>(n); }

}  // namespace kelvarin::dbf::testing
