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
// Each handle has a position: the key it last returned (or the place a
// lookup fell). GetNext and GetPrev step from it through a cursor that is
// kept open between calls, so walking costs one step of the cursor per key;
// any change to the file re-seeks the cursors of every handle on it from
// their positions.
//
// Results: kKeyOk (0), kKeyNone (1: no such key, end of the index) or a
// negative error. Keys longer than kMaxKey characters are cut.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelvarin::platform {

enum KeyIndexResult : int {
  kKeyOk = 0,
  kKeyNone = 1,
  kKeyBadHandle = -1,
  kKeyFileError = -2,  // cannot open, read or write the file
  kKeyTooManyOpen = -3,
};

struct KeyIndexOpenInfo {
  // The file was missing, foreign (not an index of ours, unreadable) or asked
  // to be new, and has been made empty.
  bool createdEmpty = false;
  // Keys the index holds.
  int64_t keyCount = 0;
  // The text its user last recorded with SetOwner; "" when none.
  std::string owner;
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

  // mode 0: opens the index file, making it empty when it is missing or not
  // an index of ours; mode 1: makes a new empty index in its place. Returns a
  // handle (0 or more) or a negative KeyIndexResult.
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

  // Empties the index and fills it with the given pairs in one transaction.
  int Rebuild(int16_t handle, std::vector<KeyEntry> keys);
  int64_t KeyCount(int16_t handle);
  // Records a text naming what the index belongs to (the file name alone may
  // be shared: the store names indexes from six characters of the catalog
  // name). Kept until the index is made anew.
  int SetOwner(int16_t handle, const std::string& owner);

  // Groups the changes until EndBatch into one transaction (for callers
  // adding many keys); batches on one file do not nest.
  int BeginBatch(int16_t handle);
  int EndBatch(int16_t handle);

 private:
  struct Connection;
  struct Handle;
  Handle* Get(int16_t handle);
  std::shared_ptr<Connection> Connect(const std::string& path, int mode, KeyIndexOpenInfo* info,
                                      int* error);
  void ResetCursors(Connection& c);
  int Change(Handle& h, const std::string& key, int32_t entry, bool add);

  std::vector<std::unique_ptr<Handle>> handles_;
  std::vector<std::weak_ptr<Connection>> connections_;
};

}  // namespace kelvarin::platform
