// Builds catalogs on disk for tests: field definitions of every kind,
// formulas, entries (also deleted ones), memos, a sort chain, report formats
// and QAV.INI, written byte for byte in the store's file formats without
// going through the store itself.
//
//   TempDir dir("mytest");
//   CatalogBuilder cat(dir.path(), "BOOKS");
//   cat.Field(0, "Title", 30, store::KindKey).Field(1, "Price", 8, store::KindSummed);
//   cat.Entry({"Dune", "9.50"});
//   cat.Write();
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "store/types.h"

namespace kelvarin::test_support {

// A fresh directory under the system's temporary folder, removed again when
// the object goes.
class TempDir {
 public:
  explicit TempDir(const std::string& tag);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

class CatalogBuilder {
 public:
  CatalogBuilder(std::string dataDir, std::string name);

  // Slot 0..20; names are padded or cut to 14 characters.
  CatalogBuilder& Field(int slot, const std::string& name, int length, int16_t kind = store::KindPlain);
  // A computed field: slot = field1 op field2.
  CatalogBuilder& Formula(int slot, int field1, int16_t op, int field2);
  // Adds an entry from texts by slot (padded or cut to each field's length;
  // slots beyond the list are blank); returns its number.
  float Entry(const std::vector<std::string>& texts, float status = store::StatusActive);
  float DeletedEntry(const std::vector<std::string>& texts) { return Entry(texts, store::StatusDeleted); }
  // Gives the entry a memo (memo numbers are handed out from 1).
  CatalogBuilder& Memo(float entryNumber, const std::string& text);
  // Threads the entries in this order: links, Sorted = 1, head and tail (the
  // first and last link to themselves).
  CatalogBuilder& SortChain(const std::vector<float>& order);
  CatalogBuilder& Settings(const std::function<void(store::CatalogSettings&)>& change);
  // Writes NAME.SET, NAME.DAT and (when there are memos) NAME.MEM.
  bool Write() const;

  const store::DatHeader& header() const { return header_; }
  const store::FieldDefTable& defs() const { return defs_; }
  const store::FormulaTable& formulas() const { return formulas_; }
  const store::CatalogSettings& settings() const { return settings_; }
  // Entry n (1-based) as written.
  const store::EntryRecord& entry(float n) const { return entries_.at(static_cast<size_t>(n) - 1); }
  std::string path(const std::string& ext) const { return dataDir_ + "/" + name_ + ext; }

 private:
  void UpdateHeader();
  std::string dataDir_;
  std::string name_;
  store::DatHeader header_;
  store::FieldDefTable defs_;
  store::FormulaTable formulas_{};
  store::CatalogSettings settings_;
  std::vector<store::EntryRecord> entries_;
  std::vector<std::string> memos_;
};

// Writes dir/NAME.FMT.
bool WriteReportFormatFile(const std::string& dir, const std::string& name, const store::ReportLayout& layout,
                           const store::ReportHeader& header);
// A simple layout: the given slots one per line at column 1, each as wide
// as given, lines per entry = the number of slots.
store::ReportLayout LinedLayout(const std::vector<std::pair<int, int>>& slotAndWidth);

// Reads a whole file's bytes ("" when missing).
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace kelvarin::test_support
