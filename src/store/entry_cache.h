// Entries read out of order (key-order and sort-chain walks, Next and
// Previous) come from a read-only memory map of the data file instead of a
// read call each. Writes made through the file are seen at once (the map
// shares the system's cache of the file); a file grown since mapping is
// mapped again when a read reaches past the mapped end; a file replaced or
// cut short by the program must be announced with Invalidate before the next
// read. Each entry is copied out of the map under a guard (map_guard.h): a
// page that another program has cut off, or that the device cannot read,
// fails that read and the file is looked at anew at the next.
//
// Mapped pages count towards the program's resident memory, so only files
// up to the map limit are mapped, and every so many reads the map lets its
// pages go (the system keeps them cached): a walk over a large catalog
// costs no more memory than one over a small one.
//
// A file larger than the map limit is read by copying each entry from the
// system's cache through the cache's own descriptor. Out of order, a page
// fault maps far more than the entry (the system maps whole runs of cached
// pages at once) and letting them go again costs more still, so on a file
// too large to stay mapped one copy per entry is both faster and lighter.
// Under the limit, the mapped pages are let go rarely: a file that small
// is soon wholly mapped again anyway, and reads from a mapped file are
// many times faster than copies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvarin::store {

class EntryCache {
 public:
  // Reads served between two releases of the mapped pages.
  static constexpr int kReleaseEvery = 65536;

  // Files up to this size are mapped.
  static constexpr int64_t kMapLimit = 16 * 1024 * 1024;

  explicit EntryCache(int64_t mapLimit = kMapLimit) : mapLimit_(mapLimit) {}
  ~EntryCache();
  EntryCache(const EntryCache&) = delete;
  EntryCache& operator=(const EntryCache&) = delete;

  // The `len` bytes at `offset` of the file at `path`; nullptr when they lie
  // beyond the end of the file, cannot be read or the file cannot be mapped
  // (the caller reads them itself then). Valid until the next call.
  const uint8_t* Bytes(const std::string& path, int64_t offset, size_t len);
  // The file may have been replaced, cut short or grown: the next read
  // looks at it again.
  void Invalidate() { stale_ = true; }
  // Unmaps and forgets the file.
  void Close();

 private:
  bool Map(const std::string& path);
  const uint8_t* Copy(int64_t offset, size_t len);

  std::string path_;
  int fd_ = -1;
  uint8_t* map_ = nullptr;
  size_t mapped_ = 0;
  uint64_t identity_ = 0;
  bool stale_ = false;
  bool unmappable_ = false;
  int served_ = 0;
  int64_t mapLimit_;
  // The file is read, not mapped: it was larger than the limit when opened.
  bool copying_ = false;
  std::vector<uint8_t> copy_;
};

}  // namespace kelvarin::store
