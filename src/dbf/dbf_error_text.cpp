// The engine's error texts; other numbers get the platform's run-time
// message for that error number.
#include <string>
#include <string_view>

#include "dbf/dbf_engine.h"
#include "platform/files/runtime_errors.h"

namespace kelvarin::dbf {
namespace {

struct CodeText {
  int16_t code;
  std::string_view text;
};

constexpr CodeText kEngineTexts[] = {
    {0, "No errors detected"},
    {70, "Record or file locking error"},
    {100, "Internal error; no more file Handles"},
    {101, "Internal error; no more database pool storage space"},
    {102, "Invalid file name"},
    {103, "Invalid file or field type"},
    {104, "Invalid file Handle"},
    {105, "Invalid file mode for operation"},
    {106, "Invalid field name"},
    {107, "Invalid field(s) defined; none defined"},
    {108, "Invalid field(s) defined; field number too high"},
    {109, "Invalid field name; already in use"},
    {110, "Invalid field length"},
    {111, "Invalid number of decimal places"},
    {112, "Invalid record length; Record size is greater than 4096 bytes"},
    {113, "Invalid DBF record number or DBT sector number"},
    {114, "Invalid record length; doesn't match header"},
    {115, "Invalid file type; file is not a DBF"},
    {116, "Invalid field number; too high"},
    {117, "Invalid mode request"},
    {118, "Internal error; pool invalid"},
    {119, "Field Not found"},
    {120, "Invalid file type; file is not an NDX"},
    {121, "Invalid key expression; too long"},
    {122, "Key Not found"},
    {123, "End of index"},
    {124, "Invalid key name; duplicate keys not allowed"},
    {125, "Invalid key length; too long/short"},
    {132, "Quoataion mark missing from literal"},
    {133, "Invalid field or function"},
    {134, "Invalid operator"},
    {135, "Missing left parenthesis"},
    {136, "Missing right parenthesis"},
    {137, "Data type mismatch"},
    {138, "Missing function argument"},
    {139, "Expression macro corrupted"},
    {146, "Invalid date string"},
    {148, "Invalid date argument, must use YYYYMMDD format"},
    {149, "Invalid date format, must use A0 to A14"},
    {150, "Too many or no records requested for lock"},
    {152, "Unknown configuration parameter"},
    {153, "Invalid configuration definition"},
    {154, "Index lock error - file already locked or unlocked"},
    {155, "Index Corrupted"},
    {156, "Invalid Julian date in CALENDAR function"},
    {157, "Invalid Calendar date in JULIAN function"},
    {200, "Invalid cipher engine number"},
    {201, "Invalid cipher engine type"},
};

}  // namespace

void DbfEngine::DbfErrorText(int16_t code, std::string& msg) {
  std::string_view text;
  for (const auto& e : kEngineTexts)
    if (e.code == code) text = e.text;
  // Numbers outside the table are the platform's run-time errors.
  if (text.empty()) text = platform::RuntimeErrorText(code);
  msg = "Error " + std::to_string(code) + "\r\n" + std::string(text);
}

int16_t DbfEngine::DbfStrToInteger(const std::string& text) {
  std::string two = text.substr(0, 2);
  while (two.size() < 2) two += ' ';
  const auto low = static_cast<uint8_t>(two[0]);
  const auto high = static_cast<uint8_t>(two[1]);
  return static_cast<int16_t>(static_cast<uint16_t>(low | (high << 8)));
}

}  // namespace kelvarin::dbf
