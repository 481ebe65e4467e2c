// The records of the DBF engine: the on-disk images of the file header and
// of a field descriptor, and the in-memory records of an open file (its field
// descriptors and its slot).
//
// A DBF file as the engine writes it (integers little-endian, offsets from 0):
//
//   offset                              width        content
//   0                                   32           file header (DbfHeader)
//   32                                  32 x n       one descriptor per field (DbfFieldRecord)
//   32 + 32n                            1            header terminator 0x0D
//   33 + 32n                            1            0x1A, written at create; record 1 overwrites it
//   HeaderLength + (k-1) x RecordLength RecordLength record k (k from 1)
//
// File header, 32 bytes:
//
//   offset width field            content
//   0      1     Version          0x03 dBase III; 0x83 with a memo field; 0x8B dBase IV with memo.
//                                 Accepted on open: 0x03, 0x63, 0x83, 0x8B
//   1      3     LastUpdate       years since 1900, month, day, one byte each
//   4      4     RecordCount      unsigned 32-bit on disk, held signed in memory
//   8      2     HeaderLength     32 x field count + 33
//   10     2     RecordLength     1 (deletion flag) + sum of the field lengths
//   12     2     Reserved1        0
//   14     1     TransactionFlag  0
//   15     1     EncryptionFlag   0
//   16     12    MultiUserArea    0
//   28     1     MdxFlag          0
//   29     3     Reserved2        0
//
// Field descriptor, 32 bytes:
//
//   offset width field        content
//   0      10    FieldName    upper case, padded with 0x00
//   10     1     NameEnd      0x00
//   11     1     FieldType    C, N, D, L, M or F
//   12     4     DataAddress  0
//   16     1     FieldLength  length as a byte value
//   17     1     DecimalCount decimal places as a byte value
//   18     14    Reserved     0
//
// A record is the deletion flag (blank = in use, "*" = deleted) followed by
// the fields in descriptor order, each exactly its length, no separators.
// Values are text: numbers are never stored in machine form.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kelvarin::dbf {

constexpr int kHeaderSize = 32;
constexpr int kDescriptorSize = 32;
constexpr int kFieldNameSize = 10;
constexpr char kHeaderTerminator = 0x0D;
constexpr char kEndOfFile = 0x1A;

// Version bytes.
constexpr uint8_t kVersionDbase3 = 0x03;
constexpr uint8_t kVersionDbase4Sql = 0x63;
constexpr uint8_t kVersionDbase3Memo = 0x83;
constexpr uint8_t kVersionDbase4Memo = 0x8B;

// File kinds (DbfSlot::FileType).
constexpr int16_t kFileTypeFree = 0;
constexpr int16_t kFileTypeDbase3 = 3;
constexpr int16_t kFileTypeDbase4 = 4;

// Flags are 0 for false and -1 for true, as the engine's callers expect.
constexpr int16_t kTrue = -1;
constexpr int16_t kFalse = 0;

struct DbfHeader {
  char Version = 0;
  std::array<char, 3> LastUpdate{};  // years since 1900, month, day as bytes
  int32_t RecordCount = 0;
  int16_t HeaderLength = 0;
  int16_t RecordLength = 0;
  int16_t Reserved1 = 0;
  char TransactionFlag = 0;
  char EncryptionFlag = 0;
  std::array<char, 12> MultiUserArea{};
  char MdxFlag = 0;
  std::array<char, 3> Reserved2{};

  uint8_t VersionByte() const { return static_cast<uint8_t>(Version); }
};

struct DbfFieldRecord {
  std::array<char, 10> FieldName{};
  char NameEnd = 0;
  char FieldType = 0;
  std::array<char, 4> DataAddress{};
  char FieldLength = 0;   // the length as a byte value
  char DecimalCount = 0;  // the decimals as a byte value
  std::array<char, 14> Reserved{};
};

// The 32-byte images, byte for byte as on disk.
using HeaderBytes = std::array<char, kHeaderSize>;
using DescriptorBytes = std::array<char, kDescriptorSize>;

HeaderBytes EncodeHeader(const DbfHeader& header);
DbfHeader DecodeHeader(const HeaderBytes& bytes);
DescriptorBytes EncodeDescriptor(const DbfFieldRecord& record);
DbfFieldRecord DecodeDescriptor(const DescriptorBytes& bytes);

// One field of an open file (an element of the field table).
struct DbfFieldDesc {
  char FieldType = 0;
  // The 10 name bytes as stored: 0x00-padded. Empty for an unused element.
  std::string FieldName;
  int16_t FieldLength = 0;
  int16_t DecimalCount = 0;
  // Position of the field's first character in the record string, from 1;
  // the deletion flag is position 1, so the first field starts at 2.
  int16_t Offset = 0;
};

// One open DBF file (an element of the slot table). FileNum -1 = slot free.
struct DbfSlot {
  DbfHeader Header;
  int16_t HoldHeader = kFalse;   // header kept in memory from open to close
  int16_t OpenMode = 0;          // the request word given to DbfOpen
  std::string FileName;          // as opened: upper case, with extension
  int16_t FileType = kFileTypeFree;
  int16_t FileNum = -1;
  int16_t FieldCount = 0;
  int32_t CurrentRecord = 0;     // record read last; 0 after open
  int16_t Shared = kFalse;       // opened with a sharing clause (request >= 16)
  int16_t HeaderDirty = kFalse;  // the close rewrites the header with a new date

  bool IsFree() const { return FileNum == -1; }
};

// Reserved memo-file and index-file tables. The engine has no memo or index
// operations; these slots are only allocated, counted and marked free.
struct DbfDbtSlot {
  int16_t FileNum = -1;
};
struct DbfNdxInfo {
  int16_t KeyLength = 0;
};
struct DbfNdxSlot {
  int16_t FileNum = -1;
};

}  // namespace kelvarin::dbf
