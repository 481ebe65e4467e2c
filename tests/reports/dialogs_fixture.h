// What the dialog tests share: a scripted host, a store over a temporary
// application directory with a catalog defined in memory, and the report
// state. Files the dialogs write (QAV.INI, NAME.SET) land in the directory.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/files/file_pool.h"
#include "platform/profile.h"
#include "platform/scripted/scripted_host.h"
#include "reports/report_state.h"
#include "store/formats.h"
#include "store/store.h"
#include "support/scripted_expect.h"

namespace kelvarin::test_support {

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() {
    std::random_device rd;
    dir_ = std::filesystem::temp_directory_path() / ("kv_dialogs_" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(dir_);
    store.SetAppDir(dir_.string());
    store.MeasureFonts();
    store.CatalogName = "BOOKS";
    store.CurrentReport = "LIST";
  }
  ~DialogTest() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  // Defines field slot `slot` of the open catalog in memory.
  void Field(int slot, const std::string& name, int16_t length, int16_t kind = store::KindPlain) {
    std::string padded = name;
    padded.resize(store::kFieldNameLength, ' ');
    store.FieldDefs[static_cast<size_t>(slot)] = store::FieldDef{padded, kind};
    store.CatalogHeader.FieldLength[static_cast<size_t>(slot)] = length;
  }
  static std::string Padded(const std::string& name) {
    std::string s = name;
    s.resize(store::kFieldNameLength, ' ');
    return s;
  }

  static reports::CriteriaList List(const std::vector<reports::CriteriaItem>& items) {
    reports::CriteriaList list;
    for (const auto& item : items) list.Items[static_cast<size_t>(list.Count++)] = item;
    return list;
  }
  static std::vector<reports::CriteriaItem> Items(const reports::CriteriaList& list) {
    return {list.Items.begin(), list.Items.begin() + list.Count};
  }

  std::string Path(const std::string& file) const { return (dir_ / file).string(); }
  bool Exists(const std::string& file) const { return std::filesystem::exists(dir_ / file); }
  int IniInt(const std::string& section, const std::string& key) const {
    return platform::GetPrivateProfileInt(section, key, -99, store.IniPath());
  }
  // The settings block of a catalog's settings file as stored; nullopt when
  // the file is missing or short.
  std::optional<store::CatalogSettings> SavedSettings(const std::string& catalog) const {
    std::ifstream in(Path(catalog + ".SET"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < store::kSettingsOffset + store::kSettingsSize) return std::nullopt;
    store::CatalogSettings s;
    store::DecodeSettings(reinterpret_cast<const uint8_t*>(bytes.data()) + store::kSettingsOffset, &s);
    return s;
  }

  platform::ScriptedHost host;
  ScriptedExpect expect{host};
  platform::FilePool files;
  store::Store store{host, files};
  reports::ReportState state;

 private:
  std::filesystem::path dir_;
};

}  // namespace kelvarin::test_support

namespace kelvarin::reports {
inline bool operator==(const CriteriaItem& a, const CriteriaItem& b) {
  return a.FieldIndex == b.FieldIndex && a.Text == b.Text;
}
inline void PrintTo(const CriteriaItem& item, std::ostream* os) {
  *os << "{" << item.FieldIndex << ", \"" << item.Text << "\"}";
}
}  // namespace kelvarin::reports
