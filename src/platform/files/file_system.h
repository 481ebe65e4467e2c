// The file layer: everything the program does with files by name (open,
// status, listing, rename, remove, directory sync) behind one small
// interface, so that tests can run the program's file code over an
// in-memory file system or one that fails a chosen operation
// (memory_file_system.h, fault_file_system.h). Reading, writing, sizing and
// flushing an open file are the RandomAccessFile's (file_pool.h).
//
// Every failure is a run-time error number (runtime_errors.h), never an
// exception.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/file_pool.h"

namespace kelvarin::platform {

struct FileInfo {
  bool exists = false;
  bool isDirectory = false;
  // The file (or directory) may not be written: its write permission bits
  // are all clear, or the process may not write it.
  bool readOnly = false;
  int64_t size = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // 0 and *out set, or the error (53 missing, 58 exists, 75 not allowed or
  // a directory, 61 disk full...).
  virtual int Open(const std::string& path, FileAccess access, FileShare share, FileCreate create,
                   std::unique_ptr<RandomAccessFile>* out) = 0;
  // 0 also for a missing path (exists false); an error only when the
  // question cannot be answered.
  virtual int Stat(const std::string& path, FileInfo* info) = 0;
  // The names of the regular files in dir, sorted byte-wise.
  virtual int List(const std::string& dir, std::vector<std::string>* names) = 0;
  // Replaces `to` when it exists, in one step.
  virtual int Rename(const std::string& from, const std::string& to) = 0;
  // Never replaces: 58 when `to` exists (in one step, so a file that comes
  // meanwhile is not replaced either).
  virtual int RenameNoReplace(const std::string& from, const std::string& to) = 0;
  virtual int Remove(const std::string& path) = 0;
  // Makes the directory's entries (a rename into it) durable.
  virtual int SyncDirectory(const std::string& dir) = 0;

  // A regular file stands at path.
  bool Exists(const std::string& path);
};

// The real disk. Holds no state; any number may exist.
class DiskFileSystem final : public FileSystem {
 public:
  int Open(const std::string& path, FileAccess access, FileShare share, FileCreate create,
           std::unique_ptr<RandomAccessFile>* out) override;
  int Stat(const std::string& path, FileInfo* info) override;
  int List(const std::string& dir, std::vector<std::string>* names) override;
  int Rename(const std::string& from, const std::string& to) override;
  int RenameNoReplace(const std::string& from, const std::string& to) override;
  int Remove(const std::string& path) override;
  int SyncDirectory(const std::string& dir) override;
};

// The directory part of a path ("." when it has none).
std::string DirectoryOf(const std::string& path);

// Creates a new file named prefix, six letters and digits, suffix, in the
// manner of mkstemp: the name is taken only when nothing (no file, no link)
// stands there, so no file is followed or overwritten. *path gets the name;
// the file is open for reading and writing.
int CreateUniqueFile(FileSystem& fs, const std::string& prefix, const std::string& suffix,
                     std::unique_ptr<RandomAccessFile>* out, std::string* path);

// Writes bytes as the whole new content of path, so that a failure or a
// crash at any moment leaves either the old content or the new: the bytes go
// to a new temporary file beside it (file_names.h: RewriteTempPrefix), which
// is flushed, renamed over path, and the directory synced. An existing
// read-only file is not replaced (75). On failure the temporary file is
// removed and path is as it was; the result is the first error met.
int WriteFileAtomic(FileSystem& fs, const std::string& path, std::string_view bytes);
// The same for a file that must be new: an existing path is never
// replaced (58).
int CreateFileAtomic(FileSystem& fs, const std::string& path, std::string_view bytes);

// Reads the whole file into *bytes; 53 when it is missing.
int ReadWholeFile(FileSystem& fs, const std::string& path, std::string* bytes);

}  // namespace kelvarin::platform
