// Buffered positional access to one open DBF file. Record reads are served
// from read-ahead blocks and consecutive writes (appends) are gathered into
// one write, so a held-header file costs no system call per record. Header
// writes (the first 32 bytes) are kept apart from the record run, so a file
// whose header is rewritten after every record still gathers its records.
// A shared file is never buffered: other programs may change it, so every
// read and write goes straight to the file.
//
// Invariant: the bytes of the file as the engine sees them are the file's
// bytes with the pending writes laid over them; a read flushes pending writes
// it overlaps, and a write drops read-ahead it overlaps.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelvarin::platform {
class RandomAccessFile;
}

namespace kelvarin::dbf {

class DbfFileCache {
 public:
  DbfFileCache(platform::RandomAccessFile& file, bool buffered);

  // Reads exactly len bytes at offset: 0, 62 (input past end of file) when
  // the file ends first, or the platform's error.
  int ReadExact(int64_t offset, char* dst, size_t len);
  // Reads up to len bytes; *got tells how many the file held.
  int ReadSome(int64_t offset, char* dst, size_t len, size_t* got);
  int Write(int64_t offset, const char* src, size_t len);
  // Writes the pending bytes to the file.
  int Flush();

 private:
  static constexpr size_t kReadBlock = 64 * 1024;
  static constexpr size_t kWriteBlock = 256 * 1024;
  static constexpr int64_t kHeadSize = 32;

  struct Block {
    std::vector<char> data;
    int64_t start = 0;
    uint64_t used = 0;  // last use, for replacing the older block
  };

  bool Overlaps(int64_t start, size_t size, int64_t offset, size_t len) const {
    return size != 0 && offset < start + static_cast<int64_t>(size) &&
           offset + static_cast<int64_t>(len) > start;
  }
  void DropReadAhead(int64_t offset, size_t len);

  platform::RandomAccessFile& file_;
  bool buffered_;
  std::array<Block, 2> blocks_;
  uint64_t clock_ = 0;
  std::vector<char> write_;
  int64_t writeStart_ = 0;
  std::array<char, kHeadSize> head_{};
  bool headPending_ = false;
};

}  // namespace kelvarin::dbf
