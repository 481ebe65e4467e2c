// Entries of the data file, memos and computed fields.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/files/runtime_errors.h"
#include "platform/text/codepage.h"
#include "platform/text/number_text.h"
#include "platform/text/trim.h"
#include "store/formats.h"
#include "store/pooled_file.h"
#include "store/store.h"

namespace kelvarin::store {
namespace {

// Big enough that a sequential walk costs few reads, small enough to stay in
// the cache.
constexpr size_t kReadAheadBytes = 64 * 1024;

bool HeaderConsistent(const DatHeader& header) {
  for (int16_t len : header.FieldLength)
    if (len < 0 || len > kMaxFieldLength) return false;
  return header.RecordLength == ComputeRecordLength(header.FieldLength);
}

// The record number an entry number names; -1 for a number below 1 (0.5
// included: it names no entry, and must not read entry 1) or NaN.
int64_t RecordNumber(float entryNumber) {
  if (!(entryNumber >= 1.0f) || entryNumber > 16777216.0f) return -1;
  return static_cast<int64_t>(std::nearbyint(entryNumber));
}

}  // namespace

bool Store::HeaderUsable(const DatHeader& header) {
  // Entries are read by the million with one header: remember the last one
  // found sound.
  if (checkedHeaderValid_ && header.RecordLength == checkedHeader_.RecordLength &&
      header.FieldLength == checkedHeader_.FieldLength)
    return true;
  if (!HeaderConsistent(header)) return false;
  checkedHeader_.FieldLength = header.FieldLength;
  checkedHeader_.RecordLength = header.RecordLength;
  checkedHeaderValid_ = true;
  return true;
}

void Store::KeepWholeEntries(const std::string& name, int64_t size, DatHeader& header) {
  // The header record may stand alone at 54 bytes when the records are
  // longer: that is an empty catalog, not a short one.
  const int64_t whole = size >= header.RecordLength ? size / header.RecordLength - 1 : 0;
  if (whole >= static_cast<int64_t>(header.EntryCount)) return;
  host_.MsgBox("The data file of catalog " + name + " is shorter than its entry count; only its " +
                   std::to_string(whole) + " complete entries are kept.",
               platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
  header.EntryCount = static_cast<float>(whole);
}

void Store::DropReadAhead() {
  entryCache_.Invalidate();
  ahead_.file = nullptr;
  ahead_.length = 0;
  ahead_.lastRecord = -1;
}

bool Store::ReadEntry(EntryRecord& entry, const DatHeader& header, float entryNumber, int16_t fileNumber) {
  const uint8_t* bytes = EntryBytes(header, entryNumber, fileNumber);
  if (!bytes) return false;
  DecodeEntry(bytes, header, &entry);
  return true;
}

const uint8_t* Store::EntryBytes(const DatHeader& header, float entryNumber, int16_t fileNumber) {
  int64_t record = RecordNumber(entryNumber);
  if (record < 1) {
    ShowMessage("Bad RecNum");
    return nullptr;
  }
  if (!HeaderUsable(header)) return nullptr;
  platform::RandomAccessFile* file = files_.Get(fileNumber);
  if (!file) return nullptr;
  const size_t len = static_cast<size_t>(header.RecordLength);
  const int64_t offset = record * header.RecordLength;

  // Only the open catalog's data file, whose opening and closing the store
  // sees, is read ahead; any other file is read one entry at a time.
  if (fileNumber != DatFile) {
    recordBuf_.resize(len);
    size_t got = 0;
    if (file->Read(offset, recordBuf_.data(), len, &got) != 0 || got < len) return nullptr;
    return recordBuf_.data();
  }
  ReadAhead& a = ahead_;
  if (a.file != file || offset < a.start ||
      offset + static_cast<int64_t>(len) > a.start + static_cast<int64_t>(a.length)) {
    // A walk in number order reads a block ahead; any other access reads
    // just the one entry, so that key-order walks stay cheap.
    bool sequential = a.file == file && record == a.lastRecord + 1;
    if (!sequential) {
      if (const uint8_t* mapped = entryCache_.Bytes(file->Path(), offset, len)) {
        if (a.file != file) a.length = 0;
        a.file = file;
        a.lastRecord = record;
        return mapped;
      }
    }
    size_t want = sequential ? std::max(len, kReadAheadBytes / len * len) : len;
    if (a.buf.size() < want) a.buf.resize(want);
    size_t got = 0;
    a.file = file;
    a.start = offset;
    a.length = 0;
    if (file->Read(offset, a.buf.data(), want, &got) != 0) {
      DropReadAhead();
      return nullptr;
    }
    a.length = got;
    if (got < len) {
      DropReadAhead();
      // Cut short by another program since the catalog was opened.
      int64_t size = 0;
      if (static_cast<float>(record) <= CatalogHeader.EntryCount && file->Size(&size) == 0)
        KeepWholeEntries(CatalogName, size, CatalogHeader);
      return nullptr;
    }
  }
  a.lastRecord = record;
  return a.buf.data() + (offset - a.start);
}

bool Store::WriteEntry(const EntryRecord& entry, const DatHeader& header, float entryNumber, int16_t fileNumber) {
  int64_t record = RecordNumber(entryNumber);
  if (record < 1) {
    ShowMessage("Bad RecNum");
    return false;
  }
  if (!HeaderUsable(header)) return false;
  platform::RandomAccessFile* file = files_.Get(fileNumber);
  if (!file) return false;
  DropReadAhead();
  recordBuf_.resize(static_cast<size_t>(header.RecordLength));
  EncodeEntry(entry, header, recordBuf_.data());
  int err = file->Write(record * header.RecordLength, recordBuf_.data(), recordBuf_.size());
  if (err != 0) {
    host_.MsgBox("The entry could not be written. " + FileErrorText(err, file->Path()), platform::MsgButtons::OK,
                 platform::MsgIcon::Exclamation);
    return false;
  }
  return true;
}

bool Store::WriteDatHeader(const DatHeader& header, int16_t fileNumber) {
  if (!HeaderConsistent(header)) return false;
  platform::RandomAccessFile* file = files_.Get(fileNumber);
  if (!file) return false;
  DropReadAhead();
  uint8_t bytes[kDatHeaderSize];
  EncodeDatHeader(header, bytes);
  if (int error = file->Write(0, bytes, sizeof bytes)) {
    TellWriteFailure(error, file->Path());
    return false;
  }
  return true;
}

std::string Store::EvalFormula(const EntryRecord& entry, int slot) const {
  if (slot < 0 || slot >= kFieldCount) return "0";
  const FormulaDef& f = Formulas[static_cast<size_t>(slot)];
  if (f.Field1 < 0 || f.Field1 >= kFieldCount || f.Field2 < 0 || f.Field2 >= kFieldCount) return "0";
  double a = platform::LeadingNumber(entry.FieldText[static_cast<size_t>(f.Field1)]);
  double b = platform::LeadingNumber(entry.FieldText[static_cast<size_t>(f.Field2)]);
  double value = 0;
  switch (f.Operator) {
    case OpPlus: value = a + b; break;
    case OpMinus: value = a - b; break;
    case OpTimes: value = a * b; break;
    case OpDivide:
      if (b == 0) return "0";
      value = a / b;
      break;
    default: return "0";
  }
  if (!std::isfinite(value)) return "0";
  platform::DecimalStyle style;
  style.significantDigits = 15;
  style.maxFixedExponent = 15;
  return platform::DecimalText(value, style);
}

std::string Store::ReadMemo(float memoNumber) {
  int64_t record = RecordNumber(memoNumber);
  if (record < 1) return "";
  PooledFile f(files_, CatalogPath(CatalogName, ".MEM"), platform::FileAccess::Read,
               platform::FileCreate::OpenExisting);
  auto* file = f.file();
  if (!file) return "";
  std::string text(kMemoLength, ' ');
  size_t got = 0;
  if (file->Read((record - 1) * kMemoLength, text.data(), text.size(), &got) != 0) return "";
  text.resize(got);
  platform::OemToAnsiInPlace(text);
  platform::TrimTrailingPaddingInPlace(text);
  return text;
}

bool Store::WriteMemo(float memoNumber, const std::string& text) {
  int64_t record = RecordNumber(memoNumber);
  // Without a catalog the file would be a stray "DataDir/.MEM".
  if (record < 1 || CatalogName.empty()) return false;
  const std::string path = CatalogPath(CatalogName, ".MEM");
  PooledFile f(files_, path, platform::FileAccess::ReadWrite, platform::FileCreate::OpenOrCreate);
  std::string slot = text.substr(0, kMemoLength);
  slot.resize(kMemoLength, ' ');
  platform::AnsiToOemInPlace(slot);
  int error = f.error();
  if (error == 0) error = f.file()->Write((record - 1) * kMemoLength, slot.data(), slot.size());
  if (error != 0) {
    TellWriteFailure(error, path);
    return false;
  }
  return true;
}

}  // namespace kelvarin::store
