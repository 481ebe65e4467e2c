// A file system over another that fails chosen operations, for tests in the
// manner of fault-injection loops: run a write path once to count its
// operations, then again failing the first, the second, ... operation, and
// check each time that the files are whole and the failure was told.
//
// Every call counts as one operation: the file system's own (open, status,
// list, rename, remove, directory sync) and those of the files it opened
// (read, write, size, truncate, flush, lock, unlock).
//
//   FaultFileSystem faults(disk);
//   faults.FailOperation(3, kErrDiskFull);   // the 3rd operation from now
//   FilePool pool(faults);
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/files/file_system.h"

namespace kelvarin::platform {

class FaultFileSystem final : public FileSystem {
 public:
  explicit FaultFileSystem(FileSystem& base) : base_(base) {}

  // The nth operation from now (1 = the next one) fails with error and does
  // nothing; with persistent set, every operation after it fails too.
  void FailOperation(int64_t n, int error, bool persistent = false);
  // Once `bytes` more bytes have been written, every write fails with error;
  // the write that crosses the limit writes the bytes up to it, as a disk
  // that fills up does.
  void FailWritesAfter(int64_t bytes, int error);
  // No more failures; the counts stay.
  void Clear();

  int64_t Operations() const { return operations_; }
  int64_t Failures() const { return failures_; }

  int Open(const std::string& path, FileAccess access, FileShare share, FileCreate create,
           std::unique_ptr<RandomAccessFile>* out) override;
  int Stat(const std::string& path, FileInfo* info) override;
  int List(const std::string& dir, std::vector<std::string>* names) override;
  int Rename(const std::string& from, const std::string& to) override;
  int RenameNoReplace(const std::string& from, const std::string& to) override;
  int Remove(const std::string& path) override;
  int SyncDirectory(const std::string& dir) override;

 private:
  class FaultFile;
  // Counts one operation; its injected error, or 0.
  int Next();
  // Counts one write of len bytes; its injected error (with *allowed the
  // bytes that may still be written), or 0.
  int NextWrite(size_t len, size_t* allowed);

  FileSystem& base_;
  int64_t operations_ = 0;
  int64_t failures_ = 0;
  int64_t failAt_ = -1;  // operation number that fails; -1 = none
  int failError_ = 0;
  bool persistent_ = false;
  int64_t writeBudget_ = -1;  // bytes still allowed; -1 = no limit
  int writeError_ = 0;
};

}  // namespace kelvarin::platform
