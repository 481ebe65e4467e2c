// An SQLite file layer for the key indexes that seals every page of an index
// file with a trailer in its last sixteen bytes and checks it on every read,
// so that a damaged page is found the moment it is read (the read fails with
// SQLITE_IOERR_DATA) instead of being taken for keys or for the end of the
// index. The trailer holds the file's salt, the page's number and a checksum
// of everything before it, so a page read from another place of the file, or
// from another index file, fails like a damaged one. The salt is drawn anew
// for every file made and kept in the header's user version. Files whose
// header does not ask for trailers (sixteen reserved bytes and the index's
// application id) pass through unchecked.
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
// The page trailer: salt (4 bytes), page number (4), checksum (8), each
// little-endian. Files of the earlier layout reserved 8 bytes, for the
// checksum alone.
constexpr int kPageTrailerBytes = 16;
constexpr int kEarlierTrailerBytes = 8;

// Writes the trailer of the page that stands at pageNumber (1 for the first).
void SealPage(unsigned char* page, size_t pageSize, uint32_t pageNumber, uint32_t salt);
// Whether the page carries a sound trailer for that place in a file of that
// salt.
bool PageSealOk(const unsigned char* page, size_t pageSize, uint32_t pageNumber, uint32_t salt);
// Whether the page carries a sound trailer for the place and salt it names
// itself: a page of some index file, wherever it stands now.
bool PageSealed(const unsigned char* page, size_t pageSize);

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
