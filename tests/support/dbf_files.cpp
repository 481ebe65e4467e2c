#include "support/dbf_files.h"

#include <algorithm>
#include <cstring>

namespace kelvarin::test_support {

namespace {

void Put16(std::string& b, size_t at, int v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

uint32_t Get32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + static_cast<size_t>(i)]);
  return v;
}

int Get16(const std::string& b, size_t at) {
  return static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8);
}

}  // namespace

std::string MakeDbfBytes(const std::vector<DbfColumn>& columns, const std::vector<DbfRow>& rows,
                         std::optional<uint32_t> countOverride) {
  const size_t n = columns.size();
  int recordLength = 1;
  for (const auto& c : columns) recordLength += c.length;
  std::string b(32 + 32 * n + 1, '\0');
  b[0] = 0x03;
  b[1] = 97;
  b[2] = 11;
  b[3] = 15;
  const uint32_t count = countOverride.value_or(static_cast<uint32_t>(rows.size()));
  for (int i = 0; i < 4; ++i) b[4 + static_cast<size_t>(i)] = static_cast<char>((count >> (8 * i)) & 0xFF);
  Put16(b, 8, static_cast<int>(32 * n + 33));
  Put16(b, 10, recordLength);
  for (size_t i = 0; i < n; ++i) {
    const size_t at = 32 + 32 * i;
    std::memcpy(b.data() + at, columns[i].name.data(), std::min<size_t>(columns[i].name.size(), 10));
    b[at + 11] = columns[i].type;
    b[at + 16] = static_cast<char>(columns[i].length);
    b[at + 17] = static_cast<char>(columns[i].decimals);
  }
  b[32 + 32 * n] = 0x0D;
  for (const auto& row : rows) {
    b += row.deleted ? '*' : ' ';
    for (size_t i = 0; i < n; ++i) {
      std::string v = i < row.values.size() ? row.values[i] : "";
      v.resize(static_cast<size_t>(columns[i].length), ' ');
      b += v;
    }
  }
  b += '\x1A';
  return b;
}

std::optional<DbfContents> ParseDbf(const std::string& b) {
  if (b.size() < 33) return std::nullopt;
  DbfContents out;
  out.version = static_cast<uint8_t>(b[0]);
  out.recordCount = Get32(b, 4);
  const size_t headerLength = static_cast<size_t>(Get16(b, 8));
  const size_t recordLength = static_cast<size_t>(Get16(b, 10));
  if (headerLength < 33 || headerLength > b.size()) return std::nullopt;
  for (size_t at = 32; at + 32 <= headerLength && b[at] != 0x0D; at += 32) {
    DbfColumn c;
    c.name = b.substr(at, 11);
    c.name.resize(std::strlen(c.name.c_str()));
    c.type = b[at + 11];
    c.length = static_cast<uint8_t>(b[at + 16]);
    c.decimals = static_cast<uint8_t>(b[at + 17]);
    out.columns.push_back(c);
  }
  for (uint32_t r = 0; r < out.recordCount; ++r) {
    const size_t at = headerLength + r * recordLength;
    if (at + recordLength > b.size()) return std::nullopt;
    DbfRow row;
    row.deleted = b[at] == '*';
    size_t pos = at + 1;
    for (const auto& c : out.columns) {
      row.values.push_back(b.substr(pos, static_cast<size_t>(c.length)));
      pos += static_cast<size_t>(c.length);
    }
    out.rows.push_back(row);
  }
  return out;
}

}  // namespace kelvarin::test_support
