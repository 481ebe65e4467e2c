#include "platform/files/memory_file_system.h"

#include <algorithm>
#include <cstring>

#include "platform/files/runtime_errors.h"

namespace kelvarin::platform {

class MemoryFileSystem::MemoryFile final : public RandomAccessFile {
 public:
  MemoryFile(MemoryFileSystem& fs, std::shared_ptr<std::vector<uint8_t>> data, std::string path, bool writable)
      : fs_(fs), data_(std::move(data)), path_(std::move(path)), writable_(writable) {}

  int Read(int64_t offset, void* buffer, size_t len, size_t* got) override {
    *got = 0;
    if (offset < 0) return kErrBadRecordNumber;
    if (static_cast<uint64_t>(offset) >= data_->size()) return kErrNone;
    *got = std::min(len, data_->size() - static_cast<size_t>(offset));
    std::memcpy(buffer, data_->data() + offset, *got);
    return kErrNone;
  }

  int Write(int64_t offset, const void* data, size_t len) override {
    if (!writable_) return kErrBadFileMode;
    if (offset < 0) return kErrBadRecordNumber;
    size_t end = static_cast<size_t>(offset) + len;
    if (end > data_->size()) {
      if (!fs_.Fits(static_cast<int64_t>(end - data_->size()))) return kErrDiskFull;
      data_->resize(end, 0);
    }
    if (len) std::memcpy(data_->data() + offset, data, len);
    return kErrNone;
  }

  int Size(int64_t* size) override {
    *size = static_cast<int64_t>(data_->size());
    return kErrNone;
  }

  int Truncate(int64_t size) override {
    if (!writable_) return kErrBadFileMode;
    if (size < 0) return kErrBadRecordNumber;
    if (static_cast<size_t>(size) > data_->size() && !fs_.Fits(size - static_cast<int64_t>(data_->size())))
      return kErrDiskFull;
    data_->resize(static_cast<size_t>(size), 0);
    return kErrNone;
  }

  int Flush() override { return kErrNone; }
  int Lock(int64_t, int64_t) override { return kErrNone; }
  int Unlock(int64_t, int64_t) override { return kErrNone; }
  const std::string& Path() const override { return path_; }

 private:
  MemoryFileSystem& fs_;
  std::shared_ptr<std::vector<uint8_t>> data_;
  std::string path_;
  bool writable_;
};

MemoryFileSystem::MemoryFileSystem() { dirs_.insert("/"); }

void MemoryFileSystem::AddDirectory(const std::string& dir) {
  std::string d = dir;
  while (d.size() > 1 && d.back() == '/') d.pop_back();
  while (!d.empty() && !dirs_.count(d)) {
    dirs_.insert(d);
    d = DirectoryOf(d);
  }
}

void MemoryFileSystem::SetFile(const std::string& path, const std::string& bytes) {
  AddDirectory(DirectoryOf(path));
  Node& node = files_[path];
  node.data = std::make_shared<std::vector<uint8_t>>(bytes.begin(), bytes.end());
}

bool MemoryFileSystem::GetFile(const std::string& path, std::string* bytes) const {
  auto it = files_.find(path);
  if (it == files_.end()) return false;
  bytes->assign(it->second.data->begin(), it->second.data->end());
  return true;
}

void MemoryFileSystem::SetReadOnly(const std::string& path, bool readOnly) {
  auto it = files_.find(path);
  if (it != files_.end()) {
    it->second.readOnly = readOnly;
  } else if (dirs_.count(path)) {
    if (readOnly) readOnlyDirs_.insert(path);
    else readOnlyDirs_.erase(path);
  }
}

int64_t MemoryFileSystem::UsedBytes() const {
  int64_t used = 0;
  for (const auto& [path, node] : files_) used += static_cast<int64_t>(node.data->size());
  return used;
}

int MemoryFileSystem::Open(const std::string& path, FileAccess access, FileShare /*share*/, FileCreate create,
                           std::unique_ptr<RandomAccessFile>* out) {
  out->reset();
  if (path.empty()) return kErrBadFileNumber;
  if (dirs_.count(path)) return kErrPathFileAccess;
  const std::string dir = DirectoryOf(path);
  if (!DirectoryExists(dir)) return kErrFileNotFound;
  if (create == FileCreate::CreateOrTruncate && access == FileAccess::Read) return kErrBadFileMode;
  auto it = files_.find(path);
  const bool writes = access != FileAccess::Read;
  if (it == files_.end()) {
    if (create == FileCreate::OpenExisting) return kErrFileNotFound;
    if (!DirectoryWritable(dir)) return kErrPathFileAccess;
    it = files_.emplace(path, Node{std::make_shared<std::vector<uint8_t>>(), false}).first;
  } else {
    if (create == FileCreate::CreateNew) return kErrFileExists;
    if (writes && it->second.readOnly) return kErrPathFileAccess;
    if (create == FileCreate::CreateOrTruncate) it->second.data->clear();
  }
  *out = std::make_unique<MemoryFile>(*this, it->second.data, path, writes);
  return kErrNone;
}

int MemoryFileSystem::Stat(const std::string& path, FileInfo* info) {
  *info = FileInfo{};
  if (dirs_.count(path)) {
    info->exists = info->isDirectory = true;
    info->readOnly = !DirectoryWritable(path);
    return kErrNone;
  }
  auto it = files_.find(path);
  if (it == files_.end()) return kErrNone;
  info->exists = true;
  info->readOnly = it->second.readOnly;
  info->size = static_cast<int64_t>(it->second.data->size());
  return kErrNone;
}

int MemoryFileSystem::List(const std::string& dir, std::vector<std::string>* names) {
  names->clear();
  if (!DirectoryExists(dir)) return kErrPathNotFound;
  for (const auto& [path, node] : files_)
    if (DirectoryOf(path) == dir) names->push_back(path.substr(path.find_last_of('/') + 1));
  return kErrNone;
}

int MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
  auto it = files_.find(from);
  if (it == files_.end()) return kErrFileNotFound;
  const std::string toDir = DirectoryOf(to);
  if (!DirectoryExists(toDir)) return kErrPathNotFound;
  if (dirs_.count(to)) return kErrPathFileAccess;
  if (!DirectoryWritable(toDir) || !DirectoryWritable(DirectoryOf(from))) return kErrPathFileAccess;
  Node moved = it->second;
  files_.erase(it);
  files_[to] = std::move(moved);
  return kErrNone;
}

int MemoryFileSystem::RenameNoReplace(const std::string& from, const std::string& to) {
  if (files_.count(from) && files_.count(to)) return kErrFileExists;
  return Rename(from, to);
}

int MemoryFileSystem::Remove(const std::string& path) {
  auto it = files_.find(path);
  if (it == files_.end()) return kErrFileNotFound;
  if (!DirectoryWritable(DirectoryOf(path))) return kErrPathFileAccess;
  files_.erase(it);
  return kErrNone;
}

int MemoryFileSystem::SyncDirectory(const std::string& dir) {
  return DirectoryExists(dir) ? kErrNone : kErrPathNotFound;
}

}  // namespace kelvarin::platform
