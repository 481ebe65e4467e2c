// Every real-world DBF of the shared test data: what the engine reports must
// agree with the raw header facts, every record must read, and the files the
// engine's own rules refuse must be refused with the right code.
#include <fstream>
#include <map>
#include <sstream>

#include "engine_fixture.h"

namespace kelvarin::dbf::testing {
namespace {

const std::string kDbfData = std::string(KV_SHARED_TESTDATA) + "/dbf";

struct Facts {
  std::string file;
  int version = 0;
  int recordCount = 0;
  int descriptors = 0;
  std::vector<std::string> fields;  // NAME:TYPE:LENGTH:DECIMALS
  int deleted = 0;
};

// facts.tsv shows name bytes as Latin-1 characters written in UTF-8.
std::string Latin1Bytes(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<uint8_t>(utf8[i]);
    if (c >= 0xC2 && c <= 0xC3 && i + 1 < utf8.size()) {
      out += static_cast<char>(((c & 0x03) << 6) | (static_cast<uint8_t>(utf8[i + 1]) & 0x3F));
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::vector<Facts> ReadFacts() {
  std::vector<Facts> all;
  std::ifstream in(kDbfData + "/facts.tsv");
  std::string line;
  std::getline(in, line);  // column names
  while (std::getline(in, line)) {
    std::vector<std::string> cols;
    std::stringstream ss(line);
    std::string col;
    while (std::getline(ss, col, '\t')) cols.push_back(col);
    if (cols.size() < 12) continue;
    Facts f;
    f.file = cols[0];
    f.version = std::stoi(cols[1], nullptr, 16);
    f.recordCount = std::stoi(cols[4]);
    f.descriptors = std::stoi(cols[5]);
    std::stringstream fs(cols[8]);
    std::string field;
    // Names may hold blanks (a Latin-1 0xA0 shown as such); split on the
    // pattern ":T:L:D " instead of on every blank.
    std::string rest = cols[8];
    while (!rest.empty()) {
      size_t colons = 0, i = 0;
      for (; i < rest.size(); ++i) {
        if (rest[i] == ':') ++colons;
        if (colons == 3 && rest[i] == ' ') break;
      }
      f.fields.push_back(rest.substr(0, i));
      rest = i < rest.size() ? rest.substr(i + 1) : "";
    }
    f.deleted = std::stoi(cols[11]);
    all.push_back(f);
  }
  return all;
}

// The files the engine's own rules refuse, with the code they give.
const std::map<std::string, int16_t> kRefused = {
    {"vfp9_30.dbf", 115},                                 // version 0x30
    {"dbase_31.dbf", 115},                                // version 0x31
    {"test_delete.dbf", 115},                             // dBase 7 layout, version 0x04
    {"continents_no_header_record_terminator.dbf", 115},  // no terminator
    {"multipatch.dbf", 115},                              // 0x0A where 0x0D belongs
    {"ZeroSizeColumn.dbf", 110},                          // an N field of width 0
    {"dbase3_invalid_fields.dbf", 110},                   // an N field of width 0
    {"contain_null_padded_numeric.dbf", 110},             // an N field of width 50
};

TEST_F(EngineTest, RealFilesAgreeWithTheirFacts) {
  if (!std::filesystem::exists(kDbfData + "/facts.tsv"))
    GTEST_SKIP() << "shared DBF test data not found at " << kDbfData;
  const auto facts = ReadFacts();
  ASSERT_GE(facts.size(), 20u);
  int opened = 0;
  for (const auto& f : facts) {
    SCOPED_TRACE(f.file);
    int16_t handle = 0, err = -1, fileType = 3;
    std::string name = kDbfData + "/" + f.file;
    // The shared files are read-only: request 12 reads with the header held.
    engine->DbfOpen(handle, err, name, fileType, 12);
    const auto refused = kRefused.find(f.file);
    if (refused != kRefused.end()) {
      EXPECT_EQ(err, refused->second);
      EXPECT_TRUE(engine->SlotAt(handle)->IsFree());
      continue;
    }
    ASSERT_EQ(err, 0);
    ++opened;
    const DbfSlot* slot = engine->SlotAt(handle);
    EXPECT_EQ(slot->Header.VersionByte(), f.version);

    int16_t type = 0, fieldCount = 0, recordLength = 0;
    bool memo = false;
    std::string lastUpdate;
    int32_t records = -1;
    engine->DbfFileInfo(handle, err, type, memo, lastUpdate, records, fieldCount, recordLength);
    ASSERT_EQ(err, 0);
    EXPECT_EQ(records, f.recordCount);
    EXPECT_EQ(fieldCount, f.descriptors);
    ASSERT_EQ(f.fields.size(), static_cast<size_t>(f.descriptors));
    EXPECT_EQ(memo, f.version == 0x83 || f.version == 0x8B);

    bool dbase4 = f.version == 0x8B || f.version == 0x63;
    int sum = 1;
    for (int16_t i = 1; i <= fieldCount; ++i) {
      std::string fname, ftype;
      int16_t fieldNo = i, length = 0, decimals = 0;
      engine->DbfFieldInfo(handle, err, fieldNo, fname, ftype, length, decimals);
      ASSERT_EQ(err, 0);
      const std::string expected = Latin1Bytes(f.fields[static_cast<size_t>(i - 1)]);
      EXPECT_EQ(fname + ":" + ftype + ":" + std::to_string(length) + ":" + std::to_string(decimals),
                expected);
      if (ftype == "F" || (ftype == "N" && length == 20)) dbase4 = true;
      sum += length;
    }
    EXPECT_EQ(type, dbase4 ? 4 : 3);
    EXPECT_EQ(recordLength, sum);

    int deleted = 0;
    std::string buf;
    for (int32_t r = 1; r <= records; ++r) {
      int32_t recNo = 0;
      engine->DbfReadRecord(handle, err, recNo, buf);
      ASSERT_EQ(err, 0) << "record " << r;
      ASSERT_EQ(recNo, r);
      ASSERT_EQ(buf.size(), static_cast<size_t>(sum));
      if (buf[0] == '*') ++deleted;
    }
    EXPECT_EQ(deleted, f.deleted);
    engine->DbfClose(handle, err, 0);
    EXPECT_EQ(err, 0);
  }
  EXPECT_EQ(opened, static_cast<int>(facts.size() - kRefused.size()));
}

// Files written by other programs count the year from 1900 (122 = 2022);
// a few older ones wrote only its last two digits, which then read as 19xx.
TEST_F(EngineTest, RealFilesGiveTheirLastUpdateYear) {
  if (!std::filesystem::exists(kDbfData + "/facts.tsv"))
    GTEST_SKIP() << "shared DBF test data not found at " << kDbfData;
  for (const auto& [file, date] : {std::pair<std::string, std::string>{"dbase3.dbf", "12-03-2022"},
                                   {"dbase_83.dbf", "12-18-2003"},
                                   {"pline.dbf", "04-29-1999"}}) {
    int16_t handle = 0, err = -1, type = 3, fields = 0, length = 0;
    std::string name = kDbfData + "/" + file;
    engine->DbfOpen(handle, err, name, type, 12);
    ASSERT_EQ(err, 0) << file;
    bool memo = false;
    std::string last;
    int32_t count = 0;
    engine->DbfFileInfo(handle, err, type, memo, last, count, fields, length);
    EXPECT_EQ(last, date) << file;
    engine->DbfClose(handle, err, 0);
  }
}

}  // namespace
}  // namespace kelvarin::dbf::testing
