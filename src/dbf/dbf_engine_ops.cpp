// The file operations: open, create, define fields, write the header, read
// and write records, build a record from field values, field and file
// information, close.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>

#include "dbf/dbf_engine.h"
#include "dbf/dbf_error_codes.h"
#include "dbf/dbf_file_cache.h"
#include "dbf/dbf_number_text.h"
#include "dbf/dbf_text.h"
#include "platform/dates.h"
#include "platform/file_exists.h"
#include "platform/files/file_pool.h"
#include "platform/files/runtime_errors.h"
#include "platform/host.h"
#include "platform/text/codepage.h"

namespace kelvarin::dbf {
namespace {

constexpr int kMaxRecordLength = 4096;

// A locking error is retried this many times, this long apart, before the
// operation gives up with 70: about a second in all.
constexpr int kLockRetries = 10;
constexpr auto kLockRetryDelay = std::chrono::milliseconds(100);

// "Lock the whole file": every data byte, stopping short of the bytes far
// beyond any data where the platform keeps its sharing locks.
constexpr int64_t kWholeFile = int64_t{1} << 39;

bool ValidVersion(uint8_t v) {
  return v == kVersionDbase3 || v == kVersionDbase4Sql || v == kVersionDbase3Memo ||
         v == kVersionDbase4Memo;
}

int16_t ToCode(int e) { return static_cast<int16_t>(e); }

int64_t RecordOffset(const DbfHeader& h, int64_t n) {
  return static_cast<int64_t>(static_cast<uint16_t>(h.HeaderLength)) +
         (n - 1) * static_cast<int64_t>(h.RecordLength);
}

std::string TwoDigits(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

}  // namespace

// ---- helpers --------------------------------------------------------------

int16_t DbfEngine::SetHandleCount(int requested) {
  return static_cast<int16_t>(files_.SetHandleCount(requested));
}

bool DbfEngine::CheckHandle(int16_t handle, int16_t& err) const {
  const int top = std::min<int>(maxDbfs_, allocSlots_);
  if (handle < 1 || handle > top) {
    err = kErrHandle;
    return false;
  }
  if (slots_[static_cast<size_t>(handle)].IsFree() || !caches_[static_cast<size_t>(handle)]) {
    err = kErrMode;
    return false;
  }
  return true;
}

int16_t DbfEngine::WithLockRetry(const std::function<int16_t()>& step) {
  for (int attempt = 0;; ++attempt) {
    const int16_t rc = step();
    if (rc != kErrLock) return rc;
    int16_t err = kErrLock;
    DbfLockRetryHook("", err);
    if (err != 0) return err;
    if (attempt + 1 >= kLockRetries) return kErrLock;
    std::this_thread::sleep_for(kLockRetryDelay);
  }
}

void DbfEngine::DbfLockRetryHook(const std::string&, int16_t& err) { err = 0; }
void DbfEngine::DbfBeforeSharedAppend(int16_t, int16_t& err, int32_t, int32_t) { err = 0; }
void DbfEngine::DbfAfterSharedAppend(int16_t, int16_t& err, int32_t&, int32_t) { err = 0; }

bool DbfEngine::FileExists(const std::string& path) const { return platform::FileExists(path); }

int16_t DbfEngine::ReadHeader(int16_t handle) {
  DbfSlot& slot = Slot(handle);
  HeaderBytes bytes{};
  if (const int e = caches_[static_cast<size_t>(handle)]->ReadExact(0, bytes.data(), bytes.size()))
    return ToCode(e);
  const int16_t computedLength = slot.Header.RecordLength;
  slot.Header = DecodeHeader(bytes);
  // The record length the descriptors give stays: a header that disagrees
  // with its own descriptors must not shift the records under the fields.
  if (slot.FieldCount > 0) slot.Header.RecordLength = computedLength;
  return 0;
}

int16_t DbfEngine::WriteHeaderImage(int16_t handle) {
  const HeaderBytes bytes = EncodeHeader(Slot(handle).Header);
  return ToCode(caches_[static_cast<size_t>(handle)]->Write(0, bytes.data(), bytes.size()));
}

int16_t DbfEngine::LockRange(int16_t handle, int64_t offset, int64_t length) {
  auto* file = files_.Get(Slot(handle).FileNum);
  if (!file) return platform::kErrBadFileNumber;
  const int16_t rc = WithLockRetry([&] { return ToCode(file->Lock(offset, length)); });
  if (rc == 0) locks_[static_cast<size_t>(handle)] = {offset, length};
  return rc;
}

int16_t DbfEngine::LockWhole(int16_t handle) { return LockRange(handle, 0, kWholeFile); }

int16_t DbfEngine::Unlock(int16_t handle) {
  auto& lock = locks_[static_cast<size_t>(handle)];
  if (lock.first < 0) return 0;
  auto* file = files_.Get(Slot(handle).FileNum);
  const auto held = lock;
  lock = {-1, -1};
  if (!file) return platform::kErrBadFileNumber;
  return ToCode(file->Unlock(held.first, held.second));
}

void DbfEngine::StampToday(DbfHeader& header) {
  const platform::CalendarDate today = host_.Today();
  // Years since 1900, as other readers of the format take the byte; a year
  // outside 1900..2155 does not fit and is clamped.
  header.LastUpdate[0] = static_cast<char>(std::clamp(today.year - 1900, 0, 255));
  header.LastUpdate[1] = static_cast<char>(today.month);
  header.LastUpdate[2] = static_cast<char>(today.day);
}

void DbfEngine::CloseFile(int16_t handle) {
  DbfSlot& slot = Slot(handle);
  caches_[static_cast<size_t>(handle)].reset();
  locks_[static_cast<size_t>(handle)] = {-1, -1};
  if (slot.FileNum > 0 && files_.IsOpen(slot.FileNum)) files_.Close(slot.FileNum);
  ResetSlot(handle);
}

void DbfEngine::ResetSlot(int16_t handle) {
  Slot(handle) = DbfSlot{};  // FileNum -1, every number 0, texts empty
}

// ---- DbfOpen --------------------------------------------------------------

int16_t DbfEngine::OpenStep(int16_t handle, const std::string& path, int16_t request,
                            bool create) {
  DbfSlot& slot = Slot(handle);
  slot.HoldHeader = kFalse;
  const bool readOnly = (request & kReadOnlyFlag) != 0;
  const auto access = readOnly ? platform::FileAccess::Read : platform::FileAccess::ReadWrite;
  platform::FileShare share = platform::FileShare::NoClause;
  switch (request & 48) {
    case 16: share = platform::FileShare::Shared; break;
    case 32: share = platform::FileShare::DenyWrite; break;
    case 48: share = platform::FileShare::DenyAll; break;
    default: break;
  }
  // A binary open for writing makes a missing file, as the header-only
  // request relies on; a read-only open of a missing file fails.
  const auto mode = (create || !readOnly) ? platform::FileCreate::OpenOrCreate
                                          : platform::FileCreate::OpenExisting;
  const int16_t rc = WithLockRetry(
      [&] { return ToCode(files_.Open(slot.FileNum, path, access, share, mode)); });
  if (rc != 0) return rc;
  auto* file = files_.Get(slot.FileNum);
  if (!file) return platform::kErrBadFileNumber;
  caches_[static_cast<size_t>(handle)] =
      std::make_unique<DbfFileCache>(*file, /*buffered=*/request < 16);
  if (request & kHoldHeaderFlag) slot.HoldHeader = kTrue;
  return 0;
}

int16_t DbfEngine::SameFileConflict(const std::string& path, int16_t request) const {
  const bool buffered = request < kShareDenyNone;
  const bool writes = (request & kReadOnlyFlag) == 0;
  for (const platform::FilePool::OpenInfo& other : files_.OpensOf(path)) {
    const bool otherBuffered = other.share == platform::FileShare::NoClause;
    const bool otherWrites = other.access != platform::FileAccess::Read;
    if ((buffered || otherBuffered) && (writes || otherWrites)) return kErrLock;
  }
  return 0;
}

int16_t DbfEngine::ReadDescriptors(int16_t handle) {
  DbfSlot& slot = Slot(handle);
  DbfFileCache& cache = *caches_[static_cast<size_t>(handle)];
  const int n = (static_cast<int>(slot.Header.HeaderLength) - 32) / 32;
  if (n > std::min<int>(maxFlds_, allocFlds_)) return kErrFieldNumber;
  for (int i = 0; i <= allocFlds_; ++i) Field(handle, i) = DbfFieldDesc{};
  int position = 2;
  for (int i = 1; i <= n; ++i) {
    DescriptorBytes bytes{};
    // A descriptor cut off by the end of the file: not a DBF.
    if (cache.ReadExact(32 * static_cast<int64_t>(i), bytes.data(), bytes.size()) != 0)
      return kErrNotDbf;
    const DbfFieldRecord rec = DecodeDescriptor(bytes);
    const int length = static_cast<uint8_t>(rec.FieldLength);
    bool inRange = false;
    switch (rec.FieldType) {
      case 'C': inRange = length >= 1 && length <= 254; break;
      case 'N':
        inRange = length >= 1 && length <= 20;
        if (length == 20) slot.FileType = kFileTypeDbase4;
        break;
      case 'L': inRange = length == 1; break;
      case 'D': inRange = length == 8; break;
      case 'M': inRange = length == 10; break;
      case 'F':
        inRange = length >= 1 && length <= 20;
        if (inRange) slot.FileType = kFileTypeDbase4;
        break;
      default: return kErrNotDbf;
    }
    if (!inRange) return kErrFieldLength;
    DbfFieldDesc& desc = Field(handle, i);
    desc.Offset = static_cast<int16_t>(position);
    desc.FieldType = rec.FieldType;
    desc.FieldName.assign(rec.FieldName.data(), rec.FieldName.size());
    desc.DecimalCount = static_cast<uint8_t>(rec.DecimalCount);
    desc.FieldLength = static_cast<int16_t>(length);
    position += length;  // at most 256 x 254, well inside 16 bits... plus 2
  }
  if (n < 1) return kErrNotDbf;
  if (position - 1 > 32767) return platform::kErrOverflow;
  slot.FieldCount = static_cast<int16_t>(n);
  slot.Header.RecordLength = static_cast<int16_t>(position - 1);

  const int64_t hl = slot.Header.HeaderLength;
  char last = 0, beforeLast = 0;
  if (cache.ReadExact(hl - 1, &last, 1) != 0) return kErrNotDbf;
  if (last != kHeaderTerminator) {
    if (cache.ReadExact(hl - 2, &beforeLast, 1) != 0) return kErrNotDbf;
    if (beforeLast != kHeaderTerminator && beforeLast != kEndOfFile) return kErrNotDbf;
  }
  return 0;
}

void DbfEngine::DbfOpen(int16_t& handle, int16_t& err, std::string& fileName, int16_t& fileType,
                        int16_t request) {
  if (!StartEngine(err)) return;
  const int number = files_.FreeFile();
  if (number < 1 || number > vbFiles_) {
    err = kErrHandles;
    return;
  }

  // The disk sees the name as the caller gave it (paths come from file
  // dialogs and must work as picked, a new file keeping its letter case);
  // the caller and the slot get it upper-cased, never with a UTF-8
  // character broken into bytes.
  std::string given = fileName;
  if (given.find('.') == std::string::npos) given = std::string(TrimBlanks(given)) + ".DBF";
  fileName = platform::UpperCasePath(given);

  int16_t h = 0;
  for (int i = 1, top = std::min<int>(maxDbfs_, allocSlots_); i <= top; ++i) {
    if (slots_[static_cast<size_t>(i)].IsFree()) {
      h = static_cast<int16_t>(i);
      break;
    }
  }
  if (h == 0) {
    err = kErrNoSlot;
    return;
  }
  handle = h;
  DbfSlot& slot = Slot(h);
  ResetSlot(h);
  slot.FileNum = static_cast<int16_t>(number);

  // From here a failure frees the slot again (and closes the file if open).
  auto fail = [&](int16_t code) {
    CloseFile(h);
    err = code;
  };

  const bool sharedHold = (request & 4) && ((request & 48) == 16 || (request & 48) == 32);
  if (request < 0 || request > 63 || sharedHold) return fail(kErrRequest);

  const std::string path = platform::ResolvePath(given);
  const int action = request & 3;
  int16_t rc = 0;
  // Before anything touches the file: a create must not empty a file that
  // another open is using.
  if ((rc = WithLockRetry([&] { return SameFileConflict(path, request); })) != 0) return fail(rc);
  if (action == kOpenExisting) {
    if (!platform::FileExists(path)) return fail(platform::kErrFileNotFound);
    if ((rc = OpenStep(h, path, request, false)) != 0) return fail(rc);
    if ((rc = ReadHeader(h)) != 0) return fail(kErrNotDbf);
    if (!ValidVersion(slot.Header.VersionByte())) return fail(kErrNotDbf);
    if ((rc = ReadDescriptors(h)) != 0) return fail(rc);
  } else if (action == kOpenHeaderOnly) {
    if ((rc = OpenStep(h, path, request, false)) != 0) return fail(rc);
    // A file shorter than a header reads as zeros, as a binary read past the
    // end did.
    HeaderBytes bytes{};
    size_t got = 0;
    if ((rc = ToCode(caches_[static_cast<size_t>(h)]->ReadSome(0, bytes.data(), bytes.size(), &got))) != 0)
      return fail(rc);
    slot.Header = DecodeHeader(bytes);
  } else {
    if (action == kCreateNew && platform::FileExists(path))
      return fail(platform::kErrFileExists);
    if (fileType != kFileTypeDbase3 && fileType != kFileTypeDbase4) fileType = kFileTypeDbase3;
    // Create the file empty, then open it as the request says.
    rc = WithLockRetry([&] {
      return ToCode(files_.Open(number, path, platform::FileAccess::Write,
                                platform::FileShare::NoClause,
                                platform::FileCreate::CreateOrTruncate));
    });
    if (rc != 0) return fail(rc);
    files_.Close(number);
    if ((rc = OpenStep(h, path, request, true)) != 0) return fail(rc);
    slot.Header.Version = static_cast<char>(kVersionDbase3);
    slot.FileType = fileType;
    slot.HeaderDirty = kTrue;
  }

  if (slot.FileType == kFileTypeFree) slot.FileType = kFileTypeDbase3;
  const uint8_t v = slot.Header.VersionByte();
  if (v == kVersionDbase4Memo || v == kVersionDbase4Sql) slot.FileType = kFileTypeDbase4;
  fileType = slot.FileType;
  slot.OpenMode = request;
  slot.FileName = fileName;
  slot.Shared = request >= 16 ? kTrue : kFalse;
  if (slot.Shared) {
    int16_t ignored = 0;
    DbfConfig("DELAY", ignored, "5");
    DbfConfig("RETRY", ignored, "10");
  }
  err = 0;
}

// ---- DbfCreate, DbfDefineField, DbfWriteHeader ---------------------------

void DbfEngine::DbfCreate(const std::string& fileName, int16_t& handle, const DbfFieldDefs& defs,
                          int16_t request, int16_t& err) {
  int16_t fileType = defs.size() > 129 ? kFileTypeDbase4 : kFileTypeDbase3;
  std::string name = fileName;
  DbfOpen(handle, err, name, fileType, request);
  if (err != 0) return;
  int16_t n = 0;
  if (defs.empty()) {
    err = 9;  // subscript out of range: no row 0
    return;
  }
  if (!LeadingInt16(defs[0][0], n)) {
    err = platform::kErrOverflow;
    return;
  }
  for (int16_t i = 1; i <= n; ++i) {
    if (static_cast<size_t>(i) >= defs.size()) {
      err = 9;  // the array has fewer rows than it claims
      return;
    }
    const auto& row = defs[static_cast<size_t>(i)];
    int16_t decimals = 0, length = 0;
    if (!LeadingInt16(row[1], decimals) || !LeadingInt16(row[2], length)) {
      err = platform::kErrOverflow;
      return;
    }
    const std::string type = platform::AnsiUpperString(row[3].substr(0, 1));
    const std::string fieldName = platform::AnsiUpperString(TrimBlanks(row[4]));
    int16_t fieldNo = i;
    DbfDefineField(handle, err, fieldNo, fieldName, type, length, decimals);
    if (err != 0) return;
  }
  Slot(handle).FieldCount = n;
  DbfWriteHeader(handle, err);
}

void DbfEngine::DbfDefineField(int16_t handle, int16_t& err, int16_t& fieldNo,
                               const std::string& name, const std::string& type, int16_t length,
                               int16_t decimals) {
  // Not a checked operation, but it must never reach outside the tables.
  if (handle < 1 || handle > allocSlots_) {
    err = kErrHandle;
    return;
  }
  DbfSlot& slot = Slot(handle);
  const bool dbase4 = slot.FileType == kFileTypeDbase4;
  const char t =
      type.empty() ? '\0' : static_cast<char>(platform::AnsiUpper(static_cast<unsigned char>(type[0])));

  if (length < 1) {
    err = kErrFieldLength;
    return;
  }
  if ((!dbase4 && t == 'N' && decimals > 15) ||
      (dbase4 && (t == 'N' || t == 'F') && decimals > length - 2)) {
    err = kErrDecimals;
    return;
  }
  const std::string upper = platform::AnsiUpperString(TrimBlanks(name));
  // An empty name would give a nameless column; refuse it with the rest.
  // A number too large to read begins the name as surely as any other.
  const platform::LeadingNumberResult leading = platform::ReadLeadingNumber(upper);
  if (upper.empty() || upper[0] == '_' || upper.size() > kFieldNameSize || leading.overflow ||
      leading.value > 0) {
    err = kErrFieldName;
    return;
  }
  if (fieldNo > slot.FieldCount + 1) {
    err = kErrFieldNoHigh;
    return;
  }
  for (char c : upper) {
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '_')) {
      err = kErrFieldName;
      return;
    }
  }
  bool lengthOk = false;
  switch (t) {
    case 'C': lengthOk = length <= 254; break;
    case 'D': lengthOk = length == 8; break;
    case 'L': lengthOk = length == 1; break;
    case 'M': lengthOk = length == 10; break;
    case 'N': lengthOk = length <= (dbase4 ? 20 : 19); break;
    case 'F':
      if (!dbase4) {
        err = kErrType;
        return;
      }
      lengthOk = length <= 20;
      break;
    default: err = kErrType; return;
  }
  if (!lengthOk) {
    err = kErrFieldLength;
    return;
  }
  // Negative decimals would be written as a byte of 255 and so on.
  if (decimals >= length || decimals < 0) {
    err = kErrDecimals;
    return;
  }
  std::string padded = upper;
  padded.resize(kFieldNameSize, '\0');

  const int top = std::min<int>(slot.FieldCount, allocFlds_);
  if (fieldNo == 0) {
    fieldNo = static_cast<int16_t>(slot.FieldCount + 1);
    for (int i = 1; i <= top; ++i) {
      if (Field(handle, i).FieldName == padded) {
        fieldNo = static_cast<int16_t>(i);
        break;
      }
    }
  }
  if (fieldNo < 0) {
    err = 9;  // subscript out of range
    return;
  }
  for (int i = 1; i <= top; ++i) {
    if (i != fieldNo && Field(handle, i).FieldName == padded) {
      err = kErrNameInUse;
      return;
    }
  }
  if (fieldNo > std::min<int>(maxFlds_, allocFlds_)) {
    err = kErrFieldNumber;
    return;
  }
  if (fieldNo > slot.FieldCount) slot.FieldCount = fieldNo;
  DbfFieldDesc& desc = Field(handle, fieldNo);
  desc.FieldName = padded;
  desc.FieldType = t;
  desc.FieldLength = length;
  desc.DecimalCount = decimals;
  err = 0;
}

void DbfEngine::DbfWriteHeader(int16_t handle, int16_t& err) {
  if (!StartEngine(err) || !CheckHandle(handle, err)) return;
  DbfSlot& slot = Slot(handle);
  // A plain open of an existing file (request 0) must not have its header
  // rewritten; every create request may.
  if (slot.OpenMode == 0) {
    err = kErrMode;
    return;
  }
  if (slot.FieldCount < 1) {
    err = kErrNoFields;
    return;
  }
  if (slot.FieldCount > std::min<int>(maxFlds_, allocFlds_)) {
    err = kErrFieldNoHigh;
    return;
  }
  if (slot.OpenMode & kReadOnlyFlag) {
    err = platform::kErrPathFileAccess;
    return;
  }
  int16_t rc = 0;
  if (slot.Shared && (rc = LockWhole(handle)) != 0) {
    err = rc;
    return;
  }
  auto finish = [&](int16_t code) {
    err = code;
    if (slot.Shared) {
      if (const int16_t u = Unlock(handle)) err = u;
    }
  };

  const int n = slot.FieldCount;
  std::string image(static_cast<size_t>(32 * n + 2), '\0');
  int recordLength = 1;
  for (int i = 1; i <= n; ++i) {
    DbfFieldDesc& desc = Field(handle, i);
    DbfFieldRecord rec;
    std::copy_n(desc.FieldName.begin(), std::min<size_t>(desc.FieldName.size(), kFieldNameSize),
                rec.FieldName.begin());
    rec.FieldType = desc.FieldType;
    rec.FieldLength = static_cast<char>(desc.FieldLength);
    rec.DecimalCount = static_cast<char>(desc.DecimalCount);
    const DescriptorBytes bytes = EncodeDescriptor(rec);
    std::memcpy(image.data() + 32 * (i - 1), bytes.data(), bytes.size());
    if (desc.FieldType == 'M')
      slot.Header.Version = static_cast<char>(slot.FileType == kFileTypeDbase4 ? kVersionDbase4Memo
                                                                               : kVersionDbase3Memo);
    desc.Offset = static_cast<int16_t>(std::min(recordLength + 1, 32767));
    recordLength += desc.FieldLength;
  }
  if ((rc = ToCode(caches_[static_cast<size_t>(handle)]->Write(32, image.data(), 32 * static_cast<size_t>(n)))) != 0)
    return finish(rc);
  if (slot.FileType == kFileTypeDbase3 && recordLength > kMaxRecordLength)
    return finish(kErrRecordTooLong);
  if (recordLength > 32767) return finish(platform::kErrOverflow);

  StampToday(slot.Header);
  slot.Header.RecordCount = 0;
  slot.Header.HeaderLength = static_cast<int16_t>(32 * n + 33);
  slot.Header.RecordLength = static_cast<int16_t>(recordLength);
  const char tail[2] = {kHeaderTerminator, kEndOfFile};
  if ((rc = ToCode(caches_[static_cast<size_t>(handle)]->Write(32 + 32 * static_cast<int64_t>(n), tail, 2))) != 0)
    return finish(rc);
  slot.HeaderDirty = kTrue;
  if (!slot.HoldHeader && (rc = WriteHeaderImage(handle)) != 0) return finish(rc);
  finish(0);
}

// ---- records --------------------------------------------------------------

void DbfEngine::DbfReadRecord(int16_t handle, int16_t& err, int32_t& recNo, std::string& buffer) {
  if (!StartEngine(err) || !CheckHandle(handle, err)) return;
  DbfSlot& slot = Slot(handle);
  if (slot.Header.RecordLength < 1) {
    err = kErrPool;
    return;
  }
  int16_t rc = 0;
  if (!slot.HoldHeader && (rc = ReadHeader(handle)) != 0) {
    err = rc;
    return;
  }
  int64_t n = recNo;
  if (recNo == -1) {
    n = static_cast<int64_t>(slot.CurrentRecord) - 1;
    if (n < 1) {
      err = kErrRecordNumber;
      return;
    }
  } else if (recNo == 0) {
    n = static_cast<int64_t>(slot.CurrentRecord) + 1;
    if (n > slot.Header.RecordCount) {
      err = kErrRecordNumber;
      return;
    }
  } else if (n < 1 || n > slot.Header.RecordCount) {
    err = kErrRecordNumber;
    return;
  }
  const int length = slot.Header.RecordLength;
  if (length < 1 || length > kMaxRecordLength) {
    err = kErrPool;
    return;
  }
  scratch_.resize(static_cast<size_t>(length));
  if ((rc = ToCode(caches_[static_cast<size_t>(handle)]->ReadExact(RecordOffset(slot.Header, n), scratch_.data(), scratch_.size()))) != 0) {
    err = rc;  // the header counts more records than the file holds: 62
    return;
  }
  slot.CurrentRecord = static_cast<int32_t>(n);
  buffer.assign(scratch_);
  recNo = static_cast<int32_t>(n);
  err = 0;
}

void DbfEngine::DbfWriteRecord(int16_t handle, int16_t& err, int32_t& recNo,
                               const std::string& buffer) {
  if (!StartEngine(err) || !CheckHandle(handle, err)) return;
  DbfSlot& slot = Slot(handle);
  int16_t rc = 0;
  if (!slot.HoldHeader && (rc = ReadHeader(handle)) != 0) {
    err = rc;
    return;
  }
  const bool shared = slot.Shared != 0;
  const bool append = recNo == 0;
  if (shared) {
    if ((rc = LockRange(handle, 0, static_cast<uint16_t>(slot.Header.HeaderLength))) != 0) {
      err = rc;
      return;
    }
  }
  auto finish = [&](int16_t code) {
    err = code;
    if (shared) {
      if (const int16_t u = Unlock(handle)) err = u;
    }
  };
  // A count that is negative in memory stands for more than 2^31 records on
  // disk; appending after it would land inside the header.
  if (append && (slot.Header.RecordCount < 0 || slot.Header.RecordCount == INT32_MAX))
    return finish(platform::kErrOverflow);
  if (shared && append) {
    int16_t hookErr = 0;
    DbfBeforeSharedAppend(handle, hookErr, slot.Header.RecordCount + 1, 0);
    if (hookErr != 0) return finish(hookErr);
  }
  int64_t n = recNo;
  if (recNo != 0) {
    if (recNo < 1 || recNo > slot.Header.RecordCount) return finish(kErrRecordNumber);
  } else {
    n = static_cast<int64_t>(slot.Header.RecordCount) + 1;
  }
  if (static_cast<int64_t>(buffer.size()) != slot.Header.RecordLength)
    return finish(kErrRecordLength);
  // A buffered write to a file opened for reading would fail only at the
  // flush; refuse it where the write itself would have failed.
  if (slot.OpenMode & kReadOnlyFlag) return finish(platform::kErrPathFileAccess);
  if ((rc = ToCode(caches_[static_cast<size_t>(handle)]->Write(RecordOffset(slot.Header, n), buffer.data(), buffer.size()))) != 0)
    return finish(rc);
  if (append) {
    slot.Header.RecordCount = static_cast<int32_t>(n);
    recNo = static_cast<int32_t>(n);
  }
  slot.HeaderDirty = kTrue;
  if (!slot.HoldHeader && (rc = WriteHeaderImage(handle)) != 0) return finish(rc);
  int16_t code = 0;
  if (shared && append) {
    int32_t count = slot.Header.RecordCount;
    DbfAfterSharedAppend(handle, code, count, static_cast<int32_t>(n));
  }
  finish(code);
}

void DbfEngine::DbfAppendFields(int16_t handle, int16_t& err, int16_t count,
                                std::vector<std::string>& values, int32_t& recNo) {
  if (!StartEngine(err) || !CheckHandle(handle, err)) return;
  DbfSlot& slot = Slot(handle);
  if (values.empty()) {
    err = 9;  // subscript out of range: no element 0
    return;
  }
  const int last = static_cast<int>(values.size()) - 1;
  int fields = count;
  if (fields > slot.FieldCount) fields = slot.FieldCount;
  if (fields < 1) fields = last;
  if (fields > last) fields = last;
  fields = std::min(fields, allocFlds_);

  const int length = std::max<int>(slot.Header.RecordLength, 0);
  std::string record(static_cast<size_t>(length), ' ');
  for (int i = 1; i <= fields; ++i) {
    const DbfFieldDesc& desc = Field(handle, i);
    if (desc.Offset < 1 || desc.FieldLength < 1) {
      err = kErrFieldLength;
      return;
    }
    const int width = desc.FieldLength;
    if (desc.Offset + width - 1 > length) {
      err = kErrRecordLength;
      return;
    }
    std::string& value = values[static_cast<size_t>(i)];
    char* at = record.data() + desc.Offset - 1;
    if (desc.FieldType == 'N') {
      if (static_cast<int>(value.size()) >= width) {
        std::memcpy(at, value.data(), static_cast<size_t>(width));
      } else {
        std::memcpy(at + (width - static_cast<int>(value.size())), value.data(), value.size());
      }
      continue;
    }
    if (desc.FieldType == 'D' && !TrimBlanks(value).empty()) {
      const auto date = platform::ParseDateText(value, host_.Locale(), host_.Today());
      if (!date) {
        err = kErrDate;
        return;
      }
      char text[16];
      std::snprintf(text, sizeof text, "%04d%02d%02d", date->year, date->month, date->day);
      value = text;
    }
    std::memcpy(at, value.data(), std::min<size_t>(value.size(), static_cast<size_t>(width)));
  }
  if (!values[0].empty() && length > 0) record[0] = values[0][0];
  values[0] = std::move(record);
  DbfWriteRecord(handle, err, recNo, values[0]);
}

// ---- information ------------------------------------------------------------

void DbfEngine::DbfFieldInfo(int16_t handle, int16_t& err, int16_t& fieldNo, std::string& name,
                             std::string& type, int16_t& length, int16_t& decimals) {
  if (!StartEngine(err) || !CheckHandle(handle, err)) return;
  const DbfSlot& slot = Slot(handle);
  const int top = std::min<int>(slot.FieldCount, allocFlds_);
  if (fieldNo < 0 || fieldNo > top) {
    err = kErrFieldNumber;
    return;
  }
  name = platform::AnsiUpperString(TrimBlanks(name));
  if (fieldNo != 0) {
    name = Field(handle, fieldNo).FieldName;
  } else {
    for (int i = 1; i <= top; ++i) {
      if (Field(handle, i).FieldName.find(name) != std::string::npos) {
        fieldNo = static_cast<int16_t>(i);
        break;
      }
    }
    if (fieldNo == 0) {
      err = kErrFieldName;
      return;
    }
  }
  const auto nul = name.find('\0');
  if (nul != std::string::npos) name.resize(nul);
  const DbfFieldDesc& desc = Field(handle, fieldNo);
  type = std::string(1, desc.FieldType);
  length = desc.FieldLength;
  decimals = desc.DecimalCount;
  err = 0;
}

void DbfEngine::DbfFileInfo(int16_t handle, int16_t& err, int16_t& fileType, bool& hasMemo,
                            std::string& lastUpdate, int32_t& recordCount, int16_t& fieldCount,
                            int16_t& recordLength) {
  if (!StartEngine(err) || !CheckHandle(handle, err)) return;
  DbfSlot& slot = Slot(handle);
  if (!slot.HoldHeader) {
    if (const int16_t rc = ReadHeader(handle)) {
      err = rc;
      return;
    }
  }
  const uint8_t v = slot.Header.VersionByte();
  hasMemo = v == kVersionDbase3Memo || v == kVersionDbase4Memo;
  const auto byte = [&](int i) { return static_cast<int>(static_cast<uint8_t>(slot.Header.LastUpdate[static_cast<size_t>(i)])); };
  lastUpdate = TwoDigits(byte(1)) + "-" + TwoDigits(byte(2)) + "-" + std::to_string(1900 + byte(0));
  recordCount = slot.Header.RecordCount;
  fieldCount = slot.FieldCount;
  recordLength = slot.Header.RecordLength;
  fileType = slot.FileType;
  err = 0;
}

// ---- DbfClose ---------------------------------------------------------------

void DbfEngine::DbfClose(int16_t handle, int16_t& err, int16_t closeMode) {
  if (!StartEngine(err) || !CheckHandle(handle, err)) return;
  DbfSlot& slot = Slot(handle);
  int16_t rc = 0;
  if (slot.Shared && (rc = LockWhole(handle)) != 0) {
    err = rc;
    return;
  }
  int16_t code = 0;
  if (!slot.HoldHeader) code = ReadHeader(handle);
  // A file opened for reading only has no header to rewrite.
  if (code == 0 && closeMode < 2 && slot.HeaderDirty && !(slot.OpenMode & kReadOnlyFlag)) {
    StampToday(slot.Header);
    code = WriteHeaderImage(handle);
  }
  if (const int e = caches_[static_cast<size_t>(handle)]->Flush(); e != 0 && code == 0)
    code = ToCode(e);
  if (slot.Shared) {
    if (const int16_t u = Unlock(handle)) code = u;
  }
  // The file is closed and the slot freed even when the last write failed:
  // the caller has no other way to give the slot back.
  CloseFile(handle);
  err = code;
}

}  // namespace kelvarin::dbf
