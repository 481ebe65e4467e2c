// Catalog definition and settings files; opening and closing a catalog.
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/files/runtime_errors.h"
#include "store/formats.h"
#include "store/pooled_file.h"
#include "store/store.h"

namespace kelvarin::store {
namespace {

using platform::FileAccess;
using platform::FileCreate;

// A new catalog's settings: the report and Quick View defaults, everything
// else 0 or empty. IgnoreCase 0 makes a new catalog's searches respect case.
CatalogSettings DefaultSettings() {
  CatalogSettings s;
  s.ReportName.clear();
  s.IgnoreCase = 0;
  return s;
}

}  // namespace

bool Store::ReadCatalogFiles(const std::string& path, CatalogFiles* out, std::string* fault) const {
  CatalogFiles files;
  {
    PooledFile set(files_, path + ".SET", FileAccess::Read, FileCreate::OpenExisting);
    if (set.error() != 0) {
      *fault = std::string("its settings file cannot be read (") + platform::RuntimeErrorText(set.error()) + ")";
      return false;
    }
    uint8_t bytes[kSetFileSize];
    if (!set.ReadExact(0, bytes, sizeof bytes)) {
      *fault = "its settings file is too short";
      return false;
    }
    DecodeFieldDefs(bytes, &files.FieldDefs);
    DecodeSettings(bytes + kSettingsOffset, &files.Settings);
    ClampSettings(&files.Settings);
    DecodeFormulas(bytes + kFormulasOffset, &files.Formulas);
  }
  PooledFile dat(files_, path + ".DAT", FileAccess::Read, FileCreate::OpenExisting);
  if (dat.error() != 0) {
    *fault = std::string("its data file cannot be read (") + platform::RuntimeErrorText(dat.error()) + ")";
    return false;
  }
  uint8_t header[kDatHeaderSize];
  if (!dat.ReadExact(0, header, sizeof header)) {
    *fault = "its data file is too short";
    return false;
  }
  std::string why;
  if (!DecodeDatHeader(header, &files.Header, &why)) {
    *fault = "its data file is damaged: " + why;
    return false;
  }
  *out = std::move(files);
  return true;
}

bool Store::OpenCatalog(const std::string& name) {
  CloseCatalog();
  CatalogFiles cat;
  std::string fault;
  if (name.empty() || !ReadCatalogFiles(CatalogPath(name, ""), &cat, &fault)) {
    if (name.empty()) fault = "no catalog was named";
    host_.MsgBox("The catalog " + name + " cannot be opened: " + fault + ".", platform::MsgButtons::OK,
                 platform::MsgIcon::Exclamation);
    return false;
  }
  int16_t number = OpenFileChecked(CatalogPath(name, ".DAT"), 5, cat.Header.RecordLength, 0);
  if (number == 0) return false;
  // A data file cut short keeps only its whole entries.
  int64_t size = 0;
  files_.Get(number)->Size(&size);
  int64_t whole = size / cat.Header.RecordLength - 1;
  if (whole < static_cast<int64_t>(cat.Header.EntryCount)) {
    host_.MsgBox("The data file of catalog " + name + " is shorter than its entry count; only its " +
                     std::to_string(whole < 0 ? 0 : whole) + " complete entries are kept.",
                 platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
    cat.Header.EntryCount = static_cast<float>(whole < 0 ? 0 : whole);
  }
  DatFile = number;
  CatalogName = name;
  CatalogHeader = cat.Header;
  FieldDefs = cat.FieldDefs;
  Formulas = cat.Formulas;
  CurrentSettings = cat.Settings;
  CaseSensitive = cat.Settings.IgnoreCase == 0;
  CurrentReport = cat.Settings.ReportName;
  DropReadAhead();
  return true;
}

void Store::CloseCatalog() {
  if (DatFile != 0 && files_.IsOpen(DatFile)) {
    WriteDatHeader(CatalogHeader, DatFile);
    files_.Close(DatFile);
  }
  DatFile = 0;
  DropReadAhead();
  if (!CatalogName.empty()) WriteCatalogSettings(CatalogName, CurrentSettings);
  CatalogName.clear();
}

bool Store::WriteCatalogSettings(const std::string& catalogName, const CatalogSettings& settings) {
  // Without a name the file would be a stray "DataDir/.SET".
  if (catalogName.empty()) return false;
  CatalogSettings s = settings;
  s.ReportName = CurrentReport;
  s.IgnoreCase = CaseSensitive ? 0 : 1;
  uint8_t bytes[kSettingsSize];
  EncodeSettings(s, bytes);
  PooledFile f(files_, CatalogPath(catalogName, ".SET"), FileAccess::ReadWrite, FileCreate::OpenOrCreate);
  return f.Write(static_cast<int64_t>(kSettingsOffset), bytes, sizeof bytes);
}

bool Store::WriteFormulas(const std::string& catalogName, const FormulaTable& formulas) {
  if (catalogName.empty()) return false;
  uint8_t bytes[kFormulaSize * kFieldCount];
  EncodeFormulas(formulas, bytes);
  PooledFile f(files_, CatalogPath(catalogName, ".SET"), FileAccess::ReadWrite, FileCreate::OpenOrCreate);
  return f.Write(static_cast<int64_t>(kFormulasOffset), bytes, sizeof bytes);
}

bool Store::CreateDefaultDefinition(const std::string& catalogName, FieldDefTable& defs, DatHeader& header) {
  if (catalogName.empty()) return false;
  for (int i = 0; i < kFieldCount; ++i) {
    FieldDef& d = defs[static_cast<size_t>(i)];
    d.FieldName = "Line " + std::to_string(i + 1);
    d.FieldName.resize(kFieldNameLength, ' ');
    d.FieldKind = KindPlain;
    header.FieldLength[static_cast<size_t>(i)] = 0;
  }
  header.EntryCount = 0;
  header.RecordLength = static_cast<int16_t>(ComputeRecordLength(header.FieldLength));
  header.Reserved = "      ";
  uint8_t bytes[kSettingsSize];
  EncodeSettings(DefaultSettings(), bytes);
  PooledFile f(files_, CatalogPath(catalogName, ".SET"), FileAccess::ReadWrite, FileCreate::OpenOrCreate);
  return f.Write(static_cast<int64_t>(kSettingsOffset), bytes, sizeof bytes);
}

bool Store::WriteCatalogDefinition(const std::string& path, const FieldDefTable& defs, const DatHeader& header) {
  if (header.RecordLength != ComputeRecordLength(header.FieldLength)) return false;
  {
    PooledFile set(files_, path + ".SET", FileAccess::ReadWrite, FileCreate::OpenOrCreate);
    if (set.error() != 0) return false;
    uint8_t bytes[kSetFileSize];
    EncodeFieldDefs(defs, bytes);
    // A settings file without its settings block gets the defaults, so
    // that it is whole.
    bool hasSettings = set.Size() >= static_cast<int64_t>(kFormulasOffset);
    EncodeSettings(DefaultSettings(), bytes + kSettingsOffset);
    EncodeFormulas(FormulaTable{}, bytes + kFormulasOffset);
    if (!set.Write(0, bytes, kFieldDefsSize)) return false;
    if (!hasSettings && !set.Write(kSettingsOffset, bytes + kSettingsOffset, kSettingsSize)) return false;
    if (!set.Write(kFormulasOffset, bytes + kFormulasOffset, kFormulaSize * kFieldCount)) return false;
  }
  PooledFile dat(files_, path + ".DAT", FileAccess::ReadWrite, FileCreate::OpenOrCreate);
  if (dat.error() != 0) return false;
  std::vector<uint8_t> record(static_cast<size_t>(header.RecordLength), ' ');
  EncodeDatHeader(header, record.data());
  // Record 0 is the header; a file written anew is the header alone.
  if (!dat.Write(0, record.data(), record.size())) return false;
  DropReadAhead();
  return true;
}

}  // namespace kelvarin::store
