#include "store/entry_cache.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "store/map_guard.h"

namespace kelvarin::store {
namespace {

uint64_t Identity(const struct stat& st) {
  return (static_cast<uint64_t>(st.st_dev) << 40) ^ static_cast<uint64_t>(st.st_ino);
}

// Reading an entry need not stamp the file's access time: on a walk that
// reads one entry per call, that stamp's check is a tenth of the call. Only
// the file's owner may ask it; anyone else reads as usual.
int OpenForReading(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOATIME);
  if (fd >= 0 || errno != EPERM) return fd;
  return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

}  // namespace

EntryCache::~EntryCache() { Close(); }

void EntryCache::Close() {
  if (map_) ::munmap(map_, mapped_);
  if (fd_ >= 0) ::close(fd_);
  map_ = nullptr;
  mapped_ = 0;
  fd_ = -1;
  identity_ = 0;
  path_.clear();
  stale_ = false;
  unmappable_ = false;
  served_ = 0;
  copying_ = false;
}

bool EntryCache::Map(const std::string& path) {
  const bool samePath = path == path_;
  struct stat st {};
  // The open descriptor stays on the file first mapped; a file replaced
  // under the path is opened anew.
  if (samePath && fd_ >= 0 && ::stat(path.c_str(), &st) == 0 && Identity(st) == identity_) {
    if (::fstat(fd_, &st) != 0) return false;
  } else {
    Close();
    path_ = path;
    fd_ = OpenForReading(path);
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
      unmappable_ = true;
      return false;
    }
    identity_ = Identity(st);
  }
  if (map_) ::munmap(map_, mapped_);
  map_ = nullptr;
  mapped_ = 0;
  copying_ = st.st_size > mapLimit_;
  if (copying_) {
    mapped_ = static_cast<size_t>(st.st_size);
    return true;
  }
  if (st.st_size <= 0) return false;
  void* m = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_SHARED, fd_, 0);
  if (m == MAP_FAILED) {
    unmappable_ = true;
    return false;
  }
  map_ = static_cast<uint8_t*>(m);
  mapped_ = static_cast<size_t>(st.st_size);
  return true;
}

const uint8_t* EntryCache::Bytes(const std::string& path, int64_t offset, size_t len) {
  if (offset < 0) return nullptr;
  const size_t end = static_cast<size_t>(offset) + len;
  if (path != path_) {
    if (!Map(path)) return nullptr;
  } else if (stale_) {
    stale_ = false;
    unmappable_ = false;
    // Changes written in place are in the map already; only a file replaced
    // or cut short needs a new one.
    struct stat st {};
    const bool same = (map_ || copying_) && ::stat(path.c_str(), &st) == 0 && Identity(st) == identity_ &&
                      static_cast<size_t>(st.st_size) == mapped_;
    if (!same && !Map(path)) return nullptr;
  } else if (unmappable_) {
    return nullptr;
  }
  if (copying_) return Copy(offset, len);
  // Past the mapped end: the file may have grown since.
  if (end > mapped_ && !Map(path)) return nullptr;
  if (copying_) return Copy(offset, len);  // grown past the map limit
  if (end > mapped_) return nullptr;
  if (++served_ >= kReleaseEvery) {
    served_ = 0;
    ::madvise(map_, mapped_, MADV_DONTNEED);
  }
  // Copied out under a guard, so that no later use of the bytes can fault.
  if (copy_.size() < len) copy_.resize(len);
  if (!CopyFromMap(copy_.data(), map_ + offset, len)) {
    // Cut short by another program, or unreadable: looked at anew next time.
    stale_ = true;
    return nullptr;
  }
  return copy_.data();
}

const uint8_t* EntryCache::Copy(int64_t offset, size_t len) {
  if (copy_.size() < len) copy_.resize(len);
  size_t got = 0;
  while (got < len) {
    const ssize_t n = ::pread(fd_, copy_.data() + got, len - got, static_cast<off_t>(offset) + static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return nullptr;  // an error, or the file ends first
    got += static_cast<size_t>(n);
  }
  return copy_.data();
}

}  // namespace kelvarin::store
