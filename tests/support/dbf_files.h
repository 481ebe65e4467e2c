// dBase III files for tests, written and read byte by byte, independently
// of the DBF engine.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvarin::test_support {

struct DbfColumn {
  std::string name;
  char type = 'C';
  int length = 10;
  int decimals = 0;
};

struct DbfRow {
  std::vector<std::string> values;  // padded or cut to each column
  bool deleted = false;
};

// A dBase III file: version 0x03, the columns, the records, the 0x1A end.
// countOverride replaces the header's record count (as unsigned bytes).
std::string MakeDbfBytes(const std::vector<DbfColumn>& columns, const std::vector<DbfRow>& rows,
                         std::optional<uint32_t> countOverride = std::nullopt);

struct DbfContents {
  uint8_t version = 0;
  uint32_t recordCount = 0;
  std::vector<DbfColumn> columns;  // names without their 0x00 padding
  std::vector<DbfRow> rows;        // values as stored, untrimmed
};
// Reads a DBF's header, descriptors and records from its bytes.
std::optional<DbfContents> ParseDbf(const std::string& bytes);

}  // namespace kelvarin::test_support
