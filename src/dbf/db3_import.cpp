// The import of a dBase III file as a new catalog.
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

#include "dbf/db3_exchange.h"
#include "dbf/dbf_eval_engine.h"
#include "dbf/dbf_number_text.h"
#include "platform/file_exists.h"
#include "platform/files/file_names.h"
#include "platform/files/file_system.h"
#include "platform/files/runtime_errors.h"
#include "platform/text/codepage.h"
#include "platform/text/path_text.h"
#include "store/formats.h"

namespace kelvarin::dbf {
namespace {

constexpr int kMaxImportedFields = 20;
// Record number out of range: how a header that counts below zero, or more
// records than the file holds, is told.
constexpr int16_t kErrRecordCount = 113;

// A whole number as the classic Str wrote it: a blank before one of zero or
// more, the minus sign before a negative one.
std::string Str(int64_t n) {
  std::string out(n >= 0 ? 1 : 0, ' ');
  out += std::to_string(n);
  return out;
}

// The whole records the file holds after its header.
int32_t RecordsHeld(platform::FileSystem& fs, const std::string& path, const DbfSlot* slot) {
  platform::FileInfo info;
  if (fs.Stat(platform::ResolvePath(path), &info) != 0 || !info.exists || slot == nullptr ||
      slot->Header.RecordLength < 1)
    return INT32_MAX;
  const auto size = static_cast<uint64_t>(info.size);
  const auto headerLength = static_cast<uint64_t>(static_cast<uint16_t>(slot->Header.HeaderLength));
  if (size <= headerLength) return 0;
  const uint64_t records = (size - headerLength) / static_cast<uint64_t>(slot->Header.RecordLength);
  return records > INT32_MAX ? INT32_MAX : static_cast<int32_t>(records);
}

int16_t FieldNumber(const std::string& text) {
  int16_t n = 0;
  return LeadingInt16(text, n) ? n : int16_t{0};
}

// The fields of the open file when each record can go straight from its
// bytes into the entry: no field is a date (which the record reader
// rewrites through an expression) and each one lies within the record, so
// no record can fail on a field and the texts are the record's bytes as
// they stand. False when the record reader must take every record.
bool PlainFields(const DbfEngine& engine, int16_t handle, std::vector<const DbfFieldDesc*>* fields) {
  fields->clear();
  const DbfSlot* slot = engine.SlotAt(handle);
  if (handle < 1 || handle > engine.VbFiles() || slot == nullptr || slot->IsFree() || slot->FieldCount < 1)
    return false;
  for (int16_t i = 1; i <= slot->FieldCount; ++i) {
    const DbfFieldDesc* d = engine.FieldDescAt(handle, i);
    if (d == nullptr || d->FieldType == 'D' || d->Offset < 1 || d->FieldLength < 1 ||
        d->Offset + d->FieldLength > slot->Header.RecordLength + 1)
      return false;
    fields->push_back(d);
  }
  return true;
}

// The new data file is written in large blocks. A block that cannot be
// written goes again entry by entry; the first entry that still fails goes
// through the store's own writer, which tells the user.
//
// Every imported entry is active, unlinked and without memo, so each one is
// the blank entry's bytes with the field texts laid over them, converted to
// the catalog files' code page by a table made once. Characters that code
// page lacks take a look-alike (o for ø); the entries where that happened
// are counted, for the user to be told.
class EntryBlockWriter {
 public:
  EntryBlockWriter(store::Store& store, const store::DatHeader& header, int16_t file)
      : store_(store), header_(header), file_(file), length_(static_cast<size_t>(header.RecordLength)) {
    block_.reserve(kBlockBytes / length_ * length_ + length_);
    blank_.resize(length_);
    store::EncodeEntry(store::EntryRecord{}, header_, blank_.data());
    // The texts follow the entry's status, in slot order.
    size_t at = 4;
    for (int16_t length : header_.FieldLength) {
      const size_t n = static_cast<size_t>(std::max<int16_t>(length, 0));
      fields_.push_back({at, n});
      at += n;
    }
    std::string bytes(256, '\0');
    for (size_t b = 0; b < bytes.size(); ++b) bytes[b] = static_cast<char>(b);
    platform::AnsiToOemInPlace(bytes);
    std::memcpy(toOem_.data(), bytes.data(), toOem_.size());
    // A character has its own byte in the code page when it comes back.
    platform::OemToAnsiInPlace(bytes);
    for (size_t b = 0; b < bytes.size(); ++b) replaced_[b] = static_cast<uint8_t>(bytes[b]) != b;
  }
  // Adds the entry whose first texts are texts[1..count] (missing ones
  // empty), each cut or blank-padded to its field's length.
  bool Add(const std::vector<std::string>& texts, int count, int32_t number) {
    uint8_t* record = Begin(number);
    for (int i = 0; i < count && static_cast<size_t>(i) + 1 < texts.size(); ++i) {
      const std::string& text = texts[static_cast<size_t>(i) + 1];
      Put(record, i, reinterpret_cast<const uint8_t*>(text.data()), text.size());
    }
    return End();
  }
  // An entry built in place: Begin lays the blank entry, Put lays the text
  // of field i (from 0) over it, End counts it and writes the block when
  // full.
  uint8_t* Begin(int32_t number) {
    if (block_.empty()) first_ = number;
    const size_t at = block_.size();
    block_.insert(block_.end(), blank_.begin(), blank_.end());
    replacedHere_ = false;
    return block_.data() + at;
  }
  void Put(uint8_t* record, int i, const uint8_t* text, size_t length) {
    if (static_cast<size_t>(i) >= fields_.size()) return;
    const Field& f = fields_[static_cast<size_t>(i)];
    replacedHere_ |= ToOem(record + f.offset, text, std::min(length, f.length));
  }
  bool End() {
    if (replacedHere_) ++replacedEntries_;
    return block_.size() + length_ <= kBlockBytes || Flush();
  }
  // The entries with a character the code page lacks.
  int32_t ReplacedEntries() const { return replacedEntries_; }
  // Most text is ASCII, which both code pages share: eight bytes at a time
  // are copied as they are unless one of them has its high bit set. True
  // when a character took a look-alike.
  bool ToOem(uint8_t* out, const uint8_t* in, size_t n) const {
    uint8_t replaced = 0;
    size_t j = 0;
    for (; j + 8 <= n; j += 8) {
      uint64_t word;
      std::memcpy(&word, in + j, 8);
      if ((word & 0x8080808080808080ull) == 0) {
        std::memcpy(out + j, &word, 8);
      } else {
        for (size_t b = j; b < j + 8; ++b) {
          out[b] = toOem_[in[b]];
          replaced |= replaced_[in[b]];
        }
      }
    }
    for (; j < n; ++j) {
      out[j] = toOem_[in[j]];
      replaced |= replaced_[in[j]];
    }
    return replaced != 0;
  }
  bool Flush() {
    if (block_.empty()) return true;
    platform::RandomAccessFile* file = store_.files().Get(file_);
    const int64_t offset = static_cast<int64_t>(first_) * static_cast<int64_t>(length_);
    bool ok = file != nullptr && file->Write(offset, block_.data(), block_.size()) == 0;
    for (size_t at = 0; !ok && at < block_.size(); at += length_) {
      const int64_t number = first_ + static_cast<int64_t>(at / length_);
      if (file != nullptr && file->Write(number * static_cast<int64_t>(length_), block_.data() + at, length_) == 0)
        continue;
      store::EntryRecord entry;
      store::DecodeEntry(block_.data() + at, header_, &entry);
      if (!store_.WriteEntry(entry, header_, static_cast<float>(number), file_)) {
        block_.clear();
        return false;
      }
    }
    block_.clear();
    return true;
  }

 private:
  static constexpr size_t kBlockBytes = size_t{1} << 20;
  store::Store& store_;
  const store::DatHeader& header_;
  int16_t file_;
  size_t length_;
  int32_t first_ = 0;
  std::vector<uint8_t> block_;
  struct Field {
    size_t offset, length;
  };
  std::vector<uint8_t> blank_;
  std::vector<Field> fields_;
  std::array<uint8_t, 256> toOem_{};
  std::array<uint8_t, 256> replaced_{};
  int32_t replacedEntries_ = 0;
  bool replacedHere_ = false;
};

}  // namespace

bool Db3Exchange::OpenDb3Import(const std::string& path, int16_t& handle, DbfFieldDefs& fieldDefs,
                                int32_t& recordCount) {
  int16_t err = 0, fileType = kFileTypeDbase3;
  recordCount = 0;
  std::string name = path;
  // Read only: a file on read-only media imports as well as any other.
  engine_.DbfOpen(handle, err, name, fileType, static_cast<int16_t>(kOpenExisting | kHoldHeaderFlag | kReadOnlyFlag));
  if (err != 0) {
    ShowEngineError(err, "When Opening DBaseIII File: " + platform::PathText(path));
    fieldDefs.assign(1, {});
    fieldDefs[0][0].assign(1, '0');
    return false;
  }

  bool memo = false;
  std::string lastUpdate;
  int16_t fieldCount = 0, recordLength = 0;
  engine_.DbfFileInfo(handle, err, fileType, memo, lastUpdate, recordCount, fieldCount, recordLength);
  if (err != 0) ShowEngineError(err, "When Reading Header ofDBaseIII File: " + platform::PathText(path));
  if (recordCount < 0) {
    // The four count bytes read as a negative number: no catalog could hold
    // that many entries, so none are taken.
    ShowEngineError(kErrRecordCount, "When Reading Header ofDBaseIII File: " + platform::PathText(path));
    recordCount = 0;
  } else if (const int32_t held = RecordsHeld(store_.fileSystem(), path, engine_.SlotAt(handle)); recordCount > held) {
    // A file cut short: every missing record would be told and written as an
    // empty entry, by the thousand. The whole records there are are taken.
    ShowEngineError(kErrRecordCount, "When Reading Header ofDBaseIII File: " + platform::PathText(path));
    recordCount = held;
  }

  fieldDefs.assign(static_cast<size_t>(std::max<int16_t>(fieldCount, 0)) + 1, {});
  fieldDefs[0][0] = std::to_string(fieldCount);
  for (int16_t i = 1; i <= fieldCount; ++i) {
    std::string fieldName, type;
    int16_t fieldNo = i, length = 0, decimals = 0;
    engine_.DbfFieldInfo(handle, err, fieldNo, fieldName, type, length, decimals);
    if (err != 0) ShowEngineError(err, "When Reading Header of DBaseIII File: " + platform::PathText(path));
    auto& row = fieldDefs[static_cast<size_t>(i)];
    row[1].assign(1, '0');
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
  // The catalog is built under temporary names and put in place last: a
  // failure or a kill at any moment leaves no catalog or the whole one.
  std::string build;
  if (!store_.BeginNewCatalog(catalogName, &build)) {
    // Refused or not written: the store has told why; no catalog is made.
    CloseDb3File(handle);
    store_.MousePointerDefault();
    return;
  }
  store::Store::DefaultDefinition(fieldDefs, header);
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

  int16_t dat = 0;
  // The store tells a failed write of the definition itself, with its cause.
  if (store_.WriteCatalogDefinition(build, fieldDefs, header))
    dat = store_.OpenFileChecked(build + platform::kDataExt, 5, header.RecordLength, 0);

  bool written = dat != 0;
  std::vector<std::string> values;
  int32_t replaced = 0;
  if (dat != 0) {
    EntryBlockWriter writer(store_, header, dat);
    std::vector<const DbfFieldDesc*> plain;
    const bool fast = PlainFields(engine_, handle, &plain);
    for (int32_t r = 1; written && fast && r <= recordCount; ++r) {
      // What the record reader below does for such a file, without a text
      // made of each field.
      int16_t err = DbfEngineEvalContext(engine_).EnsureReady();
      int32_t recNo = r;
      if (err == 0) engine_.DbfReadRecord(handle, err, recNo, record_);
      uint8_t* entry = writer.Begin(r);
      if (err != 0) {
        ShowEngineError(err, " When Reading DBaseIII File: " + platform::PathText(dbfPath));
      } else {
        const auto* bytes = reinterpret_cast<const uint8_t*>(record_.data());
        for (int i = 0; i < m && static_cast<size_t>(i) < plain.size(); ++i) {
          const DbfFieldDesc& d = *plain[static_cast<size_t>(i)];
          writer.Put(entry, i, bytes + d.Offset - 1, static_cast<size_t>(d.FieldLength));
        }
      }
      written = writer.End();
    }
    for (int32_t r = 1; written && !fast && r <= recordCount; ++r) {
      int16_t err = 0, count = 0;
      // A record that cannot be read leaves nothing of the one before.
      for (std::string& v : values) v.clear();
      DbfReadRecordFields(handle, err, count, values, r);
      if (err != 0) ShowEngineError(err, " When Reading DBaseIII File: " + platform::PathText(dbfPath));
      written = writer.Add(values, m, r);
    }
    // A data file that cannot be written has been told about once.
    written = written && writer.Flush();
    platform::RandomAccessFile* file = store_.files().Get(dat);
    if (int error = written ? file->Flush() : 0) {
      store_.TellWriteFailure(error, file->Path());
      written = false;
    }
    store_.files().Close(dat);
    replaced = writer.ReplacedEntries();
  }
  if (written)
    written = store_.FinishNewCatalog(build, catalogName);
  else
    store_.DiscardNewCatalog(build);
  CloseDb3File(handle);
  store_.MousePointerDefault();
  if (written && replaced > 0)
    host_.MsgBox("Characters the catalog cannot hold were replaced in" + Str(replaced) + " Entries",
                 platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
}

}  // namespace kelvarin::dbf
