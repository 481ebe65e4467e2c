// A file system held in memory, for tests: files and folders by full path
// ("/" separated), read-only marks, and an optional capacity beyond which
// writes fail with "Disk full". Sharing modes and locks are not enforced.
//
//   MemoryFileSystem fs;            // holds the folder "/"
//   fs.AddDirectory("/app");
//   fs.SetFile("/app/QAV.INI", "[Database]\r\nCurrentDB=BOOKS\r\n");
//   FilePool pool(fs);              // the program's files open in memory
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/files/file_system.h"

namespace kelvarin::platform {

class MemoryFileSystem final : public FileSystem {
 public:
  MemoryFileSystem();

  // Adds the folder and its parents.
  void AddDirectory(const std::string& dir);
  // Puts a file with these bytes (its folder is added when missing).
  void SetFile(const std::string& path, const std::string& bytes);
  // The file's bytes; false when there is no such file.
  bool GetFile(const std::string& path, std::string* bytes) const;
  // Marks a file or folder read-only (or writable again).
  void SetReadOnly(const std::string& path, bool readOnly);
  // The most bytes all files together may hold; -1 = no limit.
  void SetCapacity(int64_t bytes) { capacity_ = bytes; }
  int64_t UsedBytes() const;

  int Open(const std::string& path, FileAccess access, FileShare share, FileCreate create,
           std::unique_ptr<RandomAccessFile>* out) override;
  int Stat(const std::string& path, FileInfo* info) override;
  int List(const std::string& dir, std::vector<std::string>* names) override;
  int Rename(const std::string& from, const std::string& to) override;
  int RenameNoReplace(const std::string& from, const std::string& to) override;
  int Remove(const std::string& path) override;
  int SyncDirectory(const std::string& dir) override;

 private:
  class MemoryFile;
  struct Node {
    std::shared_ptr<std::vector<uint8_t>> data;
    bool readOnly = false;
  };
  bool DirectoryExists(const std::string& dir) const { return dirs_.count(dir) != 0; }
  bool DirectoryWritable(const std::string& dir) const { return readOnlyDirs_.count(dir) == 0; }
  // Whether the contents may grow by `more` bytes.
  bool Fits(int64_t more) const { return capacity_ < 0 || UsedBytes() + more <= capacity_; }

  std::map<std::string, Node> files_;
  std::set<std::string> dirs_;
  std::set<std::string> readOnlyDirs_;
  int64_t capacity_ = -1;
};

}  // namespace kelvarin::platform
