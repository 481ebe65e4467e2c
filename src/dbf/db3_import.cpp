// The import of a dBase III file as a new catalog.
#include <algorithm>

#include "dbf/db3_exchange.h"
#include "dbf/dbf_number_text.h"
#include "platform/files/runtime_errors.h"

namespace kelvarin::dbf {
namespace {

constexpr int kMaxImportedFields = 20;
// Record number out of range: what a header that counts below zero is told as.
constexpr int16_t kErrRecordCount = 113;

// A whole number as the classic Str wrote it: a blank before one of zero or
// more, the minus sign before a negative one.
std::string Str(int64_t n) { return (n >= 0 ? " " : "") + std::to_string(n); }

int16_t FieldNumber(const std::string& text) {
  int16_t n = 0;
  return LeadingInt16(text, n) ? n : int16_t{0};
}

}  // namespace

bool Db3Exchange::OpenDb3Import(const std::string& path, int16_t& handle, DbfFieldDefs& fieldDefs,
                                int32_t& recordCount) {
  int16_t err = 0, fileType = kFileTypeDbase3;
  recordCount = 0;
  std::string name = path;
  // Read only: a file on read-only media imports as well as any other.
  engine_.DbfOpen(handle, err, name, fileType, static_cast<int16_t>(kOpenExisting | kHoldHeaderFlag | kReadOnlyFlag));
  if (err != 0) {
    ShowEngineError(err, "When Opening DBaseIII File: " + path);
    fieldDefs.assign(1, {});
    fieldDefs[0][0] = "0";
    return false;
  }

  bool memo = false;
  std::string lastUpdate;
  int16_t fieldCount = 0, recordLength = 0;
  engine_.DbfFileInfo(handle, err, fileType, memo, lastUpdate, recordCount, fieldCount, recordLength);
  if (err != 0) ShowEngineError(err, "When Reading Header ofDBaseIII File: " + path);
  if (recordCount < 0) {
    // The four count bytes read as a negative number: no catalog could hold
    // that many entries, so none are taken.
    ShowEngineError(kErrRecordCount, "When Reading Header ofDBaseIII File: " + path);
    recordCount = 0;
  }

  fieldDefs.assign(static_cast<size_t>(std::max<int16_t>(fieldCount, 0)) + 1, {});
  fieldDefs[0][0] = std::to_string(fieldCount);
  for (int16_t i = 1; i <= fieldCount; ++i) {
    std::string fieldName, type;
    int16_t fieldNo = i, length = 0, decimals = 0;
    engine_.DbfFieldInfo(handle, err, fieldNo, fieldName, type, length, decimals);
    if (err != 0) ShowEngineError(err, "When Reading Header of DBaseIII File: " + path);
    auto& row = fieldDefs[static_cast<size_t>(i)];
    row[1] = "0";
    row[2] = std::to_string(length);
    row[3] = type;
    row[4] = fieldName;
  }
  return true;
}

void Db3Exchange::ImportDb3Catalog(const std::string& dbfPath, const std::string& catalogName) {
  DbfFieldDefs defs;
  store::FieldDefTable fieldDefs;
  store::DatHeader header;
  store_.MousePointerHourglass();

  int16_t handle = 0;
  int32_t recordCount = 0;
  if (!OpenDb3Import(dbfPath, handle, defs, recordCount)) {
    // Nothing known of the file: no catalog is made of it.
    store_.MousePointerDefault();
    return;
  }
  host_.MsgBox("DBASE contains" + Str(recordCount) + " Records");

  const int n = FieldNumber(defs[0][0]);
  const int m = std::clamp(n, 0, kMaxImportedFields);
  store_.CreateDefaultDefinition(catalogName, fieldDefs, header);
  header.EntryCount = static_cast<float>(recordCount);
  for (int i = 0; i < store::kFieldCount; ++i) {
    store::FieldDef& def = fieldDefs[static_cast<size_t>(i)];
    int16_t length = 0;
    if (i < m) {
      const auto& row = defs[static_cast<size_t>(i + 1)];
      def.FieldName = row[4];
      length = FieldNumber(row[2]);
    } else {
      def.FieldName = "LINE" + Str(i + 1);
    }
    def.FieldName.resize(store::kFieldNameLength, ' ');
    def.FieldKind = store::KindPlain;
    header.FieldLength[static_cast<size_t>(i)] = length;
  }
  header.RecordLength = static_cast<int16_t>(store::ComputeRecordLength(header.FieldLength));

  const std::string base = store_.DataDir + "/" + catalogName;
  int16_t dat = 0;
  bool written = store_.WriteCatalogDefinition(base, fieldDefs, header);
  while (!written && store_.ShowFileError(platform::kErrPathFileAccess, base + ".SET"))
    written = store_.WriteCatalogDefinition(base, fieldDefs, header);
  if (written) dat = store_.OpenFileChecked(base + ".DAT", 5, header.RecordLength, 0);

  std::vector<std::string> values;
  store::EntryRecord entry;
  for (int32_t r = 1; dat != 0 && r <= recordCount; ++r) {
    int16_t err = 0, count = 0;
    values.clear();
    DbfReadRecordFields(handle, err, count, values, r);
    if (err != 0) ShowEngineError(err, " When Reading DBaseIII File: " + dbfPath);
    entry = store::EntryRecord{};
    for (int i = 0; i < m; ++i) {
      const auto at = static_cast<size_t>(i + 1);
      std::string& text = entry.FieldText[static_cast<size_t>(i)];
      if (at < values.size()) text = std::move(values[at]);
      // The entry writer takes each text at exactly its field's length.
      text.resize(static_cast<size_t>(header.FieldLength[static_cast<size_t>(i)]), ' ');
    }
    // A data file that cannot be written has been told about once.
    if (!store_.WriteEntry(entry, header, static_cast<float>(r), dat)) break;
  }
  if (dat != 0) store_.files().Close(dat);
  CloseDb3File(handle);
  store_.MousePointerDefault();
}

}  // namespace kelvarin::dbf
