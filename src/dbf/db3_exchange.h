// The dBase III exchange of catalogs: the export of a run's matches as the
// records of a new DBF file, and the import of a DBF file as a new catalog.
// Everything goes through the DBF engine; every engine error is shown in a
// box whose text is the engine's error text (Db3ErrorMsg) followed directly
// by a phrase naming the step.
//
// Export, as a run uses it:
//   std::string name = db3.AskDb3ExportName();          // "" = stop the run
//   int16_t handle = 0, columns = 0;
//   if (db3.CreateDb3Export(appDir + "/" + name + ".DBF", handle, columns)) {
//     db3.WriteDb3Entry(entry, handle, columns);         // per match
//     db3.CloseDb3File(handle);
//   }
// Import: db3.ImportDb3Catalog(dbfPath, catalogName).
//
// One column per used catalog field, in slot order, type C, the field's
// length, named by MakeDb3FieldName. An imported catalog takes the first 20
// DBF fields as plain fields of the DBF's lengths (the rest of the 21 slots
// unused, named "LINE n") and one active entry per record, deleted records
// included; texts are the record's bytes, dates reformatted by the engine's
// DateFormat ("mm/dd/yy" unless configured).
//
// Text in DBF files is the ANSI code page, as the catalog texts in memory;
// the store converts to and from the catalog files' OEM code page.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "dbf/dbf_engine.h"
#include "platform/host.h"
#include "store/store.h"

namespace kelvarin::dbf {

class Db3Exchange {
 public:
  // fieldTotals: the runs' running totals, which the export adds to.
  Db3Exchange(platform::Host& host, store::Store& store, DbfEngine& engine,
              std::array<float, store::kFieldCount>& fieldTotals);
  Db3Exchange(const Db3Exchange&) = delete;
  Db3Exchange& operator=(const Db3Exchange&) = delete;

  // The text DbfErrorText made of the last engine error.
  std::string Db3ErrorMsg;
  // The record number of the last record appended: in a file the export
  // made, the number of records written so far. 0 after a new export file
  // is created.
  int32_t Db3RecordsWritten = 0;

  // ---- export ---------------------------------------------------------------
  // Asks for the file name (letters and digits; .DBF in AppDir follows) and,
  // when that file exists, whether to overwrite it. "" when the user
  // cancelled or declined.
  std::string AskDb3ExportName();
  // Creates (or replaces) the export file with one C column per used field.
  // False after the failure has been shown: then no file is left behind and
  // handle is -1.
  bool CreateDb3Export(const std::string& path, int16_t& handle, int16_t& fieldCount);
  // DbfCreate with request 6 (create or replace, header held until the
  // close). A failure is shown; the partly made file is closed and removed
  // and handle is -1.
  bool CreateDb3File(const std::string& path, const DbfFieldDefs& fieldDefs, int16_t& handle);
  // Trailing blanks off, at most 10 characters, a-z upper-cased, A-Z and
  // 0-9 kept, anything else "_". Names are not made unique.
  static void MakeDb3FieldName(std::string& name);
  // Appends the entry as one record: each used slot's text, or its computed
  // value for a computed field; summed fields add into the totals. A failed
  // append is shown and the run goes on.
  void WriteDb3Entry(const store::EntryRecord& entry, int16_t handle, int16_t fieldCount);
  // Closes an export or import file; a failure is shown.
  void CloseDb3File(int16_t handle);

  // ---- import ---------------------------------------------------------------
  // The caller has made sure no catalog catalogName exists in DataDir. A file
  // the engine cannot open makes no catalog (after the error box).
  void ImportDb3Catalog(const std::string& dbfPath, const std::string& catalogName);
  // Opens the file for reading with its header held and fills the field
  // list (rows 0..n). A failure of any step is shown and the next step is
  // taken; false when the file could not be opened at all. A record count
  // below zero is told and taken as 0; one above the whole records the file
  // holds is told and cut to them.
  bool OpenDb3Import(const std::string& path, int16_t& handle, DbfFieldDefs& fieldDefs,
                     int32_t& recordCount);
  // Reads record recNo and splits it into values(1..FieldCount), values(0)
  // being the whole record; an 8-character date is reformatted through a
  // compiled date-format expression. On a failure err holds its code and
  // values from the failing field on are empty; fieldNo is the field count
  // after success.
  void DbfReadRecordFields(int16_t handle, int16_t& err, int16_t& fieldNo,
                           std::vector<std::string>& values, int32_t recNo);

  // The compiled expression that formats the eight-character date v by the
  // engine's DateFormat over the file of handle.
  std::string DateConversionExpression(int16_t handle, const std::string& v) const;

 private:
  void ShowEngineError(int16_t err, const std::string& phrase);

  platform::Host& host_;
  store::Store& store_;
  DbfEngine& engine_;
  std::array<float, store::kFieldCount>& fieldTotals_;
  // The path each open export file was created under, for the write
  // failure's message.
  std::map<int16_t, std::string> exportPaths_;
  std::vector<std::string> values_;  // reused by WriteDb3Entry
  std::string record_;               // reused by DbfReadRecordFields
};

}  // namespace kelvarin::dbf
