#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/files/file_system.h"
#include "platform/files/runtime_errors.h"

namespace kelvarin::platform {

int DiskFileSystem::Open(const std::string& path, FileAccess access, FileShare share, FileCreate create,
                         std::unique_ptr<RandomAccessFile>* out) {
  int error = kErrNone;
  *out = OpenDiskFile(path, access, share, create, &error);
  return *out ? kErrNone : (error != kErrNone ? error : kErrDeviceIO);
}

int DiskFileSystem::Stat(const std::string& path, FileInfo* info) {
  *info = FileInfo{};
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return kErrNone;
    return ErrnoToRuntimeError(errno);
  }
  info->exists = true;
  info->isDirectory = S_ISDIR(st.st_mode);
  info->size = static_cast<int64_t>(st.st_size);
  // Clear write bits mark a file read-only as the user meant it, even for a
  // process the system would let write anyway.
  info->readOnly = (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
  return kErrNone;
}

int DiskFileSystem::List(const std::string& dir, std::vector<std::string>* names) {
  names->clear();
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return ErrnoToRuntimeError(errno);
  while (const dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st {};
    std::string full = (dir.empty() ? std::string(".") : dir) + "/" + name;
    if (::stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) names->push_back(std::move(name));
  }
  ::closedir(d);
  std::sort(names->begin(), names->end());
  return kErrNone;
}

int DiskFileSystem::Rename(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0 ? kErrNone : ErrnoToRuntimeError(errno);
}

int DiskFileSystem::RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return kErrNone;
  if (errno != EINVAL && errno != ENOSYS) return ErrnoToRuntimeError(errno);
  // A file system without the no-replace rename: a second link (which
  // fails on an existing name), then the old one goes.
  if (::link(from.c_str(), to.c_str()) != 0) return ErrnoToRuntimeError(errno);
  if (::unlink(from.c_str()) != 0) {
    const int error = ErrnoToRuntimeError(errno);
    ::unlink(to.c_str());
    return error;
  }
  return kErrNone;
}

int DiskFileSystem::Remove(const std::string& path) {
  return ::unlink(path.c_str()) == 0 ? kErrNone : ErrnoToRuntimeError(errno);
}

int DiskFileSystem::SyncDirectory(const std::string& dir) {
  int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return ErrnoToRuntimeError(errno);
  int result = kErrNone;
  // Some file systems cannot sync a directory (EINVAL); the rename stands
  // all the same.
  if (::fsync(fd) != 0 && errno != EINVAL) result = ErrnoToRuntimeError(errno);
  ::close(fd);
  return result;
}

}  // namespace kelvarin::platform
