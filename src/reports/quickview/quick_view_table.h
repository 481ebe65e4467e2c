// QuickViewEntries: the entry numbers behind the rows of the Quick View grid: element r - 1
// holds the entry shown in row r. Written only as rows are added, read only
// when an edited cell is written back. It outlives the window and is not
// cleared between runs, so the window itself remembers which rows the
// current run filled.
#pragma once

#include <array>
#include <cstdint>

#include "store/types.h"

namespace kelvarin::reports {

class QuickViewTable {
 public:
  static constexpr int32_t kCapacity = store::kMaxQuickViewLines;

  // Rows outside 1..kCapacity are refused (false) and nothing is written.
  bool Set(int32_t row, float entryNumber) {
    if (row < 1 || row > kCapacity) return false;
    numbers_[static_cast<size_t>(row - 1)] = entryNumber;
    return true;
  }
  // 0 for a row outside the table.
  float Get(int32_t row) const {
    if (row < 1 || row > kCapacity) return 0;
    return numbers_[static_cast<size_t>(row - 1)];
  }

 private:
  std::array<float, kCapacity> numbers_{};
};

}  // namespace kelvarin::reports
