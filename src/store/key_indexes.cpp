// The catalog's key indexes over the index library.
#include <algorithm>
#include <cmath>

#include "platform/files/file_names.h"
#include "platform/files/file_pool.h"
#include "platform/files/file_system.h"
#include "platform/files/runtime_errors.h"
#include "platform/model/form.h"
#include "platform/text/codepage.h"
#include "platform/text/path_text.h"
#include "platform/text/trim.h"
#include "store/pooled_file.h"
#include "store/store.h"

namespace kelvarin::store {
namespace {

using platform::KeyEntry;

std::string TrimRight(const std::string& text) { return std::string(platform::TrimTrailingBlanks(text)); }

int32_t EntryInt(float entryNumber) { return static_cast<int32_t>(std::nearbyint(entryNumber)); }

// Entries read from the data file at a time while rebuilding.
constexpr size_t kRebuildBlockBytes = 1 << 20;

}  // namespace

std::string Store::EntryKey(const EntryRecord& entry, int slot) {
  std::string key = TrimRight(entry.FieldText[static_cast<size_t>(slot)]);
  if (key.size() > static_cast<size_t>(kMaxKeyLength)) key.resize(kMaxKeyLength);
  return key;
}

std::string Store::KeyIndexFile(const std::string& catalogName, int slot) {
  const std::string shared = IndexPath(catalogName, slot);
  const std::string own = platform::OwnIndexFile(DataDir, catalogName, slot);
  platform::FileSystem& fs = fileSystem();
  if (fs.Exists(own)) return own;
  // Two catalogs taking turns at one file would rebuild it at every switch.
  auto owner = indexes_.OwnerOf(shared);
  if (owner && platform::IsValidName(*owner) && *owner != catalogName &&
      fs.Exists(CatalogPath(*owner, platform::kDataExt)))
    return own;
  return shared;
}

std::string Store::IndexFault(const std::string& heading, const std::string& path) const {
  return heading + "\r" + platform::PathText(path) + "\r" + indexes_.LastError();
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
    // A key that is not there leaves the index out of step, which its next
    // opening mends; a failed change is told.
    if (indexes_.DeleteKey(k.Handle, EntryKey(entry, k.FieldIndex), EntryInt(entryNumber)) < 0) {
      if (ok) ShowMessage(IndexFault("Error Deleting Key", indexes_.PathOf(k.Handle)));
      ok = false;
    }
  }
  return ok;
}

bool Store::AddEntryKeys(KeyIndexTable& table, const EntryRecord& entry, float entryNumber) {
  bool ok = true;
  for (int i = 1; i <= table.KeyIndexCount; ++i) {
    const KeyIndex& k = table.Items[static_cast<size_t>(i)];
    if (k.Handle < 0) continue;
    if (indexes_.AddKey(k.Handle, EntryKey(entry, k.FieldIndex), EntryInt(entryNumber)) != 0) {
      if (ok) ShowMessage(IndexFault("Error Saving Key", indexes_.PathOf(k.Handle)));
      ok = false;
    }
  }
  return ok;
}

bool Store::BeginKeyChanges(KeyIndexTable& table) {
  for (int i = 1; i <= table.KeyIndexCount; ++i) {
    const KeyIndex& k = table.Items[static_cast<size_t>(i)];
    if (k.Handle < 0 || indexes_.BeginBatch(k.Handle) == platform::kKeyOk) continue;
    ShowMessage(IndexFault("Error Updating Key Index", indexes_.PathOf(k.Handle)));
    EndKeyChanges(table, false);  // the indexes not begun have nothing to end
    return false;
  }
  return true;
}

bool Store::EndKeyChanges(KeyIndexTable& table, bool keep) {
  bool ok = true;
  for (int i = 1; i <= table.KeyIndexCount; ++i) {
    const KeyIndex& k = table.Items[static_cast<size_t>(i)];
    if (k.Handle < 0 || indexes_.EndBatch(k.Handle, keep) == platform::kKeyOk) continue;
    if (ok) ShowMessage(IndexFault("Error Updating Key Index", indexes_.PathOf(k.Handle)));
    ok = false;
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
  const std::string path = KeyIndexFile(catalogName, slot);
  platform::KeyIndexOpenInfo info;
  int16_t handle = indexes_.OpenNDX(path, mode == 1 ? 1 : 0, &info);
  if (handle < 0) {
    ShowMessage(IndexFault("ERROR OPENING INDEX FILE", path));
    return -1;
  }
  if (info.wasDamaged)
    ShowMessage("Error Getting Key\r" + platform::PathText(path) + "\rThe index file is damaged. It is built again from the catalog.");
  // An index that was missing, damaged, out of step with the data file or
  // made for another catalog would list nothing or the wrong entries: build
  // it from the entries.
  const bool ours = info.owner == catalogName;
  if (mode != 1 && (info.keyCount != static_cast<int64_t>(header.EntryCount) || !ours || info.outOfStep)) {
    std::string cause;
    int rc = RebuildIndex(handle, slot, header, catalogName, &cause);
    if (rc != platform::kKeyOk) {
      indexes_.CloseNDX(handle);
      if (rc != platform::kKeyCancelled) ShowMessage("ERROR OPENING INDEX FILE\r" + platform::PathText(path) + "\r" + cause);
      return -1;
    }
  }
  if (!ours && indexes_.SetOwner(handle, catalogName) != platform::kKeyOk) {
    indexes_.CloseNDX(handle);
    ShowMessage(IndexFault("ERROR OPENING INDEX FILE", path));
    return -1;
  }
  openedIndexes_[handle] = {slot, catalogName, header};
  return handle;
}

int Store::RebuildIndex(int16_t handle, int slot, const DatHeader& header, const std::string& catalogName,
                        std::string* cause) {
  PooledFile data(files_, CatalogPath(catalogName, ".DAT"), platform::FileAccess::Read,
                  platform::FileCreate::OpenExisting);
  if (data.error() != 0) {
    *cause = CatalogPath(catalogName, ".DAT") + ": " + platform::RuntimeErrorText(data.error());
    return platform::kKeyFileError;
  }
  const size_t len = static_cast<size_t>(std::max<int16_t>(header.RecordLength, 1));
  size_t fieldOffset = 4;
  for (int i = 0; i < slot; ++i) fieldOffset += static_cast<size_t>(std::max<int16_t>(header.FieldLength[static_cast<size_t>(i)], 0));
  const size_t fieldLength = static_cast<size_t>(std::max<int16_t>(header.FieldLength[static_cast<size_t>(slot)], 0));
  const int64_t count = static_cast<int64_t>(header.EntryCount);
  const bool usable = fieldOffset + fieldLength <= len;

  // The window the user worked in waits, as for a run, while the gauge
  // offers Cancel; a catalog too small for the gauge is done at once.
  ProgressGauge gauge(host_);
  platform::Form* window = host_.ActiveForm();
  const bool wasEnabled = window && window->Enabled();
  const int pointer = host_.MousePointerShape();
  gauge.ShowGauge(static_cast<float>(count), "Rebuilding Key Index....", true);
  const bool shown = gauge.Shown();
  if (shown) {
    if (wasEnabled) window->SetEnabled(false);
    host_.SetMousePointerShape(platform::kPointerHourglass);
  }

  std::vector<uint8_t> block(std::max(len, kRebuildBlockBytes / len * len));
  std::string key;
  int rc = indexes_.Rebuild(handle, [&](platform::KeySink& sink) {
    for (int64_t n = 1; n <= count;) {
      size_t want = std::min<int64_t>(count - n + 1, static_cast<int64_t>(block.size() / len)) * len;
      size_t got = 0;
      // A data file shorter than its entry count keeps its whole entries.
      if (data.file()->Read(n * static_cast<int64_t>(len), block.data(), want, &got) != 0 || got < len) break;
      for (size_t at = 0; at + len <= got; at += len, ++n) {
        if (gauge.StepGauge()) return false;
        if (usable) {
          key.assign(reinterpret_cast<const char*>(block.data() + at + fieldOffset), fieldLength);
          platform::OemToAnsiInPlace(key);
          platform::TrimTrailingBlanksInPlace(key);
          if (key.size() > static_cast<size_t>(kMaxKeyLength)) key.resize(kMaxKeyLength);
        }
        if (!sink.Add(key, static_cast<int32_t>(n))) return true;
      }
      if (got < want) break;
    }
    return true;
  });
  gauge.CloseGauge();
  if (shown) {
    host_.SetMousePointerShape(pointer);
    if (wasEnabled) window->SetEnabled(true);
  }
  if (rc != platform::kKeyOk && rc != platform::kKeyCancelled) *cause = indexes_.LastError();
  return rc;
}

bool Store::RecoverIndex(int16_t handle, bool damaged) {
  const std::string path = indexes_.PathOf(handle);
  // An index a failed change left out of step has been told of then.
  if (damaged)
    ShowMessage("Error Getting Key\r" + platform::PathText(path) + "\r" + indexes_.LastError() +
                " It is built again from the catalog.");
  auto it = openedIndexes_.find(handle);
  if (it == openedIndexes_.end()) return false;
  const OpenedIndex& opened = it->second;
  const DatHeader& header = opened.catalogName == CatalogName ? CatalogHeader : opened.header;
  std::string cause;
  int rc = RebuildIndex(handle, opened.slot, header, opened.catalogName, &cause);
  if (rc == platform::kKeyOk) return true;
  if (rc != platform::kKeyCancelled) ShowMessage("Error Getting Key\r" + platform::PathText(path) + "\r" + cause);
  return false;
}

// Runs a lookup; a damaged index is reported and rebuilt, and the lookup
// made again from the position it had.
template <class Lookup>
float Store::IndexLookup(int16_t handle, Lookup lookup, float none, bool reportBadHandle) {
  KeyEntry e;
  int rc = lookup(e);
  if (rc == platform::kKeyDamaged || rc == platform::kKeyStale) {
    // Told by RecoverIndex either way.
    if (!RecoverIndex(handle, rc == platform::kKeyDamaged)) return none;
    rc = lookup(e);
  }
  if (rc == platform::kKeyOk) return static_cast<float>(e.entry);
  if (rc == platform::kKeyBadHandle) {
    if (reportBadHandle) ShowMessage("Error Getting Key");
  } else if (rc < 0) {
    ShowMessage(IndexFault("Error Getting Key", indexes_.PathOf(handle)));
  }
  return none;
}

float Store::IndexFirst(int16_t handle) {
  return IndexLookup(handle, [&](KeyEntry& e) { return indexes_.GetFirst(handle, &e); }, -1.0f, true);
}

float Store::IndexNext(int16_t handle) {
  return IndexLookup(handle, [&](KeyEntry& e) { return indexes_.GetNext(handle, &e, false); }, 0.0f, false);
}

float Store::IndexPrev(int16_t handle) {
  return IndexLookup(handle, [&](KeyEntry& e) { return indexes_.GetPrev(handle, &e, false); }, 0.0f, false);
}

float Store::IndexFind(int16_t handle, const std::string& key) {
  std::string k = TrimRight(key);
  if (k.size() > static_cast<size_t>(kMaxKeyLength)) k.resize(kMaxKeyLength);
  return IndexLookup(handle, [&](KeyEntry& e) { return indexes_.GetKey(handle, k, &e); }, 0.0f, false);
}

void Store::IndexSeekEntry(int16_t handle, const std::string& key, float entryNumber) {
  const std::string folded = platform::AnsiUpperString(key);
  std::string at;
  auto keep = [&](int rc, const KeyEntry& e) {
    at = platform::AnsiUpperString(e.key);
    return rc;
  };
  float n = IndexLookup(handle, [&](KeyEntry& e) { return keep(indexes_.GetKey(handle, key, &e), e); }, 0.0f, false);
  // Keys that agree are kept in entry-number order.
  while (n != 0 && n < entryNumber && at == folded)
    n = IndexLookup(handle, [&](KeyEntry& e) { return keep(indexes_.GetNext(handle, &e, true), e); }, 0.0f, false);
}

void Store::IndexClose(int16_t handle) {
  openedIndexes_.erase(handle);
  if (indexes_.CloseNDX(handle) != platform::kKeyOk) ShowMessage("Error Closing Index File");
}

}  // namespace kelvarin::store
