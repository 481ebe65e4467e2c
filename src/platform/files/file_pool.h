// The pool of file numbers. Files are opened under a number taken from the
// pool (the lowest free one, from 1) and closed by that number, as the
// program's file operations expect. Every open goes through the pool's file
// layer (file_system.h): the disk, or one a test gives. Every failure is a run-time error number
// (runtime_errors.h), never an exception.
//
// Sharing: the classic sharing modes (others may read and write, read only,
// nothing) are kept with open-file-description locks on sentinel bytes far
// beyond any data: an opener announces each access it takes and each access
// it denies with a shared lock on that access's byte, then checks the other
// opens' bytes. Conflicting opens (an access another denies, or a denial of
// an access another takes) fail with error 70, also between two opens in the
// same process; two opens that deny the same access do not conflict.
// Byte-range record locks use exclusive locks of the same kind on the data
// bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelvarin::platform {

enum class FileAccess { Read, Write, ReadWrite };
enum class FileShare { NoClause, Shared, DenyWrite, DenyRead, DenyAll };
enum class FileCreate {
  OpenExisting,      // error 53 when missing
  CreateNew,         // error 58 when it exists
  CreateOrTruncate,  // empties an existing file
  OpenOrCreate,
};

// One open file. Offsets are 0-based bytes.
class RandomAccessFile {
 public:
  virtual ~RandomAccessFile() = default;
  // Reads up to len bytes; *got tells how many (fewer at the end of the file).
  virtual int Read(int64_t offset, void* buffer, size_t len, size_t* got) = 0;
  virtual int Write(int64_t offset, const void* data, size_t len) = 0;
  virtual int Size(int64_t* size) = 0;
  virtual int Truncate(int64_t size) = 0;
  virtual int Flush() = 0;
  // Exclusive byte-range lock without waiting: 0, or 70 when another holds it.
  virtual int Lock(int64_t offset, int64_t len) = 0;
  virtual int Unlock(int64_t offset, int64_t len) = 0;
  virtual const std::string& Path() const = 0;
};

// Opens a file on disk. On failure returns nullptr and sets *error.
std::unique_ptr<RandomAccessFile> OpenDiskFile(const std::string& path, FileAccess access,
                                               FileShare share, FileCreate create, int* error);

class FileSystem;

class FilePool {
 public:
  // The platform's own limit on open files.
  static constexpr int kHardLimit = 255;

  // Files are opened on the disk.
  explicit FilePool(int capacity = kHardLimit);
  // Files are opened through fs, which must outlive the pool.
  explicit FilePool(FileSystem& fs, int capacity = kHardLimit);
  ~FilePool();
  FilePool(const FilePool&) = delete;
  FilePool& operator=(const FilePool&) = delete;

  // The lowest free file number, 0 when every number is in use.
  int FreeFile() const;
  // Opens path under number (1..Capacity()). 52 for a bad number, 55 when the
  // number is in use, else the open's error.
  int Open(int number, const std::string& path, FileAccess access, FileShare share,
           FileCreate create);
  // Puts a file of the caller's under a number (tests use failing files).
  int Adopt(int number, std::unique_ptr<RandomAccessFile> file);
  // 52 when the number is not open.
  int Close(int number);
  void CloseAll();
  // nullptr when the number is not open.
  RandomAccessFile* Get(int number) const;
  bool IsOpen(int number) const { return Get(number) != nullptr; }

  // How one open of a file was made, as OpensOf tells it.
  struct OpenInfo {
    int number = 0;
    FileAccess access = FileAccess::Read;
    FileShare share = FileShare::NoClause;
  };
  // The files open in this pool that are the file at path on disk, whatever
  // name they were opened by; empty when path names no existing file.
  std::vector<OpenInfo> OpensOf(const std::string& path) const;

  // Asks for `wanted` file numbers; grants up to kHardLimit and returns the
  // number granted. The capacity grows to it and never shrinks.
  int SetHandleCount(int wanted);
  int Capacity() const { return capacity_; }

  // The file layer every open goes through; the store reaches its other
  // file operations (status, listing, rename, remove) here too.
  FileSystem& fileSystem() const { return *fs_; }

 private:
  std::unique_ptr<FileSystem> ownDisk_;
  FileSystem* fs_;
  int capacity_;
  struct Identity {
    bool known = false;  // false for adopted files
    uint64_t device = 0;
    uint64_t inode = 0;
    OpenInfo info;
  };
  std::vector<std::unique_ptr<RandomAccessFile>> files_;  // index = number
  std::vector<Identity> identities_;                      // index = number
};

}  // namespace kelvarin::platform
