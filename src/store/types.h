// The records of a catalog and the program-wide enumerations, numbered as the
// catalog files and the settings file store them. Text fields hold
// Windows-1252 in memory; the file readers and writers convert to and from the
// OEM code page.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kelvarin::store {

// Field slots 0..20; slot 20 carries the picture and sound references.
inline constexpr int kFieldCount = 21;
// Report layout columns: 0..20 the field slots, 21 the entry number.
inline constexpr int kReportColumns = 22;
inline constexpr int kEntryNumberColumn = 21;
inline constexpr int kFieldNameLength = 14;
// Longest field the store accepts: a user defines 0..80, a catalog made from a
// dBase III file takes up to 254.
inline constexpr int kMaxFieldLength = 254;
inline constexpr int kMinRecordLength = 54;
// Bytes of an entry besides its field texts (four singles and one spare byte).
inline constexpr int kRecordOverhead = 17;
inline constexpr int kMemoLength = 1420;
// Keys are cut to this many characters.
inline constexpr int kMaxKeyLength = 24;
inline constexpr int kMaxQuickViewLines = 4011;

enum FieldKind : int16_t { KindPlain = 2, KindKey = 3, KindSummed = 4, KindKeySummed = 5 };

bool IsKeyField(int16_t kind);
bool IsSumField(int16_t kind);

struct FieldDef {
  std::string FieldName;  // 14 characters, blank-padded
  int16_t FieldKind = KindPlain;
  friend bool operator==(const FieldDef&, const FieldDef&) = default;
};
using FieldDefTable = std::array<FieldDef, kFieldCount>;

struct DatHeader {
  float EntryCount = 0;  // the highest entry number in use
  std::array<int16_t, kFieldCount> FieldLength{};  // 0 = slot not used
  int16_t RecordLength = kMinRecordLength;
  std::string Reserved = "      ";  // six blanks
  friend bool operator==(const DatHeader&, const DatHeader&) = default;
};

// 17 plus the sum of the field lengths, at least 54.
int ComputeRecordLength(const std::array<int16_t, kFieldCount>& fieldLength);

inline constexpr float StatusActive = 6.0f;
inline constexpr float StatusDeleted = 9.0f;

struct EntryRecord {
  float Status = StatusActive;
  std::array<std::string, kFieldCount> FieldText;
  float NextLink = 0;
  float PrevLink = 0;
  float MemoNumber = 0;  // below 1 = no memo
  friend bool operator==(const EntryRecord&, const EntryRecord&) = default;
};

enum FormulaOperator : int16_t { OpPlus = 0, OpMinus = 1, OpTimes = 2, OpDivide = 3 };

struct FormulaDef {
  int16_t Field1 = 0;
  int16_t Field2 = 0;
  int16_t Operator = OpPlus;
  int16_t Defined = 0;  // non-zero = the slot is a computed field
  friend bool operator==(const FormulaDef&, const FormulaDef&) = default;
};
using FormulaTable = std::array<FormulaDef, kFieldCount>;

struct CatalogSettings {
  std::string ReportName;  // up to 8 characters
  int16_t ReportSelected = 0;
  int16_t DashedLine = 0;
  int16_t ColumnHeadings = 0;
  int16_t PageLength = 60;
  int16_t TopMargin = 0;
  int16_t LockTopLine = 0;
  int16_t PrintMemos = 1;
  int16_t PageNumbers = 1;  // 1 = off, 2 = on
  int16_t QVColumnWidth = 20;
  int16_t QVMaxLines = kMaxQuickViewLines;
  int16_t IgnoreCase = 1;  // stored inverse of CaseSensitive
  float Sorted = 0;        // 1.0 = entries threaded in sort order
  float SortHead = 0;
  float SortTail = 0;
  friend bool operator==(const CatalogSettings&, const CatalogSettings&) = default;
};

struct ReportColumn {
  int16_t Width = 0;
  int16_t Line = 0;    // 1-based line in the entry's block; 0 = not placed
  int16_t Column = 0;  // 1-based character column; 0 = not placed
  int16_t LinesPerEntry = 1;
  friend bool operator==(const ReportColumn&, const ReportColumn&) = default;
};
using ReportLayout = std::array<ReportColumn, kReportColumns>;

struct ReportHeader {
  int16_t ShowTitles = 0;
  friend bool operator==(const ReportHeader&, const ReportHeader&) = default;
};

// An open key index: the key field's slot and the index library's handle.
struct KeyIndex {
  int16_t FieldIndex = 0;
  int16_t Handle = -1;
};
// Elements 1..count are used, as the callers number them.
struct KeyIndexTable {
  std::array<KeyIndex, kFieldCount + 1> Items{};
  int KeyIndexCount = 0;
};

enum BrowseMode : int16_t {
  bmEdit = 0, bmNewEntry = 1, bmSeqSearch = 2, bmAlphaSearch = 3,
  bmGlobalSearch = 4, bmSeqList = 5, bmAlphaList = 6, bmFindDeleted = 7,
};
const char* BrowseModeText(int16_t mode);

enum ReportDest : int16_t { rdMonitor = 0, rdPrinter = 1, rdQuickView = 2, rdAsciiFile = 3, rdDbase = 4 };
const char* ReportDestText(int16_t dest);

enum PaperOption : int16_t { poContinuous = 0, poSingleSheet = 1, poLabels = 2 };
enum SearchMode : int16_t { smAlpha = 0, smSequential = 1 };

}  // namespace kelvarin::store
