#include "support/catalog_builder.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "platform/text/codepage.h"
#include "store/formats.h"

namespace kelvarin::test_support {

using namespace kelvarin::store;

TempDir::TempDir(const std::string& tag) {
  static std::atomic<int> counter{0};
  auto p = std::filesystem::temp_directory_path() /
           ("kv_" + tag + "_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
  std::filesystem::remove_all(p);
  std::filesystem::create_directories(p);
  path_ = p.string();
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

CatalogBuilder::CatalogBuilder(std::string dataDir, std::string name)
    : dataDir_(std::move(dataDir)), name_(std::move(name)) {
  for (int i = 0; i < kFieldCount; ++i) {
    defs_[static_cast<size_t>(i)].FieldName = "Line " + std::to_string(i + 1);
    defs_[static_cast<size_t>(i)].FieldName.resize(kFieldNameLength, ' ');
  }
  UpdateHeader();
}

void CatalogBuilder::UpdateHeader() {
  header_.RecordLength = static_cast<int16_t>(ComputeRecordLength(header_.FieldLength));
  header_.EntryCount = static_cast<float>(entries_.size());
}

CatalogBuilder& CatalogBuilder::Field(int slot, const std::string& name, int length, int16_t kind) {
  FieldDef& d = defs_.at(static_cast<size_t>(slot));
  d.FieldName = name.substr(0, kFieldNameLength);
  d.FieldName.resize(kFieldNameLength, ' ');
  d.FieldKind = kind;
  header_.FieldLength[static_cast<size_t>(slot)] = static_cast<int16_t>(length);
  UpdateHeader();
  return *this;
}

CatalogBuilder& CatalogBuilder::Formula(int slot, int field1, int16_t op, int field2) {
  formulas_.at(static_cast<size_t>(slot)) = {static_cast<int16_t>(field1), static_cast<int16_t>(field2), op, 1};
  return *this;
}

float CatalogBuilder::Entry(const std::vector<std::string>& texts, float status) {
  EntryRecord e;
  e.Status = status;
  for (int i = 0; i < kFieldCount; ++i) {
    size_t len = static_cast<size_t>(header_.FieldLength[static_cast<size_t>(i)]);
    std::string t = static_cast<size_t>(i) < texts.size() ? texts[static_cast<size_t>(i)] : "";
    t = t.substr(0, len);
    t.resize(len, ' ');
    e.FieldText[static_cast<size_t>(i)] = t;
  }
  entries_.push_back(e);
  UpdateHeader();
  return static_cast<float>(entries_.size());
}

CatalogBuilder& CatalogBuilder::Memo(float entryNumber, const std::string& text) {
  memos_.push_back(text);
  entries_.at(static_cast<size_t>(entryNumber) - 1).MemoNumber = static_cast<float>(memos_.size());
  return *this;
}

CatalogBuilder& CatalogBuilder::SortChain(const std::vector<float>& order) {
  for (size_t i = 0; i < order.size(); ++i) {
    EntryRecord& e = entries_.at(static_cast<size_t>(order[i]) - 1);
    e.PrevLink = i == 0 ? order[i] : order[i - 1];
    e.NextLink = i + 1 == order.size() ? order[i] : order[i + 1];
  }
  if (!order.empty()) {
    settings_.Sorted = 1.0f;
    settings_.SortHead = order.front();
    settings_.SortTail = order.back();
  }
  return *this;
}

CatalogBuilder& CatalogBuilder::Settings(const std::function<void(CatalogSettings&)>& change) {
  change(settings_);
  return *this;
}

bool CatalogBuilder::Write() const {
  std::string set(kSetFileSize, '\0');
  auto* s = reinterpret_cast<uint8_t*>(set.data());
  EncodeFieldDefs(defs_, s);
  EncodeSettings(settings_, s + kSettingsOffset);
  EncodeFormulas(formulas_, s + kFormulasOffset);
  if (!WriteFileBytes(path(".SET"), set)) return false;

  size_t len = static_cast<size_t>(header_.RecordLength);
  std::string dat((entries_.size() + 1) * len, ' ');
  auto* d = reinterpret_cast<uint8_t*>(dat.data());
  EncodeDatHeader(header_, d);
  for (size_t i = 0; i < entries_.size(); ++i) EncodeEntry(entries_[i], header_, d + (i + 1) * len);
  if (!WriteFileBytes(path(".DAT"), dat)) return false;

  if (!memos_.empty()) {
    std::string mem;
    for (const auto& m : memos_) {
      std::string slot = m.substr(0, kMemoLength);
      slot.resize(kMemoLength, ' ');
      mem += slot;
    }
    platform::AnsiToOemInPlace(mem);
    if (!WriteFileBytes(path(".MEM"), mem)) return false;
  }
  return true;
}

bool WriteReportFormatFile(const std::string& dir, const std::string& name, const ReportLayout& layout,
                           const ReportHeader& header) {
  std::string bytes(kFmtFileSize, '\0');
  auto* p = reinterpret_cast<uint8_t*>(bytes.data());
  for (size_t i = 0; i < kReportColumns; ++i) EncodeReportColumn(layout[i], p + i * kFmtRecordSize);
  EncodeReportHeader(header, p + kReportColumns * kFmtRecordSize);
  return WriteFileBytes(dir + "/" + name + ".FMT", bytes);
}

ReportLayout LinedLayout(const std::vector<std::pair<int, int>>& slotAndWidth) {
  ReportLayout layout{};
  int16_t lines = static_cast<int16_t>(slotAndWidth.empty() ? 1 : slotAndWidth.size());
  for (auto& c : layout) c.LinesPerEntry = lines;
  int16_t line = 1;
  for (auto [slot, width] : slotAndWidth) {
    ReportColumn& c = layout.at(static_cast<size_t>(slot));
    c.Width = static_cast<int16_t>(width);
    c.Line = line++;
    c.Column = 1;
  }
  return layout;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace kelvarin::test_support
