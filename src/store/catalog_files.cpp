// Catalog definition and settings files; opening and closing a catalog.
#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/files/file_system.h"
#include "platform/files/runtime_errors.h"
#include "platform/files/file_names.h"
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
  RemoveLeftovers();
  // The name may come from QAV.INI or a listing: it must not lead outside
  // the data directory.
  if (!name.empty() && !CheckFileName(name, "catalog")) return false;
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
  if (int error = files_.Get(number)->Size(&size)) {
    files_.Close(number);
    ShowFileError(error, CatalogPath(name, ".DAT"));
    return false;
  }
  KeepWholeEntries(name, size, cat.Header);
  DatFile = number;
  CatalogName = name;
  CatalogHeader = cat.Header;
  FieldDefs = cat.FieldDefs;
  Formulas = cat.Formulas;
  CurrentSettings = cat.Settings;
  CaseSensitive = cat.Settings.IgnoreCase == 0;
  CurrentReport = cat.Settings.ReportName;
  // A damaged settings file must not name a format outside AppDir.
  if (!CurrentReport.empty() && !CheckFileName(CurrentReport, "report format")) CurrentReport.clear();
  DropReadAhead();
  return true;
}

void Store::CloseCatalog() {
  // Each write tells its own failure; the catalog is closed all the same.
  if (DatFile != 0 && files_.IsOpen(DatFile)) {
    platform::RandomAccessFile* dat = files_.Get(DatFile);
    if (WriteDatHeader(CatalogHeader, DatFile))
      if (int error = dat->Flush()) TellWriteFailure(error, dat->Path());
    files_.Close(DatFile);
  }
  DatFile = 0;
  DropReadAhead();
  if (!CatalogName.empty()) WriteCatalogSettings(CatalogName, CurrentSettings);
  CatalogName.clear();
}

bool Store::RewriteSetFile(const std::string& path, size_t offset, const uint8_t* bytes, size_t len) {
  platform::FileSystem& fs = fileSystem();
  std::string content;
  int error = platform::ReadWholeFile(fs, path, &content);
  if (error == platform::kErrFileNotFound) error = 0;
  if (error == 0) {
    if (content.size() < offset + len) content.resize(offset + len, '\0');
    std::memcpy(content.data() + offset, bytes, len);
    error = platform::WriteFileAtomic(fs, path, content);
  }
  if (error != 0) {
    TellWriteFailure(error, path);
    return false;
  }
  return true;
}

bool Store::WriteCatalogSettings(const std::string& catalogName, const CatalogSettings& settings) {
  // Without a name the file would be a stray "DataDir/.SET".
  if (catalogName.empty() || !CheckFileName(catalogName, "catalog")) return false;
  CatalogSettings s = settings;
  s.ReportName = CurrentReport;
  s.IgnoreCase = CaseSensitive ? 0 : 1;
  uint8_t bytes[kSettingsSize];
  EncodeSettings(s, bytes);
  return RewriteSetFile(CatalogPath(catalogName, ".SET"), kSettingsOffset, bytes, sizeof bytes);
}

bool Store::WriteFormulas(const std::string& catalogName, const FormulaTable& formulas) {
  if (catalogName.empty() || !CheckFileName(catalogName, "catalog")) return false;
  uint8_t bytes[kFormulaSize * kFieldCount];
  EncodeFormulas(formulas, bytes);
  return RewriteSetFile(CatalogPath(catalogName, ".SET"), kFormulasOffset, bytes, sizeof bytes);
}

bool Store::CreateDefaultDefinition(const std::string& catalogName, FieldDefTable& defs, DatHeader& header) {
  if (catalogName.empty() || !CheckFileName(catalogName, "catalog")) return false;
  DefaultDefinition(defs, header);
  uint8_t bytes[kSettingsSize];
  EncodeSettings(DefaultSettings(), bytes);
  return RewriteSetFile(CatalogPath(catalogName, ".SET"), kSettingsOffset, bytes, sizeof bytes);
}

void Store::DefaultDefinition(FieldDefTable& defs, DatHeader& header) {
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
}

bool Store::WriteCatalogDefinition(const std::string& path, const FieldDefTable& defs, const DatHeader& header) {
  if (header.RecordLength != ComputeRecordLength(header.FieldLength)) return false;
  {
    const std::string setPath = path + ".SET";
    platform::FileSystem& fs = fileSystem();
    std::string content;
    int error = platform::ReadWholeFile(fs, setPath, &content);
    if (error == platform::kErrFileNotFound) error = 0;
    if (error == 0) {
      // A settings file without its settings block gets the defaults, so
      // that it is whole.
      bool hasSettings = content.size() >= kFormulasOffset;
      if (content.size() < kSetFileSize) content.resize(kSetFileSize, '\0');
      auto* bytes = reinterpret_cast<uint8_t*>(content.data());
      EncodeFieldDefs(defs, bytes);
      if (!hasSettings) EncodeSettings(DefaultSettings(), bytes + kSettingsOffset);
      EncodeFormulas(FormulaTable{}, bytes + kFormulasOffset);
      error = platform::WriteFileAtomic(fs, setPath, content);
    }
    if (error != 0) {
      TellWriteFailure(error, setPath);
      return false;
    }
  }
  PooledFile dat(files_, path + ".DAT", FileAccess::ReadWrite, FileCreate::OpenOrCreate);
  std::vector<uint8_t> record(static_cast<size_t>(header.RecordLength), ' ');
  EncodeDatHeader(header, record.data());
  // Record 0 is the header; a file written anew is the header alone.
  int error = dat.error();
  if (error == 0) error = dat.file()->Write(0, record.data(), record.size());
  DropReadAhead();
  if (error != 0) {
    TellWriteFailure(error, path + ".DAT");
    return false;
  }
  return true;
}

void Store::RemoveLeftovers() {
  platform::FileSystem& fs = fileSystem();
  std::vector<std::string> dirs{DataDir};
  if (AppDir != DataDir) dirs.push_back(AppDir);
  for (const std::string& dir : dirs) {
    std::vector<std::string> files;
    if (fs.List(dir, &files) != 0) continue;
    auto listed = [&files](const std::string& file) {
      return std::find(files.begin(), files.end(), file) != files.end();
    };
    for (const std::string& file : files) {
      std::string stem;
      const platform::Leftover kind = platform::LeftoverKind(file, &stem);
      if (kind == platform::Leftover::None) continue;
      // The import puts its settings in place before its data: a data file
      // whose settings have gone ahead is the rest of a whole catalog.
      const std::string build = file.substr(0, file.size() - 4);
      if (kind == platform::Leftover::ImportData && !listed(build + platform::kSettingsExt) &&
          listed(stem + platform::kSettingsExt) && !listed(stem + platform::kDataExt) &&
          fs.RenameNoReplace(dir + "/" + file, dir + "/" + stem + platform::kDataExt) == 0)
        continue;
      fs.Remove(dir + "/" + file);
    }
  }
}

bool Store::BeginNewCatalog(const std::string& name, std::string* buildPath) {
  if (!CheckFileName(name, "catalog")) return false;
  std::unique_ptr<platform::RandomAccessFile> file;
  std::string dat;
  const std::string prefix = platform::ImportTempPrefix(DataDir, name);
  if (int error = platform::CreateUniqueFile(fileSystem(), prefix, platform::kDataExt, &file, &dat)) {
    TellWriteFailure(error, prefix);
    return false;
  }
  *buildPath = dat.substr(0, dat.size() - 4);
  return true;
}

bool Store::FinishNewCatalog(const std::string& buildPath, const std::string& name) {
  platform::FileSystem& fs = fileSystem();
  const std::string set = CatalogPath(name, platform::kSettingsExt), dat = CatalogPath(name, platform::kDataExt);
  std::string at = set;
  int error = fs.RenameNoReplace(buildPath + platform::kSettingsExt, set);
  if (error == 0) {
    at = dat;
    // The data file last: only then is it a catalog.
    if ((error = fs.RenameNoReplace(buildPath + platform::kDataExt, dat)) != 0) fs.Remove(set);
  }
  if (error != 0) {
    TellWriteFailure(error, at);
    DiscardNewCatalog(buildPath);
    return false;
  }
  // The catalog stands; that it may not outlast a power failure is told.
  if ((error = fs.SyncDirectory(DataDir)) != 0) TellWriteFailure(error, dat);
  return true;
}

void Store::DiscardNewCatalog(const std::string& buildPath) {
  fileSystem().Remove(buildPath + platform::kSettingsExt);
  fileSystem().Remove(buildPath + platform::kDataExt);
}

}  // namespace kelvarin::store
