// Writing one edited Quick View cell back into its entry, with the entry's
// keys taken out of the key indexes and put back in step with the new text.
//
// All or nothing: afterwards the data file holds either the old or the new
// text, and every key index agrees with it. The steps run in an order that
// keeps the key count of each index one short of the entry count from the
// first change until the last (old keys out, entry written, new keys in),
// so a program killed in between leaves indexes that the store rebuilds
// when it next opens them. A step that fails is undone: the old keys go back
// when the entry could not be written, and an index whose own change failed
// is rebuilt from the data file at once.
#pragma once

#include <string>

#include "store/store.h"

namespace kelvarin::reports {

// The store and key-index calls a write-back makes, one virtual each, so
// that a test can make any of them fail or stop the program there.
class WriteBackCalls {
 public:
  explicit WriteBackCalls(store::Store& store) : store_(store) {}
  virtual ~WriteBackCalls() = default;
  store::Store& store() const { return store_; }

  virtual bool ReadEntry(store::EntryRecord& entry, float number);
  virtual bool WriteEntry(const store::EntryRecord& entry, float number);
  // False when a key field's index could not be opened (already told).
  virtual bool OpenKeyIndexes(store::KeyIndexTable& table);
  virtual bool DeleteEntryKeys(store::KeyIndexTable& table, const store::EntryRecord& entry, float number);
  virtual bool AddEntryKeys(store::KeyIndexTable& table, const store::EntryRecord& entry, float number);
  virtual void CloseIndexes(store::KeyIndexTable& table);
  // Builds every index of the table anew from the data file; false when
  // one could not be rebuilt.
  virtual bool RebuildIndexes(store::KeyIndexTable& table);

 private:
  store::Store& store_;
};

struct WriteBackResult {
  bool written = false;
  // Whether the file's text is known (fileText is then meaningful): false
  // when the entry could not be read, before or after a failed write.
  bool read = false;
  // The field's text as the data file holds it after the attempt, trailing
  // blanks removed; empty when the entry could not be read.
  std::string fileText;
};

// Sets field slot `field` of entry `number` to `text`, blank-padded (or cut)
// to `length` characters, rewriting the entry and its keys. A failure is
// told to the user; the result then says what the file holds.
WriteBackResult WriteBackCell(WriteBackCalls& calls, float number, int field, int length, const std::string& text);

}  // namespace kelvarin::reports
