// The catalog store: the state of the open catalog that every window reads
// and changes, and the operations that read and write the catalog files, the
// settings file, the report formats and the key indexes.
//
// The application owns one Store (no process globals); a test builds a fresh
// one over its own host and file pool. State is held in public members named
// as the rest of the program knows them; the operations keep the invariants
// noted on each.
//
// Paths: AppDir and DataDir have no trailing separator; a catalog's files
// lie in DataDir, report formats and QAV.INI in AppDir, named as
// platform/files/file_names.h makes every name (Windows-1252 in memory,
// UTF-8 on disk). Every file but the key indexes goes through the pool's
// file layer (platform/files/file_system.h).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/files/file_pool.h"
#include "platform/host.h"
#include "platform/keyindex/key_index_library.h"
#include "platform/model/lists.h"
#include "store/entry_cache.h"
#include "store/gauge.h"
#include "store/types.h"

namespace kelvarin::store {

struct FontFlags {
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
};

// A catalog's definition files as read from disk (for the open catalog and
// for catalogs read for the length of one operation).
struct CatalogFiles {
  FieldDefTable FieldDefs;
  DatHeader Header;
  CatalogSettings Settings;  // clamped as on reading
  FormulaTable Formulas;
};

class Store {
 public:
  Store(platform::Host& host, platform::FilePool& files);
  ~Store();
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  platform::Host& host() const { return host_; }
  platform::FilePool& files() const { return files_; }
  // The file layer under every catalog, settings and format file.
  platform::FileSystem& fileSystem() const { return files_.fileSystem(); }
  platform::KeyIndexLibrary& indexLibrary() { return indexes_; }

  // ---- catalog state -------------------------------------------------
  std::string CatalogName;  // empty = no catalog open
  std::string AppDir;
  std::string DataDir;
  int16_t DatFile = 0;  // open while a catalog is current; 0 = none
  DatHeader CatalogHeader;
  FieldDefTable FieldDefs;
  FormulaTable Formulas{};
  CatalogSettings CurrentSettings;
  bool CaseSensitive = false;
  EntryRecord CurrentEntry;
  float CurrentEntryNumber = 0;
  std::string CurrentReport;  // empty = no report format selected
  ReportLayout ActiveLayout{};
  ReportHeader ActiveLayoutHeader;
  ReportLayout EditLayout{};
  ReportHeader EditLayoutHeader;
  int16_t SecurityCode = 0;  // -1 = view-only
  int16_t DialogResult = 0;  // 0 after OK, -1 after Cancel
  int16_t CurrentReportDest = rdMonitor;
  int16_t PaperMode = poContinuous;
  std::string ReportFontName;  // empty = none chosen
  double ReportFontSize = 0;
  FontFlags ReportFontFlags;
  int16_t MaxCharWidth = 0;
  int16_t AvgCharWidth = 0;
  int16_t CharHeight = 0;
  int16_t LineHeight = 0;

  // ---- paths (file_names.h makes the names) ---------------------------
  // Sets AppDir and, as catalogs lie beside the program, DataDir.
  void SetAppDir(const std::string& dir);
  std::string IniPath() const;
  std::string CatalogPath(const std::string& name, const std::string& ext) const;  // ext with dot
  // AppDir/NAME.FMT, or the file of that name spelt in another letter case
  // when only such a one exists: formats are found whatever their case. An
  // error when AppDir cannot be listed.
  int ReportFormatPath(const std::string& name, std::string* path) const;
  // DataDir/NAMEXX01.WDX.
  std::string IndexPath(const std::string& catalogName, int slot) const;
  // The index file a catalog's key field uses: IndexPath's, unless that
  // file holds the keys of another catalog that still exists (the names
  // share their first six characters); then DataDir/NAME-01.WDX.
  std::string KeyIndexFile(const std::string& catalogName, int slot);

  // Font measures of the main window from the host (LineHeight = character
  // height plus 4 pixels).
  void MeasureFonts();

  // ---- names that become file names ----------------------------------
  // True when name is a valid file name stem (file_names.h); otherwise
  // tells the user, naming the kind ("catalog", "report format"), and
  // gives false.
  bool CheckFileName(const std::string& name, const std::string& kind);
  // The catalogs of DataDir (a NAME.SET beside a NAME.DAT, with a valid
  // name), sorted without regard to case.
  std::vector<std::string> ListCatalogs() const;

  // ---- opening and closing a catalog ---------------------------------
  // Reads path + ".SET" and path + ".DAT"'s header; false with a reason
  // when a file is missing, short or inconsistent.
  bool ReadCatalogFiles(const std::string& pathWithoutExt, CatalogFiles* out, std::string* fault) const;
  // Closes the open catalog, clears away what a crash left (see
  // BeginNewCatalog), then reads the named one and opens its data file. A
  // failure (an invalid name too) is shown to the user and leaves no
  // catalog open. A report format name in the settings that is not a valid
  // name is told and dropped.
  bool OpenCatalog(const std::string& name);
  // Writes the entry count into the header and the settings, closes the
  // data file and forgets the catalog. Harmless with none open. A failed
  // write is shown to the user.
  void CloseCatalog();
  // Writes record 0; a failed write is shown to the user.
  bool WriteDatHeader(const DatHeader& header, int16_t fileNumber);

  // ---- entries -----------------------------------------------------------
  // Entry n lies at byte n * RecordLength. An entry number below 1 shows
  // "Bad RecNum". False also when the header is inconsistent, the file is
  // not open or the entry lies (partly) beyond the end of the file.
  bool ReadEntry(EntryRecord& entry, const DatHeader& header, float entryNumber, int16_t fileNumber);
  // The stored bytes of the entry (header.RecordLength of them, as
  // DecodeEntry takes them), read as ReadEntry reads; valid until the next
  // read or write of the store. nullptr where ReadEntry gives false.
  const uint8_t* EntryBytes(const DatHeader& header, float entryNumber, int16_t fileNumber);
  // Writes exactly RecordLength bytes at the entry's position; a failed write
  // is shown to the user.
  bool WriteEntry(const EntryRecord& entry, const DatHeader& header, float entryNumber, int16_t fileNumber);
  // Sequential reads of DatFile go through a read-ahead buffer; writes
  // through WriteEntry and WriteDatHeader, and opening or closing a catalog,
  // keep it true. Anything else that writes the open catalog's data file, or
  // closes and reopens it, must call this.
  void DropReadAhead();

  std::string EvalFormula(const EntryRecord& entry, int slot) const;

  // Memo n lies at byte (n - 1) * 1420 of DataDir/CatalogName.MEM; a
  // number below 1 reads "" and writes nothing. A failed write is shown.
  std::string ReadMemo(float memoNumber);
  bool WriteMemo(float memoNumber, const std::string& text);

  // ---- key indexes -------------------------------------------------------
  // The key of an entry for a key field: its text without trailing blanks,
  // cut to 24 characters.
  static std::string EntryKey(const EntryRecord& entry, int slot);
  void OpenKeyIndexes(KeyIndexTable& table);
  bool DeleteEntryKeys(KeyIndexTable& table, const EntryRecord& entry, float entryNumber);
  bool AddEntryKeys(KeyIndexTable& table, const EntryRecord& entry, float entryNumber);
  // Groups the key changes of many entries into one transaction per index
  // of the table, until EndKeyChanges commits them (keep) or drops them.
  // False after "Error Updating Key Index" with the file and the cause (a
  // failed begin drops what it began).
  bool BeginKeyChanges(KeyIndexTable& table);
  bool EndKeyChanges(KeyIndexTable& table, bool keep);
  void CloseIndexes(KeyIndexTable& table);
  // mode 0: the existing index, rebuilt from the data file when it is
  // missing, damaged, made for another catalog, holds another number of
  // keys than the catalog has entries or was left out of step by a failed
  // change; mode 1: a new empty index. Either way the index is recorded as
  // the named catalog's. -1 after "ERROR
  // OPENING INDEX FILE" (with the file and the cause; a file that is not an
  // index is left as it is), or after the user cancelled the rebuild.
  // A rebuild shows the hourglass and the gauge, with Cancel.
  int16_t OpenIndex(int slot, const DatHeader& header, const std::string& catalogName, int mode);
  // -1 after "Error Getting Key" when the library fails, also -1 (silently)
  // when the index holds no key. An index found damaged by any of the
  // lookups is reported, rebuilt from the data file and read on from the
  // same position, so a walk never ends early as if at its end; one a
  // failed change left out of step is rebuilt the same way.
  float IndexFirst(int16_t handle);
  float IndexNext(int16_t handle);  // 0 when there is none
  float IndexPrev(int16_t handle);
  // Positions on the first key not below key (trailing blanks removed, cut
  // to 24); its entry number, 0 past the last key.
  float IndexFind(int16_t handle, const std::string& key);
  // Positions on the pair of this key, taken as stored (EntryKey: a blank
  // left at the end by the cut is part of it), and this entry; when the
  // pair is not there, just after where it would be.
  void IndexSeekEntry(int16_t handle, const std::string& key, float entryNumber);
  void IndexClose(int16_t handle);

  // ---- files, settings, formats --------------------------------------
  // mode 1: a new text file for writing; 2: an existing file for reading;
  // 4 and 5: random / binary read-write, created when missing. With prompt
  // non-zero, asks "Replace File?" before mode 1 replaces a file and "Create
  // File?" before mode 4 or 5 creates one. 0 when not opened (declined, or
  // given up in the file-error dialog).
  int16_t OpenFileChecked(const std::string& path, int16_t mode, int16_t recordLength, int16_t prompt);
  // The file-error dialog: a message for the run-time error and the path,
  // Retry and Cancel; true for Retry.
  bool ShowFileError(int error, const std::string& path);
  // The message for a run-time file error on path: its cause (read-only
  // file or folder, disk full, missing folder...) and the path.
  std::string FileErrorText(int error, const std::string& path) const;
  // Tells the user that writing path failed, and why.
  void TellWriteFailure(int error, const std::string& path);

  // Settings and format files are rewritten whole (WriteFileAtomic): a
  // failure leaves the old file, and is shown to the user.

  // Writes the settings block of DataDir/NAME.SET with ReportName taken
  // from CurrentReport and IgnoreCase from CaseSensitive; false for an empty
  // name (or one that is not valid, which is told).
  bool WriteCatalogSettings(const std::string& catalogName, const CatalogSettings& settings);
  bool WriteFormulas(const std::string& catalogName, const FormulaTable& formulas);
  bool WriteSearchMode(int16_t value);
  int16_t ReadSearchMode() const;
  int16_t ReadReportDest() const;
  bool WriteReportDest(int16_t dest);
  std::string ReadCurrentDB() const;
  bool WriteCurrentDB(const std::string& catalogName);

  // Reads AppDir/NAME.FMT. False for a name that is not valid (told), when
  // missing or empty, or at the first
  // record whose LinesPerEntry lies outside 1..21 (the layout may then be
  // partly overwritten). Records past the end of a short file read as zeros.
  bool ReadReportFormat(const std::string& name, ReportLayout& layout, ReportHeader& header);
  // Copies column 0's LinesPerEntry into every column, then writes the file.
  bool WriteReportFormat(const std::string& name, ReportLayout& layout, const ReportHeader& header);
  void ClampReportWidths(ReportLayout& layout) const;

  bool CreateDefaultDefinition(const std::string& catalogName, FieldDefTable& defs, DatHeader& header);
  // The defaults CreateDefaultDefinition writes, without writing them.
  static void DefaultDefinition(FieldDefTable& defs, DatHeader& header);
  bool WriteCatalogDefinition(const std::string& pathWithoutExt, const FieldDefTable& defs,
                              const DatHeader& header);

  // A catalog made whole from another file (the dBase III import) is built
  // under temporary names in DataDir and put in place last, so that an
  // interruption at any moment leaves no catalog or the whole one; what an
  // interrupted build left is cleared away when a catalog next opens.
  // BeginNewCatalog creates the build's data file and gives the path to
  // write the catalog's files under (as WriteCatalogDefinition takes it).
  // Each gives false after telling the failure, leaving nothing behind.
  bool BeginNewCatalog(const std::string& name, std::string* buildPath);
  bool FinishNewCatalog(const std::string& buildPath, const std::string& name);
  void DiscardNewCatalog(const std::string& buildPath);

  // ---- shared routines ------------------------------------------------
  void ShowGauge(float total, const std::string& caption, bool allowCancel) {
    gauge_.ShowGauge(total, caption, allowCancel);
  }
  bool StepGauge() { return gauge_.StepGauge(); }
  void CloseGauge() { gauge_.CloseGauge(); }
  ProgressGauge& gauge() { return gauge_; }
  void MousePointerHourglass() { host_.SetMousePointerShape(platform::kPointerHourglass); }
  void MousePointerDefault() { host_.SetMousePointerShape(platform::kPointerDefault); }
  // Adds every key field (slot order, its 14-character name, the slot as
  // item data) without clearing the list, then selects keyField's item, else
  // the first.
  void FillKeyFieldList(platform::ComboBox& list, int16_t keyField) const;
  // The host's font choice; a size of 0 changes nothing, else the report
  // font is set and applied to the printer.
  void ChooseReportFont();
  // With a report font chosen: sets the printer's font (for what is printed
  // next; no document is begun). Nothing otherwise. False when the printer
  // failed.
  bool ApplyReportFont();
  // Ends the printer's document. A document that was lost is told once
  // (the file and the cause when its file could not be written) and gives
  // false.
  bool EndPrintDoc();

 private:
  struct ReadAhead {
    platform::RandomAccessFile* file = nullptr;
    int64_t start = 0;  // file offset of buf[0]
    size_t length = 0;
    int64_t lastRecord = -1;
    std::vector<uint8_t> buf;
  };
  bool HeaderUsable(const DatHeader& header);
  // A data file of `size` bytes that ends before header's entry count keeps
  // only its whole entries: told, and the count lowered.
  void KeepWholeEntries(const std::string& name, int64_t size, DatHeader& header);
  // Removes the temporary files a crash left in DataDir and AppDir
  // (file_names.h), and puts in place a catalog whose import was cut short
  // after it was whole.
  void RemoveLeftovers();
  // Puts len bytes at offset into the named catalog's settings file (a
  // missing or short file is filled with zeros up to there) and writes the
  // file anew; a failure is told.
  bool RewriteSetFile(const std::string& path, size_t offset, const uint8_t* bytes, size_t len);
  struct OpenedIndex {
    int slot = 0;
    std::string catalogName;
    DatHeader header;
  };
  int RebuildIndex(int16_t handle, int slot, const DatHeader& header, const std::string& catalogName,
                   std::string* cause);
  // Rebuilds an index a lookup found damaged (told first) or stale.
  bool RecoverIndex(int16_t handle, bool damaged);
  template <class Lookup>
  float IndexLookup(int16_t handle, Lookup lookup, float none, bool reportBadHandle);
  std::string IndexFault(const std::string& heading, const std::string& path) const;
  void ShowMessage(const std::string& text);

  platform::Host& host_;
  platform::FilePool& files_;
  platform::KeyIndexLibrary indexes_;
  std::map<int16_t, OpenedIndex> openedIndexes_;
  ProgressGauge gauge_{host_};
  ReadAhead ahead_;
  EntryCache entryCache_;
  std::vector<uint8_t> recordBuf_;
  DatHeader checkedHeader_;
  bool checkedHeaderValid_ = false;
};

}  // namespace kelvarin::store
