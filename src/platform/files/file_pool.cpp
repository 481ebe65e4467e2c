#include "platform/files/file_pool.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/files/file_system.h"
#include "platform/files/runtime_errors.h"

namespace kelvarin::platform {
namespace {

// Sentinel bytes for the sharing locks, beyond any catalog or DBF file: one
// byte per access an open takes and one per access it denies others.
constexpr off_t kReadsByte = static_cast<off_t>(1) << 40;
constexpr off_t kWritesByte = kReadsByte + 1;
constexpr off_t kDeniesReadByte = kReadsByte + 2;
constexpr off_t kDeniesWriteByte = kReadsByte + 3;

bool OfdLock(int fd, short type, off_t start, off_t len) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = start;
  fl.l_len = len;
  fl.l_pid = 0;
  return fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

class DiskFile final : public RandomAccessFile {
 public:
  DiskFile(int fd, std::string path, bool writable)
      : fd_(fd), path_(std::move(path)), writable_(writable) {}
  ~DiskFile() override { ::close(fd_); }

  int Read(int64_t offset, void* buffer, size_t len, size_t* got) override {
    size_t total = 0;
    while (total < len) {
      ssize_t n = ::pread(fd_, static_cast<char*>(buffer) + total, len - total,
                          static_cast<off_t>(offset + static_cast<int64_t>(total)));
      if (n < 0) {
        if (errno == EINTR) continue;
        *got = total;
        return ErrnoToRuntimeError(errno);
      }
      if (n == 0) break;
      total += static_cast<size_t>(n);
    }
    *got = total;
    return kErrNone;
  }

  int Write(int64_t offset, const void* data, size_t len) override {
    if (!writable_) return kErrBadFileMode;
    size_t total = 0;
    while (total < len) {
      ssize_t n = ::pwrite(fd_, static_cast<const char*>(data) + total, len - total,
                           static_cast<off_t>(offset + static_cast<int64_t>(total)));
      if (n < 0) {
        if (errno == EINTR) continue;
        return ErrnoToRuntimeError(errno);
      }
      total += static_cast<size_t>(n);
    }
    return kErrNone;
  }

  int Size(int64_t* size) override {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return ErrnoToRuntimeError(errno);
    *size = st.st_size;
    return kErrNone;
  }

  int Truncate(int64_t size) override {
    if (!writable_) return kErrBadFileMode;
    return ::ftruncate(fd_, static_cast<off_t>(size)) == 0 ? kErrNone : ErrnoToRuntimeError(errno);
  }

  int Flush() override { return ::fdatasync(fd_) == 0 ? kErrNone : ErrnoToRuntimeError(errno); }

  int Lock(int64_t offset, int64_t len) override {
    return OfdLock(fd_, F_WRLCK, static_cast<off_t>(offset), static_cast<off_t>(len))
               ? kErrNone
               : kErrPermissionDenied;
  }

  int Unlock(int64_t offset, int64_t len) override {
    return OfdLock(fd_, F_UNLCK, static_cast<off_t>(offset), static_cast<off_t>(len))
               ? kErrNone
               : kErrPermissionDenied;
  }

  const std::string& Path() const override { return path_; }

 private:
  int fd_;
  std::string path_;
  bool writable_;
};

// True when another open file description holds a lock on the byte.
bool HeldByOther(int fd, off_t byte) {
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = byte;
  fl.l_len = 1;
  fl.l_pid = 0;
  if (fcntl(fd, F_OFD_GETLK, &fl) != 0) return true;
  return fl.l_type != F_UNLCK;
}

// Announces this open's access and denials on the sentinel bytes, then
// checks them against every other open of the file: an open fails when it
// takes an access another open denies, or denies one another open takes. Two
// opens that deny the same access (two readers that both keep writers out)
// agree. Both sides announce before they check, so of two racing opens that
// conflict at least one fails.
bool TakeSharingLocks(int fd, FileAccess access, FileShare share) {
  const bool reads = access != FileAccess::Write;
  const bool writes = access != FileAccess::Read;
  const bool denyRead = share == FileShare::DenyRead || share == FileShare::DenyAll;
  const bool denyWrite = share == FileShare::DenyWrite || share == FileShare::DenyAll;
  // An opener without a sharing clause takes part too, so that an exclusive
  // open elsewhere keeps it out and it keeps an exclusive open out.
  const std::pair<bool, off_t> announce[] = {
      {reads, kReadsByte}, {writes, kWritesByte}, {denyRead, kDeniesReadByte}, {denyWrite, kDeniesWriteByte}};
  for (const auto& [wanted, byte] : announce)
    if (wanted && !OfdLock(fd, F_RDLCK, byte, 1)) return false;
  if (reads && HeldByOther(fd, kDeniesReadByte)) return false;
  if (writes && HeldByOther(fd, kDeniesWriteByte)) return false;
  if (denyRead && HeldByOther(fd, kReadsByte)) return false;
  if (denyWrite && HeldByOther(fd, kWritesByte)) return false;
  return true;
}

}  // namespace

std::unique_ptr<RandomAccessFile> OpenDiskFile(const std::string& path, FileAccess access,
                                               FileShare share, FileCreate create, int* error) {
  *error = kErrNone;
  if (path.empty()) {
    *error = kErrBadFileNumber;
    return nullptr;
  }
  // Locks need the descriptor's matching access (a shared lock needs read, an
  // exclusive one write), so the file is opened for reading and writing
  // whenever it can be; a read-only open keeps its read-only promise through
  // DiskFile and falls back to a read-only descriptor on a read-only file.
  int flags = O_CLOEXEC | O_RDWR;
  switch (create) {
    case FileCreate::OpenExisting: break;
    // O_EXCL never follows a link at the name; O_NOFOLLOW says so.
    case FileCreate::CreateNew: flags |= O_CREAT | O_EXCL | O_NOFOLLOW; break;
    case FileCreate::CreateOrTruncate: flags |= O_CREAT; break;
    case FileCreate::OpenOrCreate: flags |= O_CREAT; break;
  }
  if (create == FileCreate::CreateOrTruncate && access == FileAccess::Read) {
    *error = kErrBadFileMode;
    return nullptr;
  }
  int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0 && access == FileAccess::Read && (errno == EACCES || errno == EROFS || errno == EISDIR))
    fd = ::open(path.c_str(), (flags & ~O_RDWR) | O_RDONLY, 0644);
  if (fd < 0) {
    *error = ErrnoToRuntimeError(errno);
    return nullptr;
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    *error = kErrPathFileAccess;
    return nullptr;
  }
  if (!TakeSharingLocks(fd, access, share)) {
    ::close(fd);
    *error = kErrPermissionDenied;
    return nullptr;
  }
  // Truncate only once the sharing rules allow this open.
  if (create == FileCreate::CreateOrTruncate && ::ftruncate(fd, 0) != 0) {
    *error = ErrnoToRuntimeError(errno);
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<DiskFile>(fd, path, access != FileAccess::Read);
}

FilePool::FilePool(int capacity)
    : ownDisk_(std::make_unique<DiskFileSystem>()),
      fs_(ownDisk_.get()),
      capacity_(capacity < 1 ? 1 : (capacity > kHardLimit ? kHardLimit : capacity)),
      files_(static_cast<size_t>(kHardLimit) + 1),
      identities_(static_cast<size_t>(kHardLimit) + 1) {}

FilePool::FilePool(FileSystem& fs, int capacity)
    : fs_(&fs),
      capacity_(capacity < 1 ? 1 : (capacity > kHardLimit ? kHardLimit : capacity)),
      files_(static_cast<size_t>(kHardLimit) + 1),
      identities_(static_cast<size_t>(kHardLimit) + 1) {}

FilePool::~FilePool() = default;

int FilePool::FreeFile() const {
  for (int n = 1; n <= capacity_; ++n)
    if (!files_[static_cast<size_t>(n)]) return n;
  return 0;
}

int FilePool::Open(int number, const std::string& path, FileAccess access, FileShare share,
                   FileCreate create) {
  if (number < 1 || number > capacity_) return kErrBadFileNumber;
  if (files_[static_cast<size_t>(number)]) return kErrFileAlreadyOpen;
  std::unique_ptr<RandomAccessFile> file;
  int error = fs_->Open(path, access, share, create, &file);
  if (error != kErrNone) return error;
  if (!file) return kErrDeviceIO;
  files_[static_cast<size_t>(number)] = std::move(file);
  Identity& id = identities_[static_cast<size_t>(number)];
  id = Identity{};
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    id.known = true;
    id.device = static_cast<uint64_t>(st.st_dev);
    id.inode = static_cast<uint64_t>(st.st_ino);
    id.info = {number, access, share};
  }
  return kErrNone;
}

std::vector<FilePool::OpenInfo> FilePool::OpensOf(const std::string& path) const {
  std::vector<OpenInfo> opens;
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return opens;
  for (size_t n = 1; n < files_.size(); ++n) {
    const Identity& id = identities_[n];
    if (files_[n] && id.known && id.device == static_cast<uint64_t>(st.st_dev) &&
        id.inode == static_cast<uint64_t>(st.st_ino))
      opens.push_back(id.info);
  }
  return opens;
}

int FilePool::Adopt(int number, std::unique_ptr<RandomAccessFile> file) {
  if (number < 1 || number > capacity_ || !file) return kErrBadFileNumber;
  if (files_[static_cast<size_t>(number)]) return kErrFileAlreadyOpen;
  files_[static_cast<size_t>(number)] = std::move(file);
  identities_[static_cast<size_t>(number)] = Identity{};
  return kErrNone;
}

int FilePool::Close(int number) {
  if (number < 1 || number > kHardLimit || !files_[static_cast<size_t>(number)])
    return kErrBadFileNumber;
  files_[static_cast<size_t>(number)].reset();
  return kErrNone;
}

void FilePool::CloseAll() {
  for (auto& f : files_) f.reset();
}

RandomAccessFile* FilePool::Get(int number) const {
  if (number < 1 || number > kHardLimit) return nullptr;
  return files_[static_cast<size_t>(number)].get();
}

int FilePool::SetHandleCount(int wanted) {
  // Like the platform call it stands for, asking never takes handles away:
  // the capacity only grows, and the answer is what the caller may count on.
  int granted = wanted < 0 ? 0 : (wanted > kHardLimit ? kHardLimit : wanted);
  if (granted > capacity_) capacity_ = granted;
  return granted;
}

}  // namespace kelvarin::platform
