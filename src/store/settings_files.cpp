// QAV.INI and the report format files.
#include <string>

#include "platform/files/file_system.h"
#include "platform/files/runtime_errors.h"
#include "platform/profile.h"
#include "store/formats.h"
#include "store/pooled_file.h"
#include "store/store.h"

namespace kelvarin::store {

using platform::FileAccess;
using platform::FileCreate;

namespace {

// Writes one key of QAV.INI; a failure is told.
bool WriteIni(Store& store, const char* section, const char* key, const std::string& value) {
  int error = platform::WriteProfileString(store.fileSystem(), section, key, value, store.IniPath());
  if (error != 0) store.TellWriteFailure(error, store.IniPath());
  return error == 0;
}

}  // namespace

bool Store::WriteSearchMode(int16_t value) { return WriteIni(*this, "Search", "SearchMode", std::to_string(value)); }

int16_t Store::ReadSearchMode() const {
  return static_cast<int16_t>(
      platform::GetPrivateProfileInt(fileSystem(), "Search", "SearchMode", smAlpha, IniPath()));
}

int16_t Store::ReadReportDest() const {
  return static_cast<int16_t>(platform::GetPrivateProfileInt(fileSystem(), "Reports", "ReportDest", 0, IniPath()));
}

bool Store::WriteReportDest(int16_t dest) { return WriteIni(*this, "Reports", "ReportDest", std::to_string(dest)); }

std::string Store::ReadCurrentDB() const {
  return platform::GetPrivateProfileString(fileSystem(), "Database", "CurrentDB", "", IniPath());
}

bool Store::WriteCurrentDB(const std::string& catalogName) {
  // Only a name the next start-up will accept is stored; "" names none.
  if (!catalogName.empty() && !CheckFileName(catalogName, "catalog")) return false;
  return WriteIni(*this, "Database", "CurrentDB", catalogName);
}

bool Store::ReadReportFormat(const std::string& name, ReportLayout& layout, ReportHeader& header) {
  std::string path;
  if (!CheckFileName(name, "report format") || ReportFormatPath(name, &path) != 0) return false;
  PooledFile f(files_, path, FileAccess::Read, FileCreate::OpenExisting);
  if (f.error() != 0 || !f.file()) return false;
  // Bytes past the end of a short file read as zeros, as records beyond the
  // end of a random-access file do: a missing column record then fails on
  // its LinesPerEntry of 0, a missing header reads as ShowTitles 0.
  uint8_t bytes[kFmtFileSize] = {};
  size_t got = 0;
  if (f.file()->Read(0, bytes, sizeof bytes, &got) != 0 || got == 0) return false;
  for (int i = 0; i < kReportColumns; ++i) {
    ReportColumn& c = layout[static_cast<size_t>(i)];
    DecodeReportColumn(bytes + kFmtRecordSize * static_cast<size_t>(i), &c);
    if (c.LinesPerEntry < 1 || c.LinesPerEntry > 21) return false;
  }
  DecodeReportHeader(bytes + kFmtRecordSize * kReportColumns, &header);
  return true;
}

bool Store::WriteReportFormat(const std::string& name, ReportLayout& layout, const ReportHeader& header) {
  if (!CheckFileName(name, "report format")) return false;
  for (auto& c : layout) c.LinesPerEntry = layout[0].LinesPerEntry;
  uint8_t bytes[kFmtFileSize];
  for (int i = 0; i < kReportColumns; ++i)
    EncodeReportColumn(layout[static_cast<size_t>(i)], bytes + kFmtRecordSize * static_cast<size_t>(i));
  EncodeReportHeader(header, bytes + kFmtRecordSize * kReportColumns);
  std::string path;
  int error = ReportFormatPath(name, &path);
  if (error == 0)
    error = platform::WriteFileAtomic(fileSystem(), path,
                                      std::string_view(reinterpret_cast<const char*>(bytes), sizeof bytes));
  if (error != 0) {
    TellWriteFailure(error, path);
    return false;
  }
  return true;
}

void Store::ClampReportWidths(ReportLayout& layout) const {
  for (int i = 0; i < kFieldCount; ++i) {
    int16_t len = CatalogHeader.FieldLength[static_cast<size_t>(i)];
    ReportColumn& c = layout[static_cast<size_t>(i)];
    if (c.Width > len) c.Width = len;
  }
}

}  // namespace kelvarin::store
