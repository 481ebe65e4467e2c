// An SQLite file layer for the key indexes that keeps a checksum in the last
// eight bytes of every page of an index file and checks it on every read, so
// that a damaged page is found the moment it is read (the read fails with
// SQLITE_IOERR_DATA) instead of being taken for keys or for the end of the
// index. Files whose header does not ask for checksums (eight reserved bytes
// and the index's application id) pass through unchecked.
//
// Each KeyIndexLibrary registers a layer of its own under a unique name, so
// that a test can make that library's writes fail (disk full, read-only)
// without touching any other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct sqlite3_vfs;

namespace kelvarin::platform {

// The application id written into the header of every checksummed index.
constexpr uint32_t kKeyIndexAppId = 0x4B564958;  // "KVIX"
constexpr int kKeyIndexPageSize = 4096;
constexpr int kPageChecksumBytes = 8;

// The checksum of a page's bytes but its last eight.
uint64_t PageChecksum(const unsigned char* page, size_t pageSize);
// Whether the page's last eight bytes hold the checksum of the rest.
bool PageChecksumOk(const unsigned char* page, size_t pageSize);

class CheckedVfs {
 public:
  CheckedVfs();
  ~CheckedVfs();
  CheckedVfs(const CheckedVfs&) = delete;
  CheckedVfs& operator=(const CheckedVfs&) = delete;

  // The name to pass to sqlite3_open_v2.
  const char* Name() const { return name_.c_str(); }

  // Test hook: once `afterBytes` more bytes have been written through this
  // layer, every write fails with the SQLite result `sqliteCode` and the
  // system error `errnoValue` (SQLITE_FULL with ENOSPC for a full disk). 0
  // clears it.
  void FailWrites(int sqliteCode, int errnoValue, int64_t afterBytes = 0);

  struct State;

 private:
  std::string name_;
  State* state_;
};

}  // namespace kelvarin::platform
