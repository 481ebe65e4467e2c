// A large catalog for the benchmarks, written straight into its files:
// nine fields of 20 characters and one of 3 (17 + 183 = 200 bytes a record),
// slot 0 a key field. The caller fills each entry's texts; the writer pads
// them to their fields and streams the data file in large blocks.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "store/formats.h"
#include "store/store.h"

namespace kelvarin::bench {

inline store::DatHeader BenchHeader(int entries) {
  store::DatHeader h;
  for (int i = 0; i < 9; ++i) h.FieldLength[static_cast<size_t>(i)] = 20;
  h.FieldLength[9] = 3;
  h.RecordLength = static_cast<int16_t>(store::ComputeRecordLength(h.FieldLength));
  h.EntryCount = static_cast<float>(entries);
  return h;
}

// Writes DIR/NAME.SET and DIR/NAME.DAT; fill(n, entry) sets entry n's texts.
inline bool WriteBenchCatalog(const std::string& dir, const std::string& name, int entries,
                              const std::function<void(int, store::EntryRecord&)>& fill) {
  store::DatHeader h = BenchHeader(entries);
  store::FieldDefTable defs;
  for (int i = 0; i < store::kFieldCount; ++i) {
    defs[static_cast<size_t>(i)].FieldName = "Field " + std::to_string(i + 1);
    defs[static_cast<size_t>(i)].FieldName.resize(store::kFieldNameLength, ' ');
  }
  defs[0].FieldKind = store::KindKey;
  std::vector<uint8_t> set(store::kSetFileSize, 0);
  store::EncodeFieldDefs(defs, set.data());
  store::EncodeSettings(store::CatalogSettings{}, set.data() + store::kSettingsOffset);
  store::EncodeFormulas(store::FormulaTable{}, set.data() + store::kFormulasOffset);
  std::ofstream(dir + "/" + name + ".SET", std::ios::binary)
      .write(reinterpret_cast<char*>(set.data()), static_cast<std::streamsize>(set.size()));

  std::ofstream dat(dir + "/" + name + ".DAT", std::ios::binary | std::ios::trunc);
  const size_t len = static_cast<size_t>(h.RecordLength);
  std::vector<uint8_t> chunk;
  chunk.reserve(len * 4096);
  std::vector<uint8_t> rec(len, ' ');
  store::EncodeDatHeader(h, rec.data());
  chunk.insert(chunk.end(), rec.begin(), rec.end());
  store::EntryRecord e;
  for (int n = 1; n <= entries; ++n) {
    fill(n, e);
    for (int i = 0; i < 10; ++i) e.FieldText[static_cast<size_t>(i)].resize(h.FieldLength[static_cast<size_t>(i)], ' ');
    store::EncodeEntry(e, h, rec.data());
    chunk.insert(chunk.end(), rec.begin(), rec.end());
    if (chunk.size() >= len * 4096) {
      dat.write(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
      chunk.clear();
    }
  }
  dat.write(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
  return static_cast<bool>(dat);
}

}  // namespace kelvarin::bench
