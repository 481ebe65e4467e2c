// Any byte string given as a compiled expression gives a value or an error
// code. Input: a flag byte (bit 0: make the length field match, so that the
// body is reached), a record length byte, the record, then the code.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "dbf/dbf_eval.h"

namespace {

using namespace kelvarin;

class FuzzContext : public dbf::DbfEvalContext {
 public:
  FuzzContext() {
    int16_t offset = 2;
    const int16_t lengths[] = {1, 8, 10, 0, 40};
    for (int n = 1; n <= 5; ++n) {
      fields_[n] = dbf::DbfFieldDesc{'C', "F", lengths[n - 1], 0, offset};
      offset = static_cast<int16_t>(offset + lengths[n - 1]);
    }
  }
  int16_t EnsureReady() override { return 0; }
  int16_t VbFiles() const override { return 40; }
  const dbf::DbfFieldDesc* FieldDescAt(int16_t handle, int fieldNumber) const override {
    if (handle != 1) return nullptr;
    auto it = fields_.find(fieldNumber);
    return it == fields_.end() ? nullptr : &it->second;
  }
  const std::string& DateFormat() const override { return dateFormat_; }
  bool DayFirst() const override { return false; }
  const platform::LocaleSettings& Locale() const override { return locale_; }
  platform::CalendarDate Today() const override { return {2024, 2, 29}; }
  double TimeOfDay() const override { return 45296; }

 private:
  std::map<int, dbf::DbfFieldDesc> fields_;
  std::string dateFormat_ = "A7";
  platform::LocaleSettings locale_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const bool fixLength = (data[0] & 1) != 0;
  size_t recordLength = data[1];
  data += 2;
  size -= 2;
  if (recordLength > size) recordLength = size;
  const std::string record(reinterpret_cast<const char*>(data), recordLength);
  std::string code(reinterpret_cast<const char*>(data + recordLength), size - recordLength);
  if (fixLength && code.size() >= 2) {
    code[0] = static_cast<char>(code.size() & 0xFF);
    code[1] = static_cast<char>((code.size() >> 8) & 0xFF);
  }
  static FuzzContext context;
  int16_t err = 0;
  const std::string value = dbf::DbfEvalExprCode(context, err, code, 1, record);
  if (err != 0 && !value.empty()) std::abort();
  return 0;
}
