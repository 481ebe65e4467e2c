#include "engine_fixture.h"

namespace kelvarin::dbf::testing {

std::string MakeDbf(uint8_t version, const std::vector<std::tuple<std::string, char, int, int>>& fields,
                    const std::vector<std::string>& records, int extraHeaderBytes, bool endMarker) {
  const int n = static_cast<int>(fields.size());
  int recordLength = 1;
  for (const auto& f : fields) recordLength += std::get<2>(f);
  const int headerLength = 32 * n + 33 + extraHeaderBytes;
  std::string out(32, '\0');
  out[0] = static_cast<char>(version);
  out[1] = 99;
  out[2] = 12;
  out[3] = 31;
  const auto count = static_cast<uint32_t>(records.size());
  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<char>((count >> (8 * i)) & 0xFF);
  out[8] = static_cast<char>(headerLength & 0xFF);
  out[9] = static_cast<char>(headerLength >> 8);
  out[10] = static_cast<char>(recordLength & 0xFF);
  out[11] = static_cast<char>(recordLength >> 8);
  for (const auto& [name, type, length, decimals] : fields) {
    std::string d(32, '\0');
    for (size_t i = 0; i < name.size() && i < 11; ++i) d[i] = name[i];
    d[11] = type;
    d[16] = static_cast<char>(length);
    d[17] = static_cast<char>(decimals);
    out += d;
  }
  out += '\x0D';
  out += std::string(static_cast<size_t>(extraHeaderBytes), '\0');
  for (const auto& r : records) out += r;
  if (endMarker) out += '\x1A';
  return out;
}

}  // namespace kelvarin::dbf::testing
