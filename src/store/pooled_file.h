// A file opened under a free number of the pool for the length of one
// operation, closed when it goes out of scope.
#pragma once

#include <cstdint>
#include <string>

#include "platform/files/file_pool.h"

namespace kelvarin::store {

class PooledFile {
 public:
  PooledFile(platform::FilePool& pool, const std::string& path, platform::FileAccess access,
             platform::FileCreate create);
  ~PooledFile();
  PooledFile(const PooledFile&) = delete;
  PooledFile& operator=(const PooledFile&) = delete;

  // 0 when open, else the run-time error number.
  int error() const { return error_; }
  platform::RandomAccessFile* file() const;
  // Reads exactly len bytes at offset; false on a short read or an error.
  bool ReadExact(int64_t offset, void* buffer, size_t len);
  bool Write(int64_t offset, const void* data, size_t len);
  int64_t Size();

 private:
  platform::FilePool& pool_;
  int number_ = 0;
  int error_ = 0;
};

}  // namespace kelvarin::store
