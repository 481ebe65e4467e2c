// The key-index functions of the companion library: one index file per key
// field of a catalog, holding (key, entry number) pairs ordered by the key
// without regard to case (Windows-1252 upper case), then by entry number.
// Duplicate keys are allowed, also the same key with the same entry twice.
//
// Each index file is an SQLite database of its own. Every change runs in a
// transaction (or in the caller's batch, see BeginBatch), so a crash leaves
// the previous state. Two handles on the same file share one connection, so
// an index kept open for browsing never blocks the saving of an entry.
//
// Damage is found, never read as keys: every page carries a checksum bound
// to its place and file that is checked when it is read (checked_vfs.h), so
// a damaged or misplaced page fails the read that meets it (kKeyDamaged) and
// a walk cannot end early as if it had reached the last key. Opening checks
// the file's header, its size and its meta row only, which costs the same
// for any number of keys.
//
// An index must never be trusted while it may be out of step with its data
// file. An entry's keys change by removing its old key and adding its new
// one through the same handle; each removal counts in the file as pending
// (in the removal's own transaction) until the add comes. So when the add
// fails, or never comes (a crash, a failure in between), the file says so
// and the next opening reports it (outOfStep) for a rebuild; within the
// session the index then answers lookups with kKeyStale. Another program
// holding the file is waited for a moment, then told as the cause.
//
// A file at an index path that is not an index of ours (another program's
// file, an empty file, a folder) is never changed or removed: opening it
// fails with kKeyForeign. Ours are the files whose header carries the
// index's application id, files of the earlier layout (rebuilt on open),
// and damaged files whose second page still holds a valid checksum.
//
// Rebuilds and new empty indexes are written into a temporary file beside
// the index, which replaces the index only when complete: a failed or
// cancelled rebuild leaves the old file (or, when that was damaged, none).
//
// Each handle has a position: the key it last returned (or the place a
// lookup fell). GetNext and GetPrev step from it through a cursor that is
// kept open between calls, so walking costs one step of the cursor per key;
// any change to the file re-seeks the cursors of every handle on it from
// their positions.
//
// Results: kKeyOk (0), kKeyNone (1: no such key, end of the index),
// kKeyCancelled (2: a rebuild stopped by its caller) or a negative error;
// after an error LastError() tells its cause in words for the user. Keys
// longer than kMaxKey characters are cut.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace kelvarin::platform {

enum KeyIndexResult : int {
  kKeyOk = 0,
  kKeyNone = 1,
  kKeyBadHandle = -1,
  kKeyFileError = -2,  // cannot open, read or write the file
  kKeyTooManyOpen = -3,
  kKeyForeign = -4,  // a file that is not an index of ours stands at the path
  kKeyDamaged = -5,  // a read met a damaged page (or failed): rebuild the index
  kKeyStale = -6,    // a failed change left the index out of step: rebuild it
  kKeyCancelled = 2,
};

class CheckedVfs;
class KeySorter;

struct KeyIndexOpenInfo {
  // The file was missing, foreign (not an index of ours, unreadable) or asked
  // to be new, and has been made empty.
  bool createdEmpty = false;
  // It was made empty because the file was damaged.
  bool wasDamaged = false;
  // Keys the index holds.
  int64_t keyCount = 0;
  // Keys were removed whose entries' keys were never added back: build it
  // again before use.
  bool outOfStep = false;
  // The text its user last recorded with SetOwner; "" when none.
  std::string owner;
};

// What a rebuild is fed from: Add for every key, in any order.
class KeySink {
 public:
  virtual ~KeySink() = default;
  // False once the keys can no longer be kept (a temporary file failed).
  virtual bool Add(std::string_view key, int32_t entry) = 0;
};

struct KeyEntry {
  std::string key;  // as added (case kept), Windows-1252
  int32_t entry = 0;
};

class KeyIndexLibrary {
 public:
  static constexpr size_t kMaxKey = 24;
  static constexpr int kMaxHandles = 256;

  KeyIndexLibrary();
  ~KeyIndexLibrary();
  KeyIndexLibrary(const KeyIndexLibrary&) = delete;
  KeyIndexLibrary& operator=(const KeyIndexLibrary&) = delete;

  // Closes every open index; called once at start-up.
  int InitIndexes();

  // mode 0: opens the index file, making it empty when it is missing, of
  // the earlier layout or damaged; mode 1: makes a new empty index in its
  // place. Returns a handle (0 or more) or a negative KeyIndexResult.
  int16_t OpenNDX(const std::string& path, int mode, KeyIndexOpenInfo* info = nullptr);
  int CloseNDX(int16_t handle);

  int AddKey(int16_t handle, const std::string& key, int32_t entry);
  // Removes one pair with this key (compared without regard to case) and
  // entry number; kKeyNone when there is none.
  int DeleteKey(int16_t handle, const std::string& key, int32_t entry);

  // Positions on the first key not below `key` and returns it; kKeyNone
  // when every key is below it (the position is then past the last key:
  // GetPrev gives the last key, GetNext nothing).
  int GetKey(int16_t handle, const std::string& key, KeyEntry* found);
  int GetFirst(int16_t handle, KeyEntry* found);
  int GetLast(int16_t handle, KeyEntry* found);
  // From the position; an unpositioned handle starts at the first (last)
  // key. At either end the position stays on the key last returned. Without
  // withKey only found->entry is set (walks that need no key text).
  int GetNext(int16_t handle, KeyEntry* found, bool withKey = true);
  int GetPrev(int16_t handle, KeyEntry* found, bool withKey = true);

  // Makes the index anew from the keys `feed` adds; feed returns false to
  // cancel (kKeyCancelled, the index as it was; a damaged one is removed).
  // Memory stays the same whatever the number of keys. Positions are kept:
  // the next step goes on from the key last returned.
  int Rebuild(int16_t handle, const std::function<bool(KeySink&)>& feed);
  int Rebuild(int16_t handle, std::vector<KeyEntry> keys);
  int64_t KeyCount(int16_t handle);
  // Records a text naming what the index belongs to (the file name alone may
  // be shared: the store names indexes from six characters of the catalog
  // name). Kept until the index is made anew.
  int SetOwner(int16_t handle, const std::string& owner);

  // Groups the changes until EndBatch into one transaction (for callers
  // adding many keys); batches on one file do not nest. A change that fails
  // in a batch rolls the whole batch back, and the batch's later changes
  // fail without touching the file. EndBatch commits when keep is true,
  // else rolls back.
  int BeginBatch(int16_t handle);
  int EndBatch(int16_t handle, bool keep = true);

  // The cause of the last failure, for the user ("The disk is full.").
  const std::string& LastError() const { return lastError_; }
  // The path the handle was opened with; "" for a bad handle.
  std::string PathOf(int16_t handle);
  // The owner recorded in the index file at path; nullopt when there is no
  // readable index of ours there. Changes nothing.
  std::optional<std::string> OwnerOf(const std::string& path);

  // Test hook: see CheckedVfs::FailWrites.
  void FailWrites(int sqliteCode, int errnoValue, int64_t afterBytes = 0);

 private:
  struct Connection;
  struct Handle;
  Handle* Get(int16_t handle);
  std::shared_ptr<Connection> Connect(const std::string& path, int mode, KeyIndexOpenInfo* info,
                                      int* error);
  void ResetCursors(Connection& c);
  int Change(Handle& h, const std::string& key, int32_t entry, bool add);
  // The end of a transaction's changes; without committed, the removals it
  // made are forgotten and a removal left unpaired marks the index stale.
  void Settle(Connection& c, bool committed);
  // The handle for a lookup; null (and *rc) when bad or stale.
  Handle* Walker(int16_t handle, int* rc);
  int Fail(int result, const std::string& cause);
  int FailSql(int result, sqlite3* db, int rc);
  int WalkResult(Handle& h, int rc);
  // Writes a complete index file at path (keys from the sorter, if any).
  int WriteIndexFile(const std::string& path, const std::string& owner, KeySorter* keys, int64_t* count);
  // Reopens the connection on its path after the file was replaced.
  int Reopen(Connection& c);

  std::unique_ptr<CheckedVfs> vfs_;
  std::string lastError_;
  std::vector<std::unique_ptr<Handle>> handles_;
  std::vector<std::weak_ptr<Connection>> connections_;
};

}  // namespace kelvarin::platform
