// Opens arbitrary bytes as a DBF file and reads everything the engine offers
// about it: file and field information and every record (bounded), then
// appends one record and closes. Any crash, hang or out-of-bounds access is
// a fault; error codes are the expected outcome for malformed input.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "dbf/dbf_engine.h"
#include "platform/files/file_pool.h"
#include "platform/scripted/scripted_host.h"

namespace {

using namespace kelvarin;

// An upper-case folder, so the engine's upper-cased name needs no case search.
const std::string& WorkFile() {
  static const std::string path = [] {
    std::string dir = "/tmp/KVFUZZ" + std::to_string(::getpid());
    ::mkdir(dir.c_str(), 0700);
    std::atexit([] {
      const std::string d = "/tmp/KVFUZZ" + std::to_string(::getpid());
      std::remove((d + "/F.DBF").c_str());
      ::rmdir(d.c_str());
    });
    return dir + "/F.DBF";
  }();
  return path;
}

constexpr int32_t kMaxRecords = 5000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = WorkFile();
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
  } else {
    return 0;
  }
  platform::ScriptedHost host;  // answers any box; nothing here checks them
  platform::FilePool pool;
  dbf::DbfEngine engine(host, pool);

  // Odd sizes open with the header re-read on every request, even sizes held.
  const int16_t request = (size % 2) ? 0 : 4;
  int16_t handle = 0, err = 0, fileType = 3;
  std::string name = path;
  engine.DbfOpen(handle, err, name, fileType, request);
  if (err != 0) return 0;

  int16_t type = 0, fieldCount = 0, recordLength = 0;
  bool memo = false;
  std::string lastUpdate;
  int32_t records = 0;
  engine.DbfFileInfo(handle, err, type, memo, lastUpdate, records, fieldCount, recordLength);
  for (int16_t i = 0; i <= fieldCount + 1; ++i) {
    int16_t fieldNo = i, length = 0, decimals = 0;
    std::string fieldName = i == 0 ? "A" : "", fieldType;
    engine.DbfFieldInfo(handle, err, fieldNo, fieldName, fieldType, length, decimals);
  }
  std::string buffer;
  for (int32_t n = 0; n < kMaxRecords; ++n) {
    int32_t recNo = 0;
    engine.DbfReadRecord(handle, err, recNo, buffer);
    if (err != 0) break;
  }
  int32_t recNo = -1;
  engine.DbfReadRecord(handle, err, recNo, buffer);

  std::vector<std::string> values(static_cast<size_t>(fieldCount > 0 ? fieldCount : 0) + 1, "12/31/1999");
  values[0] = "*";
  recNo = 0;
  engine.DbfAppendFields(handle, err, 0, values, recNo);
  engine.DbfClose(handle, err, 0);
  return 0;
}
