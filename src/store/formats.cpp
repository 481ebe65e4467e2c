#include "store/formats.h"

#include <cmath>
#include <cstring>

#include "platform/text/codepage.h"
#include "platform/text/mbf.h"
#include "platform/text/trim.h"

namespace kelvarin::store {
namespace {

using platform::ReadMbf;
using platform::WriteMbf;

// Both code pages map 0..127 to themselves, and most text is ASCII: such
// bytes are copied as they are, eight at a time checked.
bool AllAscii(const uint8_t* p, size_t len) {
  size_t i = 0;
  for (; i + 8 <= len; i += 8) {
    uint64_t word;
    std::memcpy(&word, p + i, 8);
    if ((word & 0x8080808080808080ull) != 0) return false;
  }
  for (; i < len; ++i)
    if (p[i] >= 0x80) return false;
  return true;
}

// Writes text at exactly len bytes in the OEM code page, blank-padded.
void PutText(uint8_t* out, const std::string& text, size_t len) {
  size_t n = std::min(text.size(), len);
  const auto* src = reinterpret_cast<const uint8_t*>(text.data());
  if (AllAscii(src, n)) {
    std::memcpy(out, src, n);
  } else {
    std::string oem = platform::AnsiToOem(std::string_view(text.data(), n));
    std::memcpy(out, oem.data(), n);
  }
  std::memset(out + n, ' ', len - n);
}

void GetText(const uint8_t* in, size_t len, std::string* text) {
  text->assign(reinterpret_cast<const char*>(in), len);
  if (!AllAscii(in, len)) platform::OemToAnsiInPlace(*text);
}

// Code page 437 to Windows-1252 byte for byte, as a table looked up in
// place (a call per field costs more than the conversion of most fields).
const std::array<uint8_t, 256>& OemToAnsiBytes() {
  static const std::array<uint8_t, 256> table = [] {
    std::string bytes(256, '\0');
    for (size_t b = 0; b < bytes.size(); ++b) bytes[b] = static_cast<char>(b);
    platform::OemToAnsiInPlace(bytes);
    std::array<uint8_t, 256> t{};
    std::memcpy(t.data(), bytes.data(), t.size());
    return t;
  }();
  return table;
}

// The len bytes at in as text, converted to Windows-1252 in the one pass
// that copies them: eight bytes at a time (the last eight overlapping the
// ones before), through the table only where one of the eight has its high
// bit set.
void CopyAsAnsi(const uint8_t* in, size_t len, const std::array<uint8_t, 256>& table, std::string* text) {
  if (text->size() != len) text->resize(len);
  auto* out = reinterpret_cast<uint8_t*>(text->data());
  if (len < 8) {
    for (size_t i = 0; i < len; ++i) out[i] = table[in[i]];
    return;
  }
  for (size_t i = 0;; i += 8) {
    if (i + 8 > len) i = len - 8;
    uint64_t word;
    std::memcpy(&word, in + i, 8);
    if ((word & 0x8080808080808080ull) == 0) {
      std::memcpy(out + i, &word, 8);
    } else {
      for (size_t j = i; j < i + 8; ++j) out[j] = table[in[j]];
    }
    if (i + 8 == len) return;
  }
}

}  // namespace

bool IsKeyField(int16_t kind) { return kind == KindKey || kind == KindKeySummed; }
bool IsSumField(int16_t kind) { return kind == KindSummed || kind == KindKeySummed; }

int ComputeRecordLength(const std::array<int16_t, kFieldCount>& fieldLength) {
  int sum = kRecordOverhead;
  for (int16_t len : fieldLength) sum += std::max<int>(0, len);
  return std::max(sum, kMinRecordLength);
}

const char* BrowseModeText(int16_t mode) {
  static const char* const kTexts[] = {"Edit",     "Make Entries", "Seq Search", "Alpha Search",
                                       "Global Search", "Seq List", "Alpha List", "Find Deleted"};
  return mode >= 0 && mode <= 7 ? kTexts[mode] : "";
}

const char* ReportDestText(int16_t dest) {
  static const char* const kTexts[] = {"MAIN WINDOW", "PRINTER", "QUICK VIEW", "ASCII FILE", "DBASE III"};
  return dest >= 0 && dest <= 4 ? kTexts[dest] : "";
}

void EncodeDatHeader(const DatHeader& header, uint8_t* out) {
  WriteMbf(out, header.EntryCount);
  for (int i = 0; i < kFieldCount; ++i) WriteI16(out + 4 + 2 * i, header.FieldLength[static_cast<size_t>(i)]);
  WriteI16(out + 46, header.RecordLength);
  PutText(out + 48, header.Reserved, 6);
}

bool DecodeDatHeader(const uint8_t* in, DatHeader* header, std::string* fault) {
  DatHeader h;
  h.EntryCount = ReadMbf(in);
  for (int i = 0; i < kFieldCount; ++i) h.FieldLength[static_cast<size_t>(i)] = ReadI16(in + 4 + 2 * i);
  h.RecordLength = ReadI16(in + 46);
  GetText(in + 48, 6, &h.Reserved);
  for (int16_t len : h.FieldLength) {
    if (len < 0 || len > kMaxFieldLength) {
      *fault = "a field length is out of range";
      return false;
    }
  }
  if (h.RecordLength != ComputeRecordLength(h.FieldLength)) {
    *fault = "the record length does not match the field lengths";
    return false;
  }
  if (!(h.EntryCount >= 0 && h.EntryCount <= 16777216.0f) || h.EntryCount != std::floor(h.EntryCount)) {
    *fault = "the entry count is not valid";
    return false;
  }
  *header = std::move(h);
  return true;
}

void EncodeEntry(const EntryRecord& entry, const DatHeader& header, uint8_t* out) {
  size_t len = static_cast<size_t>(header.RecordLength);
  std::memset(out, ' ', len);
  WriteMbf(out, entry.Status);
  size_t pos = 4;
  for (int i = 0; i < kFieldCount; ++i) {
    size_t flen = static_cast<size_t>(std::max<int16_t>(0, header.FieldLength[static_cast<size_t>(i)]));
    if (flen == 0) continue;
    PutText(out + pos, entry.FieldText[static_cast<size_t>(i)], flen);
    pos += flen;
  }
  WriteMbf(out + pos, entry.NextLink);
  WriteMbf(out + pos + 4, entry.PrevLink);
  WriteMbf(out + pos + 8, entry.MemoNumber);
}

void DecodeEntry(const uint8_t* in, const DatHeader& header, EntryRecord* entry) {
  const auto& table = OemToAnsiBytes();
  entry->Status = ReadMbf(in);
  size_t pos = 4;
  for (int i = 0; i < kFieldCount; ++i) {
    size_t flen = static_cast<size_t>(std::max<int16_t>(0, header.FieldLength[static_cast<size_t>(i)]));
    CopyAsAnsi(in + pos, flen, table, &entry->FieldText[static_cast<size_t>(i)]);
    pos += flen;
  }
  entry->NextLink = ReadMbf(in + pos);
  entry->PrevLink = ReadMbf(in + pos + 4);
  entry->MemoNumber = ReadMbf(in + pos + 8);
}

void EncodeFieldDefs(const FieldDefTable& defs, uint8_t* out) {
  for (int i = 0; i < kFieldCount; ++i) {
    const FieldDef& d = defs[static_cast<size_t>(i)];
    uint8_t* p = out + kFieldDefSize * static_cast<size_t>(i);
    PutText(p, d.FieldName, kFieldNameLength);
    WriteI16(p + kFieldNameLength, d.FieldKind);
  }
}

void DecodeFieldDefs(const uint8_t* in, FieldDefTable* defs) {
  for (int i = 0; i < kFieldCount; ++i) {
    FieldDef& d = (*defs)[static_cast<size_t>(i)];
    const uint8_t* p = in + kFieldDefSize * static_cast<size_t>(i);
    GetText(p, kFieldNameLength, &d.FieldName);
    d.FieldKind = ReadI16(p + kFieldNameLength);
  }
}

void EncodeSettings(const CatalogSettings& s, uint8_t* out) {
  PutText(out, s.ReportName, kReportNameLength);
  const int16_t words[] = {s.ReportSelected, s.DashedLine,  s.ColumnHeadings, s.PageLength,
                           s.TopMargin,      s.LockTopLine, s.PrintMemos,     s.PageNumbers,
                           s.QVColumnWidth,  s.QVMaxLines,  s.IgnoreCase};
  uint8_t* p = out + kReportNameLength;
  for (int16_t w : words) {
    WriteI16(p, w);
    p += 2;
  }
  WriteMbf(p, s.Sorted);
  WriteMbf(p + 4, s.SortHead);
  WriteMbf(p + 8, s.SortTail);
}

void DecodeSettings(const uint8_t* in, CatalogSettings* s) {
  GetText(in, kReportNameLength, &s->ReportName);
  platform::TrimTrailingPaddingInPlace(s->ReportName);
  int16_t* words[] = {&s->ReportSelected, &s->DashedLine,  &s->ColumnHeadings, &s->PageLength,
                      &s->TopMargin,      &s->LockTopLine, &s->PrintMemos,     &s->PageNumbers,
                      &s->QVColumnWidth,  &s->QVMaxLines,  &s->IgnoreCase};
  const uint8_t* p = in + kReportNameLength;
  for (int16_t* w : words) {
    *w = ReadI16(p);
    p += 2;
  }
  s->Sorted = ReadMbf(p);
  s->SortHead = ReadMbf(p + 4);
  s->SortTail = ReadMbf(p + 8);
}

void EncodeFormulas(const FormulaTable& formulas, uint8_t* out) {
  for (int i = 0; i < kFieldCount; ++i) {
    const FormulaDef& f = formulas[static_cast<size_t>(i)];
    uint8_t* p = out + kFormulaSize * static_cast<size_t>(i);
    WriteI16(p, f.Field1);
    WriteI16(p + 2, f.Field2);
    WriteI16(p + 4, f.Operator);
    WriteI16(p + 6, f.Defined);
  }
}

void DecodeFormulas(const uint8_t* in, FormulaTable* formulas) {
  for (int i = 0; i < kFieldCount; ++i) {
    FormulaDef& f = (*formulas)[static_cast<size_t>(i)];
    const uint8_t* p = in + kFormulaSize * static_cast<size_t>(i);
    f.Field1 = ReadI16(p);
    f.Field2 = ReadI16(p + 2);
    f.Operator = ReadI16(p + 4);
    f.Defined = ReadI16(p + 6);
  }
}

void ClampSettings(CatalogSettings* s) {
  if (s->PageLength < 4 || s->PageLength > 500) s->PageLength = 60;
  if (s->QVMaxLines > kMaxQuickViewLines) s->QVMaxLines = kMaxQuickViewLines;
  if (s->QVColumnWidth >= 65) s->QVColumnWidth = 64;
  if (s->QVColumnWidth < 3) s->QVColumnWidth = 3;
}

void EncodeReportColumn(const ReportColumn& c, uint8_t* out) {
  std::memset(out, 0, kFmtRecordSize);
  WriteI16(out, c.Width);
  WriteI16(out + 2, c.Line);
  WriteI16(out + 4, c.Column);
  WriteI16(out + 6, c.LinesPerEntry);
}

void DecodeReportColumn(const uint8_t* in, ReportColumn* c) {
  c->Width = ReadI16(in);
  c->Line = ReadI16(in + 2);
  c->Column = ReadI16(in + 4);
  c->LinesPerEntry = ReadI16(in + 6);
}

void EncodeReportHeader(const ReportHeader& h, uint8_t* out) {
  std::memset(out, 0, kFmtRecordSize);
  WriteI16(out, h.ShowTitles);
}

void DecodeReportHeader(const uint8_t* in, ReportHeader* h) { h->ShowTitles = ReadI16(in); }

}  // namespace kelvarin::store
