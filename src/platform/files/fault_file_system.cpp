#include "platform/files/fault_file_system.h"

#include "platform/files/runtime_errors.h"

namespace kelvarin::platform {

class FaultFileSystem::FaultFile final : public RandomAccessFile {
 public:
  FaultFile(FaultFileSystem& fs, std::unique_ptr<RandomAccessFile> base) : fs_(fs), base_(std::move(base)) {}

  int Read(int64_t offset, void* buffer, size_t len, size_t* got) override {
    *got = 0;
    if (int e = fs_.Next()) return e;
    return base_->Read(offset, buffer, len, got);
  }
  int Write(int64_t offset, const void* data, size_t len) override {
    size_t allowed = 0;
    if (int e = fs_.NextWrite(len, &allowed)) {
      // A disk that fills up mid-write keeps what fitted.
      if (allowed > 0) base_->Write(offset, data, allowed);
      return e;
    }
    return base_->Write(offset, data, len);
  }
  int Size(int64_t* size) override {
    if (int e = fs_.Next()) return e;
    return base_->Size(size);
  }
  int Truncate(int64_t size) override {
    if (int e = fs_.Next()) return e;
    return base_->Truncate(size);
  }
  int Flush() override {
    if (int e = fs_.Next()) return e;
    return base_->Flush();
  }
  int Lock(int64_t offset, int64_t len) override {
    if (int e = fs_.Next()) return e;
    return base_->Lock(offset, len);
  }
  int Unlock(int64_t offset, int64_t len) override {
    if (int e = fs_.Next()) return e;
    return base_->Unlock(offset, len);
  }
  const std::string& Path() const override { return base_->Path(); }

 private:
  FaultFileSystem& fs_;
  std::unique_ptr<RandomAccessFile> base_;
};

void FaultFileSystem::FailOperation(int64_t n, int error, bool persistent) {
  failAt_ = n < 1 ? -1 : operations_ + n;
  failError_ = error;
  persistent_ = persistent;
}

void FaultFileSystem::FailWritesAfter(int64_t bytes, int error) {
  writeBudget_ = bytes < 0 ? 0 : bytes;
  writeError_ = error;
}

void FaultFileSystem::Clear() {
  failAt_ = -1;
  writeBudget_ = -1;
}

int FaultFileSystem::Next() {
  ++operations_;
  if (failAt_ > 0 && (operations_ == failAt_ || (persistent_ && operations_ > failAt_))) {
    ++failures_;
    return failError_;
  }
  return kErrNone;
}

int FaultFileSystem::NextWrite(size_t len, size_t* allowed) {
  *allowed = 0;
  if (int e = Next()) return e;
  if (writeBudget_ < 0) return kErrNone;
  if (static_cast<int64_t>(len) > writeBudget_) {
    *allowed = static_cast<size_t>(writeBudget_);
    writeBudget_ = 0;
    ++failures_;
    return writeError_;
  }
  writeBudget_ -= static_cast<int64_t>(len);
  return kErrNone;
}

int FaultFileSystem::Open(const std::string& path, FileAccess access, FileShare share, FileCreate create,
                          std::unique_ptr<RandomAccessFile>* out) {
  out->reset();
  if (int e = Next()) return e;
  std::unique_ptr<RandomAccessFile> file;
  int error = base_.Open(path, access, share, create, &file);
  if (error == kErrNone) *out = std::make_unique<FaultFile>(*this, std::move(file));
  return error;
}

int FaultFileSystem::Stat(const std::string& path, FileInfo* info) {
  *info = FileInfo{};
  if (int e = Next()) return e;
  return base_.Stat(path, info);
}

int FaultFileSystem::List(const std::string& dir, std::vector<std::string>* names) {
  names->clear();
  if (int e = Next()) return e;
  return base_.List(dir, names);
}

int FaultFileSystem::Rename(const std::string& from, const std::string& to) {
  if (int e = Next()) return e;
  return base_.Rename(from, to);
}

int FaultFileSystem::RenameNoReplace(const std::string& from, const std::string& to) {
  if (int e = Next()) return e;
  return base_.RenameNoReplace(from, to);
}

int FaultFileSystem::Remove(const std::string& path) {
  if (int e = Next()) return e;
  return base_.Remove(path);
}

int FaultFileSystem::SyncDirectory(const std::string& dir) {
  if (int e = Next()) return e;
  return base_.SyncDirectory(dir);
}

}  // namespace kelvarin::platform
