// Byte layouts of the catalog files (docs/FILE-FORMATS.md describes them).
// These functions only turn records into bytes and back; the readers and
// writers in the other files do the file access. Text is converted between
// Windows-1252 (memory) and the OEM code page (files), singles between IEEE
// (memory) and Microsoft Binary Format (files); integers are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "store/types.h"

namespace kelvarin::store {

// NAME.DAT record 0.
inline constexpr size_t kDatHeaderSize = 54;
void EncodeDatHeader(const DatHeader& header, uint8_t* out);
// Fills header from 54 bytes; false with a reason when the lengths are
// impossible (a field length outside 0..254, a record length other than
// the one the field lengths give, an entry count that is not a whole number
// from 0 to 16,777,216).
bool DecodeDatHeader(const uint8_t* in, DatHeader* header, std::string* fault);

// One entry of header.RecordLength bytes. Texts are written at their field's
// length (cut, or padded with blanks, should a caller hand another length);
// the bytes after the memo number are blanks.
void EncodeEntry(const EntryRecord& entry, const DatHeader& header, uint8_t* out);
void DecodeEntry(const uint8_t* in, const DatHeader& header, EntryRecord* entry);

// NAME.SET: field definitions, then the settings block, then the formulas.
inline constexpr size_t kFieldDefSize = 16;
inline constexpr size_t kFieldDefsSize = kFieldDefSize * kFieldCount;  // 336
inline constexpr size_t kSettingsOffset = kFieldDefsSize;              // byte 337, 1-based
inline constexpr size_t kSettingsSize = 42;
inline constexpr size_t kFormulasOffset = kSettingsOffset + kSettingsSize;  // 378
inline constexpr size_t kFormulaSize = 8;
inline constexpr size_t kSetFileSize = kFormulasOffset + kFormulaSize * kFieldCount;  // 546
inline constexpr size_t kReportNameLength = 8;

void EncodeFieldDefs(const FieldDefTable& defs, uint8_t* out);
void DecodeFieldDefs(const uint8_t* in, FieldDefTable* defs);
void EncodeSettings(const CatalogSettings& settings, uint8_t* out);
// Decodes as stored; the clamps of reading a catalog are ClampSettings.
void DecodeSettings(const uint8_t* in, CatalogSettings* settings);
void EncodeFormulas(const FormulaTable& formulas, uint8_t* out);
void DecodeFormulas(const uint8_t* in, FormulaTable* formulas);

// PageLength outside 4..500 becomes 60, QVMaxLines above 4011 becomes 4011,
// QVColumnWidth 65 and above becomes 64 and below 3 becomes 3.
void ClampSettings(CatalogSettings* settings);

// NAME.FMT: records 1..23 of 12 bytes (22 columns, then the header).
inline constexpr size_t kFmtRecordSize = 12;
inline constexpr size_t kFmtRecords = kReportColumns + 1;
inline constexpr size_t kFmtFileSize = kFmtRecordSize * kFmtRecords;  // 276
void EncodeReportColumn(const ReportColumn& column, uint8_t* out);
void DecodeReportColumn(const uint8_t* in, ReportColumn* column);
void EncodeReportHeader(const ReportHeader& header, uint8_t* out);
void DecodeReportHeader(const uint8_t* in, ReportHeader* header);

// Little-endian 16-bit integers.
inline int16_t ReadI16(const uint8_t* p) {
  return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}
inline void WriteI16(uint8_t* p, int16_t v) {
  p[0] = static_cast<uint8_t>(static_cast<uint16_t>(v) & 0xFF);
  p[1] = static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8);
}

}  // namespace kelvarin::store
