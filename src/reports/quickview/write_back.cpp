#include "reports/quickview/write_back.h"

#include "platform/text/number_text.h"
#include "platform/text/trim.h"

namespace kelvarin::reports {

using store::EntryRecord;
using store::KeyIndexTable;

bool WriteBackCalls::ReadEntry(EntryRecord& entry, float number) {
  return store_.ReadEntry(entry, store_.CatalogHeader, number, store_.DatFile);
}

bool WriteBackCalls::WriteEntry(const EntryRecord& entry, float number) {
  return store_.WriteEntry(entry, store_.CatalogHeader, number, store_.DatFile);
}

bool WriteBackCalls::OpenKeyIndexes(KeyIndexTable& table) {
  store_.OpenKeyIndexes(table);
  for (int i = 1; i <= table.KeyIndexCount; ++i)
    if (table.Items[static_cast<size_t>(i)].Handle < 0) return false;
  return true;
}

bool WriteBackCalls::DeleteEntryKeys(KeyIndexTable& table, const EntryRecord& entry, float number) {
  return store_.DeleteEntryKeys(table, entry, number);
}

bool WriteBackCalls::AddEntryKeys(KeyIndexTable& table, const EntryRecord& entry, float number) {
  return store_.AddEntryKeys(table, entry, number);
}

void WriteBackCalls::CloseIndexes(KeyIndexTable& table) { store_.CloseIndexes(table); }

bool WriteBackCalls::RebuildIndexes(KeyIndexTable& table) {
  // The store rebuilds an index it finds recorded for another owner when it
  // opens it; clearing the owner hands the rebuild to that one road.
  bool ok = true;
  for (int i = 1; i <= table.KeyIndexCount; ++i) {
    store::KeyIndex& k = table.Items[static_cast<size_t>(i)];
    if (k.Handle >= 0) {
      store_.indexLibrary().SetOwner(k.Handle, "");
      store_.IndexClose(k.Handle);
    }
    k.Handle = store_.OpenIndex(k.FieldIndex, store_.CatalogHeader, store_.CatalogName, 0);
    ok = ok && k.Handle >= 0;
  }
  return ok;
}

namespace {

std::string TrimRight(const std::string& text) { return std::string(platform::TrimTrailingBlanks(text)); }

std::string Padded(const std::string& text, int length) {
  std::string field(static_cast<size_t>(length), ' ');
  field.replace(0, std::min(text.size(), field.size()), text, 0, std::min(text.size(), field.size()));
  return field;
}

std::string FieldOf(const EntryRecord& entry, int field) {
  return TrimRight(entry.FieldText[static_cast<size_t>(field)]);
}

}  // namespace

WriteBackResult WriteBackCell(WriteBackCalls& calls, float number, int field, int length, const std::string& text) {
  platform::Host& host = calls.store().host();
  const std::string failed = "The change to entry " + platform::PlainNumber(number) + " could not be saved.";
  WriteBackResult result;
  if (field < 0 || field >= store::kFieldCount || length < 1) return result;

  EntryRecord old;
  if (!calls.ReadEntry(old, number)) {
    host.MsgBox(failed, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
    return result;
  }
  result.read = true;
  result.fileText = FieldOf(old, field);
  // Only the one field changes: status, links and memo number go back as
  // read, so a deleted entry stays deleted.
  EntryRecord edited = old;
  edited.FieldText[static_cast<size_t>(field)] = Padded(text, length);

  KeyIndexTable table;
  if (!calls.OpenKeyIndexes(table)) {
    // An index left out of the change would keep the old key without any
    // sign of it, so nothing is changed.
    calls.CloseIndexes(table);
    host.MsgBox(failed, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
    return result;
  }
  bool keysOk = calls.DeleteEntryKeys(table, old, number);
  bool written = false;
  EntryRecord held = old;
  if (keysOk) {
    written = calls.WriteEntry(edited, number);
    if (written) held = edited;
    if (!written) {
      // The keys must follow what the file holds, and a failed write may
      // still have reached it.
      EntryRecord now;
      if (calls.ReadEntry(now, number)) {
        held = now;
        written = now.FieldText[static_cast<size_t>(field)] == edited.FieldText[static_cast<size_t>(field)];
      } else {
        // What the file holds is unknown: the indexes are built from it.
        keysOk = false;
        result.read = false;
      }
    }
    keysOk = calls.AddEntryKeys(table, held, number) && keysOk;
  }
  // An index whose change failed part way may hold either key, or both:
  // it is built again from what the data file now holds.
  bool repaired = keysOk || calls.RebuildIndexes(table);
  calls.CloseIndexes(table);

  result.fileText = FieldOf(held, field);
  result.written = written;
  if (!written || !repaired) {
    std::string message = failed;
    if (written) message = "Entry " + platform::PlainNumber(number) + " was saved, but its key index could not be brought up to date.";
    host.MsgBox(message, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
  }
  return result;
}

}  // namespace kelvarin::reports
