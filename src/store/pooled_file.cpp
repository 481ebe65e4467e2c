#include "store/pooled_file.h"

#include "platform/files/runtime_errors.h"

namespace kelvarin::store {

PooledFile::PooledFile(platform::FilePool& pool, const std::string& path, platform::FileAccess access,
                       platform::FileCreate create)
    : pool_(pool) {
  int number = pool_.FreeFile();
  if (number == 0) {
    error_ = platform::kErrTooManyFiles;
    return;
  }
  error_ = pool_.Open(number, path, access, platform::FileShare::NoClause, create);
  if (error_ == 0) number_ = number;
}

PooledFile::~PooledFile() {
  if (number_ != 0) pool_.Close(number_);
}

platform::RandomAccessFile* PooledFile::file() const { return number_ ? pool_.Get(number_) : nullptr; }

bool PooledFile::ReadExact(int64_t offset, void* buffer, size_t len) {
  auto* f = file();
  size_t got = 0;
  return f && f->Read(offset, buffer, len, &got) == 0 && got == len;
}

bool PooledFile::Write(int64_t offset, const void* data, size_t len) {
  auto* f = file();
  return f && f->Write(offset, data, len) == 0;
}

int64_t PooledFile::Size() {
  auto* f = file();
  int64_t size = -1;
  if (!f || f->Size(&size) != 0) return -1;
  return size;
}

}  // namespace kelvarin::store
