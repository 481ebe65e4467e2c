// A program over the scripted host with a stock catalog whose used slots
// leave a gap: Name (key, 20) in slot 0, slot 1 unused, Notes (40) in slot 2,
// "Quantity Held" (summed, 5) in slot 3, Price (8) in slot 4, Value (10) in
// slot 5 computed as Quantity Held times Price, Code (key, 6) in slot 6.
// Tests fill a Quick View window with entries and play the user in it.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "reports/quickview/frmQView.h"
#include "support/catalog_program.h"

namespace kelvarin::test_support {

// Write-back calls that count the entry writes.
class CountingCalls : public reports::WriteBackCalls {
 public:
  using WriteBackCalls::WriteBackCalls;
  bool WriteEntry(const store::EntryRecord& entry, float number) override {
    ++writes;
    return WriteBackCalls::WriteEntry(entry, number);
  }
  int writes = 0;
};

class QuickViewTest : public CatalogProgramTest {
 protected:
  QuickViewTest() : CatalogProgramTest("qview", "STOCK") {
    cat_.Field(0, "Name", 20, store::KindKey).Field(2, "Notes", 40).Field(3, "Quantity Held", 5, store::KindSummed);
    cat_.Field(4, "Price", 8).Field(5, "Value", 10).Formula(5, 3, store::OpTimes, 4);
    cat_.Field(6, "Code", 6, store::KindKey);
  }

  void Start(int16_t dest = store::rdQuickView) { CatalogProgramTest::Start(dest); }

  // Entries named Item01, Item02, ... with code C01, C02, ...
  void Items(int count) {
    for (int i = 1; i <= count; ++i) {
      std::string nn = (i < 10 ? "0" : "") + std::to_string(i);
      cat_.Entry({"Item" + nn, "", "note " + nn, std::to_string(i), "2", "", "C" + nn});
    }
  }

  // A fresh window holding the given entries as rows, shown modally while
  // the script plays the user (it must end with OK). Returns the number of
  // entry writes the window made.
  int View(const std::vector<float>& numbers, std::function<void(reports::frmQView&)> script) {
    reports::frmQView v(host_, st(), rs().QuickViewEntries);
    auto counting = std::make_unique<CountingCalls>(st());
    CountingCalls* calls = counting.get();
    v.SetWriteBackCalls(std::move(counting));
    v.LoadForm();
    float row = 0;
    for (float n : numbers) {
      store::EntryRecord e;
      EXPECT_TRUE(st().ReadEntry(e, st().CatalogHeader, n, st().DatFile));
      ++row;
      EXPECT_TRUE(reports::AddListRow(v, n, e, row));
    }
    host_.OnShowAs<reports::frmQView>("frmQView", std::move(script));
    v.Show(platform::ShowMode::Modal);
    v.UnloadForm();
    return calls->writes;
  }
  std::vector<float> Numbers(int first, int last) {
    std::vector<float> out;
    for (int n = first; n <= last; ++n) out.push_back(static_cast<float>(n));
    return out;
  }

  // Field slot of entry n as the data file holds it (blank-padded).
  std::string FileField(float n, int slot) {
    store::EntryRecord e;
    EXPECT_TRUE(st().ReadEntry(e, st().CatalogHeader, n, st().DatFile));
    return e.FieldText[static_cast<size_t>(slot)];
  }
  store::EntryRecord FileEntry(float n) {
    store::EntryRecord e;
    EXPECT_TRUE(st().ReadEntry(e, st().CatalogHeader, n, st().DatFile));
    return e;
  }

  // Every (key, entry) pair of a key field's index, in key order.
  std::vector<std::pair<std::string, int>> Keys(int slot) {
    std::vector<std::pair<std::string, int>> out;
    int16_t h = st().OpenIndex(slot, st().CatalogHeader, st().CatalogName, 0);
    EXPECT_GE(h, 0);
    platform::KeyEntry k;
    for (int rc = st().indexLibrary().GetFirst(h, &k); rc == platform::kKeyOk; rc = st().indexLibrary().GetNext(h, &k))
      out.emplace_back(k.key, k.entry);
    st().IndexClose(h);
    return out;
  }
  bool HasKey(int slot, const std::string& key, int entry) {
    for (const auto& [k, e] : Keys(slot))
      if (k == key && e == entry) return true;
    return false;
  }
};

}  // namespace kelvarin::test_support
