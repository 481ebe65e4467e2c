// QAV.INI and the report format files.
#include <string>

#include "platform/profile.h"
#include "store/formats.h"
#include "store/pooled_file.h"
#include "store/store.h"

namespace kelvarin::store {

using platform::FileAccess;
using platform::FileCreate;

void Store::WriteSearchMode(int16_t value) {
  platform::WritePrivateProfileString("Search", "SearchMode", std::to_string(value), IniPath());
}

int16_t Store::ReadSearchMode() const {
  return static_cast<int16_t>(platform::GetPrivateProfileInt("Search", "SearchMode", smAlpha, IniPath()));
}

int16_t Store::ReadReportDest() const {
  return static_cast<int16_t>(platform::GetPrivateProfileInt("Reports", "ReportDest", 0, IniPath()));
}

void Store::WriteReportDest(int16_t dest) {
  platform::WritePrivateProfileString("Reports", "ReportDest", std::to_string(dest), IniPath());
}

std::string Store::ReadCurrentDB() const {
  return platform::GetPrivateProfileString("Database", "CurrentDB", "", IniPath());
}

void Store::WriteCurrentDB(const std::string& catalogName) {
  platform::WritePrivateProfileString("Database", "CurrentDB", catalogName, IniPath());
}

bool Store::ReadReportFormat(const std::string& name, ReportLayout& layout, ReportHeader& header) {
  PooledFile f(files_, ReportFormatPath(name), FileAccess::Read, FileCreate::OpenExisting);
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
  for (auto& c : layout) c.LinesPerEntry = layout[0].LinesPerEntry;
  uint8_t bytes[kFmtFileSize];
  for (int i = 0; i < kReportColumns; ++i)
    EncodeReportColumn(layout[static_cast<size_t>(i)], bytes + kFmtRecordSize * static_cast<size_t>(i));
  EncodeReportHeader(header, bytes + kFmtRecordSize * kReportColumns);
  PooledFile f(files_, ReportFormatPath(name), FileAccess::Write, FileCreate::CreateOrTruncate);
  return f.Write(0, bytes, sizeof bytes);
}

void Store::ClampReportWidths(ReportLayout& layout) const {
  for (int i = 0; i < kFieldCount; ++i) {
    int16_t len = CatalogHeader.FieldLength[static_cast<size_t>(i)];
    ReportColumn& c = layout[static_cast<size_t>(i)];
    if (c.Width > len) c.Width = len;
  }
}

}  // namespace kelvarin::store
