// Any text given to the arithmetic gives a value or an error code.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "dbf/dbf_eval_arith.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  int16_t err = -1;
  const double value = kelvarin::dbf::DbfEvalArithmetic(text, err);
  if (err != 0 && err != 11 && err != 134 && err != 142) std::abort();
  if (err == 0 && !std::isfinite(value)) std::abort();
  if (err != 0 && value != 0) std::abort();
  return 0;
}
