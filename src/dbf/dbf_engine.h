// The DBF engine: creates, opens, reads, appends to and closes dBase III and
// dBase IV table files. All its state (settings, slot table, field table and
// the reserved memo and index tables) lives in this one object, which the
// application owns.
//
// Calling convention: every operation is a procedure; the handle operations
// take the handle (slot index 1..MaxDbfs) first and the error code by
// reference second (DbfOpen returns the handle through its first argument;
// DbfCreate takes the file name first, the handle second, the error code
// last). The error code comes back 0 on success, 100..157 for the engine's own
// faults (texts by DbfErrorText), otherwise the platform's run-time error
// number of the step that failed (53 file not found, 58 file already exists,
// 62 input past end of file, 70 locking). An operation stops at its first
// failure. Nothing is shown to the user except the start-up failures.
//
// Start-up failures: where the original program ended after its message box,
// DbfInit shows the box, leaves EngineReady false and puts the engine into a
// fatal state (FatalFailure() true, FatalCode() 100 or 101). From then on
// every operation that would start the engine returns FatalCode() without
// doing anything; the application is expected to end when it sees the state.
// The engine never ends the process itself, so tests can exercise it.
//
// Policies:
// - A DbfOpen that fails frees its slot at once, also when the failure comes
//   before the file was opened (53, 58, 117): the returned handle is then free
//   and DbfClose on it gives 105.
// - A locking error (70) calls DbfLockRetryHook; while the hook answers 0 the
//   step is retried, at most 10 tries 100 ms apart (about a second), then 70.
// - DbfWriteHeader refuses (105) a slot opened with request 0, a plain open
//   of an existing file; every create request, 5 included, may write it.
// - DbfClose closes the file and frees the slot even when rewriting the
//   header or writing buffered records fails; err then carries that failure.
// - Unshared files are buffered (see DbfFileCache); shared files are not.
//   So that no open sees stale bytes or writes over another's records, an
//   open of a file that is already open in the same file pool fails with a
//   locking error (70) when either open is unshared (request below 16) and
//   either may write; two opens that only read may share the file.
// - DbfOpen writes the name back upper-cased as the engine has always done
//   (platform::UpperCasePath, which keeps UTF-8 whole), but opens and creates
//   the name as given: each part of the path as it exists, or else found
//   whatever its letter case (platform::ResolvePath); a new file keeps the
//   letters it was given.
//
// The host and the file pool must outlive the engine.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dbf/dbf_records.h"

namespace kelvarin::platform {
class Host;
class FilePool;
}  // namespace kelvarin::platform

namespace kelvarin::dbf {

// Request word of DbfOpen and DbfCreate: action + hold flag + read-only flag
// + sharing.
enum DbfRequest : int16_t {
  kOpenExisting = 0,
  kCreateNew = 1,
  kCreateOrReplace = 2,
  kOpenHeaderOnly = 3,
  kHoldHeaderFlag = 4,
  kReadOnlyFlag = 8,
  kShareDenyNone = 16,
  kShareDenyWrite = 32,
  kShareExclusive = 48,
};

// Field-definition array of DbfCreate: rows 0..r, columns 0..5. (0,0) holds
// the field count n as text; row i = 1..n: (i,1) decimals, (i,2) length,
// (i,3) type, (i,4) name. More than 129 rows (r above 128) make a dBase IV
// file.
using DbfFieldDefs = std::vector<std::array<std::string, 6>>;

// The tables DbfInit allocates, for the allocation probe below.
enum class DbfTable { BufferPool, SlotTables, DbtSlots, NdxTables };

class DbfFileCache;

class DbfEngine {
 public:
  DbfEngine(platform::Host& host, platform::FilePool& files);
  // Closes every file still open as DbfClose with close mode 0 would, so no
  // appended record is lost.
  virtual ~DbfEngine();
  DbfEngine(const DbfEngine&) = delete;
  DbfEngine& operator=(const DbfEngine&) = delete;

  // ---- start, configuration, texts -------------------------------------
  void DbfInit();
  // Never changes err except for a numeric value outside the 16-bit range,
  // which gives 6 (overflow).
  void DbfConfig(const std::string& keyword, int16_t& err, const std::string& value);
  static void DbfErrorText(int16_t code, std::string& msg);
  static int16_t DbfStrToInteger(const std::string& text);

  // ---- file operations --------------------------------------------------
  void DbfOpen(int16_t& handle, int16_t& err, std::string& fileName, int16_t& fileType,
               int16_t request);
  void DbfCreate(const std::string& fileName, int16_t& handle, const DbfFieldDefs& defs,
                 int16_t request, int16_t& err);
  void DbfDefineField(int16_t handle, int16_t& err, int16_t& fieldNo, const std::string& name,
                      const std::string& type, int16_t length, int16_t decimals);
  void DbfWriteHeader(int16_t handle, int16_t& err);
  void DbfReadRecord(int16_t handle, int16_t& err, int32_t& recNo, std::string& buffer);
  void DbfWriteRecord(int16_t handle, int16_t& err, int32_t& recNo, const std::string& buffer);
  void DbfAppendFields(int16_t handle, int16_t& err, int16_t count,
                       std::vector<std::string>& values, int32_t& recNo);
  void DbfFieldInfo(int16_t handle, int16_t& err, int16_t& fieldNo, std::string& name,
                    std::string& type, int16_t& length, int16_t& decimals);
  // lastUpdate is "mm-dd-yyyy", the year 1900 + the header's year byte.
  void DbfFileInfo(int16_t handle, int16_t& err, int16_t& fileType, bool& hasMemo,
                   std::string& lastUpdate, int32_t& recordCount, int16_t& fieldCount,
                   int16_t& recordLength);
  void DbfClose(int16_t handle, int16_t& err, int16_t closeMode);
  bool FileExists(const std::string& path) const;

  // Hooks. Each only sets err to 0; a test may override them. The retry hook
  // is called on a locking error (70): err 0 retries the failing step, any
  // other value gives up.
  virtual void DbfLockRetryHook(const std::string& text, int16_t& err);
  virtual void DbfBeforeSharedAppend(int16_t handle, int16_t& err, int32_t newRecord,
                                     int32_t spare);
  virtual void DbfAfterSharedAppend(int16_t handle, int16_t& err, int32_t& recordCount,
                                    int32_t newRecord);

  // ---- what the evaluator and the exchange read -------------------------
  bool EngineReady() const { return engineReady_; }
  int16_t VbFiles() const { return vbFiles_; }
  // nullptr when handle or field number is outside the allocated table.
  const DbfFieldDesc* FieldDescAt(int16_t handle, int fieldNumber) const;
  // nullptr when the handle is outside the allocated slot table.
  const DbfSlot* SlotAt(int16_t handle) const;
  const std::string& DateFormat() const { return dateFormat_; }
  bool DayFirst() const { return dayFirst_; }
  platform::Host& host() { return host_; }

  // ---- settings and state, for tests and the application ----------------
  int16_t MaxDbfs() const { return maxDbfs_; }
  int16_t MaxFlds() const { return maxFlds_; }
  int16_t MaxDbts() const { return maxDbts_; }
  int16_t MaxNdxs() const { return maxNdxs_; }
  int16_t MaxBufs() const { return maxBufs_; }
  bool CharsAnsi() const { return charsAnsi_; }
  bool FatalFailure() const { return fatalCode_ != 0; }
  int16_t FatalCode() const { return fatalCode_; }
  // Sizes of the allocated tables (highest index), 0 before DbfInit.
  int AllocatedSlots() const { return allocSlots_; }
  int AllocatedFields() const { return allocFlds_; }
  int AllocatedDbts() const { return static_cast<int>(dbtSlots_.size()) - 1; }
  int AllocatedNdxs() const { return static_cast<int>(ndxSlots_.size()) - 1; }
  int AllocatedBuffers() const { return static_cast<int>(bufferPool_.size()) - 1; }
  // Tests only: return true to make the allocation of a table with the given
  // highest index fail as if memory ran out.
  void SetAllocationProbe(std::function<bool(DbfTable, int)> probe) { probe_ = std::move(probe); }

 private:
  struct Fail {
    int16_t code;
  };

  bool StartEngine(int16_t& err);
  bool CheckHandle(int16_t handle, int16_t& err) const;
  DbfSlot& Slot(int16_t handle) { return slots_[static_cast<size_t>(handle)]; }
  DbfFieldDesc& Field(int16_t handle, int fieldNo);
  int16_t SetHandleCount(int requested);
  void Fatal(int16_t code, const std::string& text);
  bool ProbeFails(DbfTable table, int count) const;

  // Steps that may meet a locking error run through WithLockRetry.
  int16_t WithLockRetry(const std::function<int16_t()>& step);
  int16_t ReadHeader(int16_t handle);
  int16_t WriteHeaderImage(int16_t handle);
  int16_t LockWhole(int16_t handle);
  int16_t LockRange(int16_t handle, int64_t offset, int64_t length);
  int16_t Unlock(int16_t handle);
  int16_t OpenStep(int16_t handle, const std::string& path, int16_t request, bool create);
  int16_t SameFileConflict(const std::string& path, int16_t request) const;
  int16_t ReadDescriptors(int16_t handle);
  void CloseFile(int16_t handle);
  void ResetSlot(int16_t handle);
  void StampToday(DbfHeader& header);

  platform::Host& host_;
  platform::FilePool& files_;

  // Settings.
  int16_t maxDbfs_ = 0;
  int16_t maxFlds_ = 0;
  int16_t maxDbts_ = 0;
  int16_t maxNdxs_ = 0;
  int16_t maxBufs_ = 0;
  int16_t vbFiles_ = 0;
  std::string dateFormat_;
  bool charsAnsi_ = false;
  bool dayFirst_ = false;
  bool engineReady_ = false;
  int16_t fatalCode_ = 0;

  // Tables; element 0 of each is never used.
  int allocSlots_ = 0;  // highest handle the tables hold
  int allocFlds_ = 0;   // highest field number the field table holds
  std::vector<DbfSlot> slots_;
  std::vector<DbfFieldDesc> fieldTable_;  // (allocSlots_+1) x (allocFlds_+1)
  std::vector<std::unique_ptr<DbfFileCache>> caches_;
  std::vector<DbfDbtSlot> dbtSlots_;
  std::vector<DbfNdxInfo> ndxInfo_;
  std::vector<DbfNdxSlot> ndxSlots_;
  std::vector<std::array<char, 1036>> workTable_;
  std::vector<std::array<char, 1024>> bufferPool_;
  std::vector<int16_t> bufferState_;  // index i holds the state of buffer i - 1
  // Locks a shared file holds: offset and length, -1 when none.
  std::vector<std::pair<int64_t, int64_t>> locks_;

  std::function<bool(DbfTable, int)> probe_;
  std::string scratch_;  // record buffer reused by DbfReadRecord
};

}  // namespace kelvarin::dbf
