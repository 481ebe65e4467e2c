// The catalog's key indexes over the index library.
#include <cmath>

#include "platform/files/file_pool.h"
#include "store/store.h"

namespace kelvarin::store {
namespace {

using platform::KeyEntry;

std::string TrimRight(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

int32_t EntryInt(float entryNumber) { return static_cast<int32_t>(std::nearbyint(entryNumber)); }

}  // namespace

std::string Store::EntryKey(const EntryRecord& entry, int slot) {
  std::string key = TrimRight(entry.FieldText[static_cast<size_t>(slot)]);
  if (key.size() > static_cast<size_t>(kMaxKeyLength)) key.resize(kMaxKeyLength);
  return key;
}

void Store::OpenKeyIndexes(KeyIndexTable& table) {
  table.KeyIndexCount = 0;
  for (int slot = 0; slot < kFieldCount; ++slot) {
    if (!IsKeyField(FieldDefs[static_cast<size_t>(slot)].FieldKind)) continue;
    int16_t handle = OpenIndex(slot, CatalogHeader, CatalogName, 0);
    ++table.KeyIndexCount;
    table.Items[static_cast<size_t>(table.KeyIndexCount)] = {static_cast<int16_t>(slot), handle};
  }
}

bool Store::DeleteEntryKeys(KeyIndexTable& table, const EntryRecord& entry, float entryNumber) {
  bool ok = true;
  for (int i = 1; i <= table.KeyIndexCount; ++i) {
    const KeyIndex& k = table.Items[static_cast<size_t>(i)];
    if (k.Handle < 0) continue;
    ok = indexes_.DeleteKey(k.Handle, EntryKey(entry, k.FieldIndex), EntryInt(entryNumber)) >= 0 && ok;
  }
  return ok;
}

bool Store::AddEntryKeys(KeyIndexTable& table, const EntryRecord& entry, float entryNumber) {
  bool ok = true;
  for (int i = 1; i <= table.KeyIndexCount; ++i) {
    const KeyIndex& k = table.Items[static_cast<size_t>(i)];
    if (k.Handle < 0) continue;
    ok = indexes_.AddKey(k.Handle, EntryKey(entry, k.FieldIndex), EntryInt(entryNumber)) == 0 && ok;
  }
  return ok;
}

void Store::CloseIndexes(KeyIndexTable& table) {
  for (int i = 1; i <= table.KeyIndexCount; ++i) {
    KeyIndex& k = table.Items[static_cast<size_t>(i)];
    if (k.Handle >= 0) IndexClose(k.Handle);
    k.Handle = -1;
  }
}

int16_t Store::OpenIndex(int slot, const DatHeader& header, const std::string& catalogName, int mode) {
  if (slot < 0 || slot >= kFieldCount || catalogName.empty()) {
    ShowMessage("ERROR OPENING INDEX FILE");
    return -1;
  }
  platform::KeyIndexOpenInfo info;
  int16_t handle = indexes_.OpenNDX(IndexPath(catalogName, slot), mode == 1 ? 1 : 0, &info);
  if (handle < 0) {
    ShowMessage("ERROR OPENING INDEX FILE");
    return -1;
  }
  // An index that was missing, foreign, out of step with the data file or
  // made for another catalog (catalogs whose names share their first six
  // characters share the file name) would list nothing or the wrong entries:
  // build it from the entries.
  const bool ours = info.owner == catalogName;
  if (mode != 1 && (info.keyCount != static_cast<int64_t>(header.EntryCount) || !ours) &&
      !RebuildIndex(handle, slot, header, catalogName)) {
    indexes_.CloseNDX(handle);
    ShowMessage("ERROR OPENING INDEX FILE");
    return -1;
  }
  if (!ours) indexes_.SetOwner(handle, catalogName);
  return handle;
}

bool Store::RebuildIndex(int16_t handle, int slot, const DatHeader& header, const std::string& catalogName) {
  int16_t file = DatFile;
  int16_t own = 0;
  if (catalogName != CatalogName || DatFile == 0 || !files_.IsOpen(DatFile)) {
    own = static_cast<int16_t>(files_.FreeFile());
    if (own == 0 || files_.Open(own, CatalogPath(catalogName, ".DAT"), platform::FileAccess::Read,
                                platform::FileShare::NoClause, platform::FileCreate::OpenExisting) != 0)
      return false;
    file = own;
  }
  std::vector<KeyEntry> keys;
  const int64_t count = static_cast<int64_t>(header.EntryCount);
  keys.reserve(static_cast<size_t>(count));
  EntryRecord entry;
  for (int64_t n = 1; n <= count; ++n) {
    if (!ReadEntry(entry, header, static_cast<float>(n), file)) break;
    keys.push_back({EntryKey(entry, slot), static_cast<int32_t>(n)});
  }
  if (own != 0) {
    files_.Close(own);
    DropReadAhead();
  }
  return indexes_.Rebuild(handle, std::move(keys)) == 0;
}

float Store::IndexFirst(int16_t handle) {
  KeyEntry e;
  int rc = indexes_.GetFirst(handle, &e);
  if (rc == platform::kKeyOk) return static_cast<float>(e.entry);
  if (rc != platform::kKeyNone) ShowMessage("Error Getting Key");
  return -1;
}

float Store::IndexNext(int16_t handle) {
  platform::KeyEntry e;
  return indexes_.GetNext(handle, &e, false) == platform::kKeyOk ? static_cast<float>(e.entry) : 0.0f;
}

float Store::IndexPrev(int16_t handle) {
  KeyEntry e;
  return indexes_.GetPrev(handle, &e, false) == platform::kKeyOk ? static_cast<float>(e.entry) : 0.0f;
}

float Store::IndexFind(int16_t handle, const std::string& key) {
  std::string k = TrimRight(key);
  if (k.size() > static_cast<size_t>(kMaxKeyLength)) k.resize(kMaxKeyLength);
  KeyEntry e;
  return indexes_.GetKey(handle, k, &e) == platform::kKeyOk ? static_cast<float>(e.entry) : 0.0f;
}

void Store::IndexClose(int16_t handle) {
  if (indexes_.CloseNDX(handle) != platform::kKeyOk) ShowMessage("Error Closing Index File");
}

}  // namespace kelvarin::store
