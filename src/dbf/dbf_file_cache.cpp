#include "dbf/dbf_file_cache.h"

#include <algorithm>
#include <cstring>

#include "platform/files/file_pool.h"
#include "platform/files/runtime_errors.h"

namespace kelvarin::dbf {

DbfFileCache::DbfFileCache(platform::RandomAccessFile& file, bool buffered)
    : file_(file), buffered_(buffered) {}

void DbfFileCache::DropReadAhead(int64_t offset, size_t len) {
  for (auto& b : blocks_) {
    // A block cut short by the end of the file is stale once the file grows.
    const bool atEnd = b.data.size() < kReadBlock && offset >= b.start;
    if (Overlaps(b.start, b.data.size(), offset, len) || atEnd) b.data.clear();
  }
}

int DbfFileCache::ReadExact(int64_t offset, char* dst, size_t len) {
  size_t got = 0;
  if (const int e = ReadSome(offset, dst, len, &got)) return e;
  return got == len ? 0 : platform::kErrPastEnd;
}

int DbfFileCache::ReadSome(int64_t offset, char* dst, size_t len, size_t* got) {
  *got = 0;
  if (offset < 0) return platform::kErrBadRecordNumber;
  if (len == 0) return 0;
  // A header read while a header write is pending is served from it.
  if (headPending_ && offset + static_cast<int64_t>(len) <= kHeadSize &&
      !Overlaps(writeStart_, write_.size(), offset, len)) {
    std::memcpy(dst, head_.data() + offset, len);
    *got = len;
    return 0;
  }
  if ((headPending_ && Overlaps(0, kHeadSize, offset, len)) ||
      Overlaps(writeStart_, write_.size(), offset, len)) {
    if (const int e = Flush()) return e;
  }
  if (!buffered_ || len >= kReadBlock) return file_.Read(offset, dst, len, got);

  const int64_t end = offset + static_cast<int64_t>(len);
  for (auto& b : blocks_) {
    const int64_t bEnd = b.start + static_cast<int64_t>(b.data.size());
    if (!b.data.empty() && offset >= b.start && offset < bEnd) {
      const size_t avail = static_cast<size_t>(std::min(end, bEnd) - offset);
      if (avail == len || bEnd - b.start < static_cast<int64_t>(kReadBlock)) {
        // Whole request here, or the block already reaches the end of file.
        std::memcpy(dst, b.data.data() + (offset - b.start), avail);
        *got = avail;
        b.used = ++clock_;
        return 0;
      }
    }
  }
  Block& b = blocks_[0].used <= blocks_[1].used ? blocks_[0] : blocks_[1];
  b.data.resize(kReadBlock);
  size_t filled = 0;
  if (const int e = file_.Read(offset, b.data.data(), kReadBlock, &filled)) {
    b.data.clear();
    return e;
  }
  b.data.resize(filled);
  b.start = offset;
  b.used = ++clock_;
  *got = std::min(filled, len);
  std::memcpy(dst, b.data.data(), *got);
  return 0;
}

int DbfFileCache::Write(int64_t offset, const char* src, size_t len) {
  if (offset < 0) return platform::kErrBadRecordNumber;
  if (len == 0) return 0;
  DropReadAhead(offset, len);
  if (!buffered_) return file_.Write(offset, src, len);
  const int64_t end = offset + static_cast<int64_t>(len);

  if (offset == 0 && len == static_cast<size_t>(kHeadSize) &&
      !Overlaps(writeStart_, write_.size(), offset, len)) {
    std::memcpy(head_.data(), src, len);
    headPending_ = true;
    return 0;
  }
  if (headPending_ && Overlaps(0, kHeadSize, offset, len)) {
    if (const int e = Flush()) return e;
  }

  const int64_t pendingEnd = writeStart_ + static_cast<int64_t>(write_.size());
  if (!write_.empty() && offset >= writeStart_ && offset <= pendingEnd &&
      end - writeStart_ <= static_cast<int64_t>(kWriteBlock)) {
    const size_t at = static_cast<size_t>(offset - writeStart_);
    if (at + len > write_.size()) write_.resize(at + len);
    std::memcpy(write_.data() + at, src, len);
    return 0;
  }
  if (!write_.empty()) {
    const int e = file_.Write(writeStart_, write_.data(), write_.size());
    write_.clear();
    if (e) return e;
  }
  if (len >= kWriteBlock) return file_.Write(offset, src, len);
  write_.assign(src, src + len);
  writeStart_ = offset;
  return 0;
}

int DbfFileCache::Flush() {
  int result = 0;
  if (!write_.empty()) {
    result = file_.Write(writeStart_, write_.data(), write_.size());
    write_.clear();
  }
  if (headPending_) {
    const int e = file_.Write(0, head_.data(), kHeadSize);
    headPending_ = false;
    if (result == 0) result = e;
  }
  return result;
}

}  // namespace kelvarin::dbf
