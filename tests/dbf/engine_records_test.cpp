// Creating files, defining fields, reading and writing records, building
// records from values, and the information requests.
#include "engine_fixture.h"

namespace kelvarin::dbf::testing {
namespace {

class RecordsTest : public EngineTest {};

TEST_F(RecordsTest, CreateWritesTheHeaderAsLaidOut) {
  const int16_t h = Create("LAYOUT.DBF", {{"C", 10, 0, "name"}, {"C", 8, 0, " city "}, {"C", 1, 0, "x"}});
  int16_t err = -1;
  const DbfSlot* slot = engine->SlotAt(h);
  EXPECT_EQ(slot->Header.HeaderLength, 129);
  EXPECT_EQ(slot->Header.RecordLength, 20);
  EXPECT_EQ(engine->FieldDescAt(h, 2)->Offset, 12);
  engine->DbfClose(h, err, 0);
  ASSERT_EQ(err, 0);
  const std::string bytes = ReadAll(Path("LAYOUT.DBF"));
  ASSERT_EQ(bytes.size(), 130u);
  EXPECT_EQ(bytes[0], 0x03);
  EXPECT_EQ(bytes.substr(1, 3), std::string("\x7E\x0C\x07", 3));  // 2026-12-07 = today
  EXPECT_EQ(bytes.substr(4, 4), std::string(4, '\0'));
  EXPECT_EQ(bytes.substr(8, 4), std::string("\x81\x00\x14\x00", 4));
  EXPECT_EQ(bytes.substr(12, 20), std::string(20, '\0'));
  EXPECT_EQ(bytes.substr(32, 32), std::string("NAME\0\0\0\0\0\0\0C\0\0\0\0\x0A", 17) + std::string(15, '\0'));
  EXPECT_EQ(bytes.substr(64, 11), std::string("CITY\0\0\0\0\0\0\0", 11));
  EXPECT_EQ(bytes[128], 0x0D);
  EXPECT_EQ(bytes[129], 0x1A);

  // The images keep every byte, those the engine leaves 0 included: a
  // header read from another program's file is written back as it was.
  HeaderBytes header;
  DescriptorBytes descriptor;
  for (size_t i = 0; i < header.size(); ++i) header[i] = descriptor[i] = static_cast<char>(0x81 + i);
  EXPECT_EQ(EncodeHeader(DecodeHeader(header)), header);
  EXPECT_EQ(EncodeDescriptor(DecodeDescriptor(descriptor)), descriptor);
}

TEST_F(RecordsTest, MemoFieldsSetTheVersionAndLargeArraysMakeDbase4) {
  int16_t h = Create("MEMO.DBF", {{"M", 10, 0, "NOTES"}});
  EXPECT_EQ(engine->SlotAt(h)->Header.VersionByte(), 0x83);
  Close(h);
  EXPECT_EQ(static_cast<uint8_t>(ReadAll(Path("MEMO.DBF"))[0]), 0x83);

  int16_t err = -1;
  DbfFieldDefs defs = Defs({{"M", 10, 0, "NOTES"}, {"F", 12, 3, "RATE"}}, 130);
  engine->DbfCreate(Path("MEMO4.DBF"), h, defs, 6, err);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(engine->SlotAt(h)->FileType, 4);
  EXPECT_EQ(engine->SlotAt(h)->Header.VersionByte(), 0x8B);
  Close(h);

  // The same F field in a dBase III array is refused; the file stays open.
  engine->DbfCreate(Path("F3.DBF"), h, Defs({{"F", 12, 3, "RATE"}}), 6, err);
  EXPECT_EQ(err, 103);
  EXPECT_FALSE(engine->SlotAt(h)->IsFree());
  Close(h);
}

TEST_F(RecordsTest, DefineFieldRefusals) {
  int16_t err = -1;
  const int16_t h = Open(Path("DEF"), 6, err);
  ASSERT_EQ(err, 0);
  auto define = [&](const std::string& name, const std::string& type, int16_t length,
                    int16_t decimals, int16_t fieldNo = 0) {
    int16_t e = -1;
    engine->DbfDefineField(h, e, fieldNo, name, type, length, decimals);
    return e;
  };
  EXPECT_EQ(define("1ABC", "C", 5, 0), 106);
  EXPECT_EQ(define("_X", "C", 5, 0), 106);
  EXPECT_EQ(define("A-B", "C", 5, 0), 106);
  EXPECT_EQ(define("ABCDEFGHIJK", "C", 5, 0), 106);
  EXPECT_EQ(define("", "C", 5, 0), 106);
  EXPECT_EQ(define("   ", "C", 5, 0), 106);
  EXPECT_EQ(define("A", "C", 255, 0), 110);
  EXPECT_EQ(define("A", "D", 10, 0), 110);
  EXPECT_EQ(define("A", "C", 0, 0), 110);
  EXPECT_EQ(define("A", "N", 20, 0), 110);  // dBase III
  EXPECT_EQ(define("A", "N", 2, 2), 111);
  EXPECT_EQ(define("A", "N", 19, 16), 111);
  EXPECT_EQ(define("A", "C", 5, -1), 111);
  EXPECT_EQ(define("A", "X", 5, 0), 103);
  EXPECT_EQ(define("A", "F", 5, 0), 103);
  EXPECT_EQ(define("A", "C", 5, 0, 3), 108);  // skips field 1 and 2
  EXPECT_EQ(engine->SlotAt(h)->FieldCount, 0);

  EXPECT_EQ(define("0ABC", "C", 5, 0), 0);  // a leading zero is no number above 0
  EXPECT_EQ(define("nAme", "N", 6, 2), 0);
  EXPECT_EQ(engine->SlotAt(h)->FieldCount, 2);
  EXPECT_EQ(define("NAME", "C", 9, 0), 0);  // by name: redefines field 2
  EXPECT_EQ(engine->SlotAt(h)->FieldCount, 2);
  EXPECT_EQ(engine->FieldDescAt(h, 2)->FieldType, 'C');
  EXPECT_EQ(define("NAME", "C", 9, 0, 1), 109);
  Close(h);
}

TEST_F(RecordsTest, WriteHeaderChecks) {
  int16_t err = -1;
  int16_t h = Open(Path("WH"), 6, err);
  engine->DbfWriteHeader(h, err);
  EXPECT_EQ(err, 107);
  Close(h);

  // Request 5 (create new, header held) is a create and must work.
  int16_t h5 = 0;
  engine->DbfCreate(Path("WH5"), h5, Defs({{"C", 4, 0, "A"}}), 5, err);
  EXPECT_EQ(err, 0);
  Close(h5);

  // A plain open of an existing file may not rewrite its header.
  engine->DbfCreate(Path("WH5"), h5, Defs({{"C", 4, 0, "A"}}), 0, err);
  EXPECT_EQ(err, 105);
  Close(h5);

  // Records longer than 4096 bytes only in dBase IV files.
  engine->DbfCreate(Path("BIG"), h, Defs({{"C", 254, 0, "A"}, {"C", 254, 0, "B"}, {"C", 254, 0, "C"},
                                          {"C", 254, 0, "D"}, {"C", 254, 0, "E"}, {"C", 254, 0, "F"},
                                          {"C", 254, 0, "G"}, {"C", 254, 0, "H"}, {"C", 254, 0, "I"},
                                          {"C", 254, 0, "J"}, {"C", 254, 0, "K"}, {"C", 254, 0, "L"},
                                          {"C", 254, 0, "M"}, {"C", 254, 0, "N"}, {"C", 254, 0, "O"},
                                          {"C", 254, 0, "P"}, {"C", 254, 0, "Q"}}),
                     6, err);
  EXPECT_EQ(err, 112);
  Close(h);
}

TEST_F(RecordsTest, ReadRecordNumberRules) {
  const int16_t h = Create("R.DBF", {{"C", 3, 0, "A"}});
  for (const char* v : {"one", "two", "thr"}) Append(h, {"", v});
  Close(h);
  int16_t err = -1;
  const int16_t r = Open(Path("r"), 4, err);
  ASSERT_EQ(err, 0);
  std::string buf;
  int32_t rec = -1;
  engine->DbfReadRecord(r, err, rec, buf);
  EXPECT_EQ(err, 113);
  rec = 0;
  engine->DbfReadRecord(r, err, rec, buf);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(rec, 1);
  EXPECT_EQ(buf, " one");
  rec = -1;
  engine->DbfReadRecord(r, err, rec, buf);
  EXPECT_EQ(err, 113);
  rec = 3;
  engine->DbfReadRecord(r, err, rec, buf);
  EXPECT_EQ(buf, " thr");
  rec = 0;
  engine->DbfReadRecord(r, err, rec, buf);
  EXPECT_EQ(err, 113);
  rec = -1;
  engine->DbfReadRecord(r, err, rec, buf);
  EXPECT_EQ(rec, 2);
  EXPECT_EQ(buf, " two");
  for (int32_t bad : {4, -2, INT32_MIN, INT32_MAX}) {
    rec = bad;
    engine->DbfReadRecord(r, err, rec, buf);
    EXPECT_EQ(err, 113) << bad;
  }
  Close(r);
}

TEST_F(RecordsTest, WriteRecordAppendsOverTheEndMarkerAndChecksLength) {
  const int16_t h = Create("W.DBF", {{"C", 3, 0, "A"}}, 2);  // header not held
  int16_t err = -1;
  int32_t rec = 0;
  engine->DbfWriteRecord(h, err, rec, " ab");
  EXPECT_EQ(err, 114);
  EXPECT_EQ(engine->SlotAt(h)->Header.RecordCount, 0);
  engine->DbfWriteRecord(h, err, rec, " abc");
  ASSERT_EQ(err, 0);
  EXPECT_EQ(rec, 1);
  rec = 2;
  engine->DbfWriteRecord(h, err, rec, " xyz");
  EXPECT_EQ(err, 113);
  rec = 1;
  engine->DbfWriteRecord(h, err, rec, "*abc");  // overwrite in place
  EXPECT_EQ(err, 0);
  Close(h);
  const std::string bytes = ReadAll(Path("W.DBF"));
  ASSERT_EQ(bytes.size(), 65u + 4u);
  EXPECT_EQ(bytes.substr(64), std::string("\x0D*abc", 5));
  EXPECT_EQ(bytes[4], 1);
}

TEST_F(RecordsTest, AppendFieldsAlignsEachType) {
  host.MutableLocale().shortDate = "M/d/yyyy";
  const int16_t h = Create("ALIGN.DBF", {{"C", 5, 0, "NAME"}, {"N", 5, 0, "QTY"}, {"D", 8, 0, "WHEN"},
                                         {"L", 1, 0, "OK"}, {"M", 10, 0, "MEMO"}});
  std::vector<std::string> values = {"", "toolongname", "42", "11/15/1997", "true", "12"};
  int16_t err = -1;
  int32_t rec = 0;
  engine->DbfAppendFields(h, err, 0, values, rec);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(rec, 1);
  EXPECT_EQ(values[0], " toolo   4219971115t12        ");
  EXPECT_EQ(values[3], "19971115");

  values = {"*", "ab", "1234567", "   ", "F", ""};
  rec = 0;
  engine->DbfAppendFields(h, err, 0, values, rec);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(values[0], "*ab   12345        F          ");

  values = {"", "x", "1", "not a date", "T", ""};
  rec = 0;
  engine->DbfAppendFields(h, err, 0, values, rec);
  EXPECT_EQ(err, 146);
  EXPECT_EQ(engine->SlotAt(h)->Header.RecordCount, 2);

  // Fewer values than fields: the rest stay blank.
  values = {"", "abc"};
  rec = 0;
  engine->DbfAppendFields(h, err, 0, values, rec);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(values[0], " abc" + std::string(26, ' '));
  // count limits the fields written.
  values = {"", "abc", "7"};
  rec = 0;
  engine->DbfAppendFields(h, err, 1, values, rec);
  EXPECT_EQ(values[0], " abc" + std::string(26, ' '));
  EXPECT_EQ(rec, 4);
  Close(h);
}

TEST_F(RecordsTest, DatesFollowTheUserOrder) {
  host.MutableLocale().shortDate = "dd/MM/yyyy";
  const int16_t h = Create("DMY.DBF", {{"D", 8, 0, "WHEN"}});
  std::vector<std::string> values = {"", "03/04/2001"};
  int32_t rec = 0;
  int16_t err = -1;
  engine->DbfAppendFields(h, err, 0, values, rec);
  EXPECT_EQ(values[1], "20010403");
  values = {"", "1997-11-15"};
  rec = 0;
  engine->DbfAppendFields(h, err, 0, values, rec);
  EXPECT_EQ(values[1], "19971115");
  values = {"", "31/02/2001"};
  rec = 0;
  engine->DbfAppendFields(h, err, 0, values, rec);
  EXPECT_EQ(err, 146);
  Close(h);
}

TEST_F(RecordsTest, FieldAndFileInformation) {
  const int16_t h = Create("INFO.DBF", {{"C", 10, 0, "NAME"}, {"N", 8, 2, "PRICE"}});
  int16_t err = -1, fieldNo = 0, length = 0, decimals = 0;
  std::string name = " nam ", type;
  engine->DbfFieldInfo(h, err, fieldNo, name, type, length, decimals);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(fieldNo, 1);
  EXPECT_EQ(name, "NAM");
  EXPECT_EQ(type, "C");
  fieldNo = 0;
  name = "ric";
  engine->DbfFieldInfo(h, err, fieldNo, name, type, length, decimals);
  EXPECT_EQ(fieldNo, 2);
  EXPECT_EQ(length, 8);
  EXPECT_EQ(decimals, 2);
  fieldNo = 2;
  engine->DbfFieldInfo(h, err, fieldNo, name, type, length, decimals);
  EXPECT_EQ(name, "PRICE");
  EXPECT_EQ(type, "N");
  fieldNo = 0;
  name = "QTY";
  engine->DbfFieldInfo(h, err, fieldNo, name, type, length, decimals);
  EXPECT_EQ(err, 106);
  fieldNo = 3;
  engine->DbfFieldInfo(h, err, fieldNo, name, type, length, decimals);
  EXPECT_EQ(err, 116);
  fieldNo = -1;
  engine->DbfFieldInfo(h, err, fieldNo, name, type, length, decimals);
  EXPECT_EQ(err, 116);
  Close(h);

  auto dateOf = [&](char y, char m, char d) {
    std::string bytes = MakeDbf(0x83, {{"M", 'M', 10, 0}}, {});
    bytes[1] = y;
    bytes[2] = m;
    bytes[3] = d;
    WriteAll(Path("D.DBF"), bytes);
    int16_t e = -1;
    const int16_t hh = Open(Path("D.DBF"), 0, e);
    int16_t ft = 0, fc = 0, rl = 0;
    bool memo = false;
    std::string last;
    int32_t rc = -1;
    engine->DbfFileInfo(hh, e, ft, memo, last, rc, fc, rl);
    EXPECT_EQ(e, 0);
    EXPECT_TRUE(memo);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(fc, 1);
    EXPECT_EQ(rl, 11);
    EXPECT_EQ(ft, 3);
    engine->DbfClose(hh, e, 2);
    return last;
  };
  EXPECT_EQ(dateOf(99, 12, 31), "12-31-1999");
  EXPECT_EQ(dateOf(5, 1, 2), "01-02-1905");
  EXPECT_EQ(dateOf(126, 3, 4), "03-04-2026");
  EXPECT_EQ(dateOf(static_cast<char>(255), 1, 1), "01-01-2155");
}

// The year byte counts years since 1900, so other readers of the file and
// DbfFileInfo agree on the century.
TEST_F(RecordsTest, LastUpdateCountsYearsSince1900) {
  const auto stampFor = [&](int year) {
    host.SetToday({year, 6, 30});
    const std::string name = "Y" + std::to_string(year) + ".DBF";
    const int16_t h = Create(name, {{"C", 1, 0, "A"}});
    int16_t err = -1, type = 0, fields = 0, length = 0;
    bool memo = false;
    std::string last;
    int32_t count = 0;
    engine->DbfFileInfo(h, err, type, memo, last, count, fields, length);
    EXPECT_EQ(err, 0);
    Close(h);
    return std::to_string(static_cast<uint8_t>(ReadAll(Path(name))[1])) + " " + last;
  };
  EXPECT_EQ(stampFor(2026), "126 06-30-2026");
  EXPECT_EQ(stampFor(1999), "99 06-30-1999");
  EXPECT_EQ(stampFor(2000), "100 06-30-2000");
}

TEST_F(RecordsTest, CloseModeTwoKeepsTheHeader) {
  const int16_t h = Create("KEEP.DBF", {{"C", 2, 0, "A"}});
  Append(h, {"", "xy"});
  int16_t err = -1;
  engine->DbfClose(h, err, 2);
  ASSERT_EQ(err, 0);
  // The held header never reached the file: its 32 bytes stay empty.
  const std::string bytes = ReadAll(Path("KEEP.DBF"));
  ASSERT_EQ(bytes.size(), 32u + 32 + 1 + 3);
  EXPECT_EQ(bytes.substr(0, 32), std::string(32, '\0'));
  EXPECT_EQ(bytes.substr(65), " xy");
}

TEST_F(RecordsTest, HeldAndUnheldHeadersGiveTheSameFile) {
  for (int16_t request : {2, 6, 18, 50, 54}) {
    const std::string name = "SAME" + std::to_string(request) + ".DBF";
    const int16_t h = Create(name, {{"C", 4, 0, "A"}, {"N", 3, 0, "B"}}, request);
    for (int i = 0; i < 300; ++i) Append(h, {"", "r" + std::to_string(i), std::to_string(i)});
    int16_t err = -1;
    int32_t rec = 150;
    std::string buf;
    engine->DbfReadRecord(h, err, rec, buf);
    EXPECT_EQ(buf, " r149149") << request;
    Close(h);
  }
  const std::string reference = ReadAll(Path("SAME6.DBF"));
  EXPECT_EQ(reference.size(), 32u + 64 + 1 + 300 * 8);
  for (int request : {2, 18, 50, 54}) EXPECT_EQ(ReadAll(Path("SAME" + std::to_string(request) + ".DBF")), reference) << request;
}

TEST_F(RecordsTest, ReadOnlyFilesRefuseWrites) {
  const int16_t h = Create("RO.DBF", {{"C", 2, 0, "A"}});
  Append(h, {"", "xy"});
  Close(h);
  int16_t err = -1;
  const int16_t r = Open(Path("RO"), 12, err);
  ASSERT_EQ(err, 0);
  int32_t rec = 0;
  engine->DbfWriteRecord(r, err, rec, " ab");
  EXPECT_EQ(err, 75);
  // The record number and the length are checked before the write fails.
  rec = 2;
  engine->DbfWriteRecord(r, err, rec, " ab");
  EXPECT_EQ(err, 113);
  rec = 1;
  engine->DbfWriteRecord(r, err, rec, " a");
  EXPECT_EQ(err, 114);
  Close(r);
  EXPECT_EQ(ReadAll(Path("RO.DBF")).size(), 32u + 32 + 1 + 3);
}

class RetryCounting : public DbfEngine {
 public:
  using DbfEngine::DbfEngine;
  void DbfLockRetryHook(const std::string& text, int16_t& err) override {
    EXPECT_EQ(text, "");
    ++calls;
    err = calls >= giveUpAfter ? 70 : 0;
  }
  int calls = 0;
  int giveUpAfter = 1000;
};

TEST_F(RecordsTest, SharingConflictsRetryBoundedAndGiveUp) {
  const int16_t h = Create("SH.DBF", {{"C", 2, 0, "A"}}, 54);  // exclusive, header held
  RetryCounting other(host, pool);
  int16_t err = -1, handle = 0, type = 3;
  std::string name = Path("SH");
  other.giveUpAfter = 3;
  other.DbfOpen(handle, err, name, type, 16);
  EXPECT_EQ(err, 70);
  EXPECT_EQ(other.calls, 3);
  EXPECT_TRUE(other.SlotAt(handle)->IsFree());

  other.calls = 0;
  other.giveUpAfter = 1000;
  other.DbfOpen(handle, err, name, type, 0);
  EXPECT_EQ(err, 70);
  EXPECT_EQ(other.calls, 10) << "the retry is bounded";
  Close(h);

  other.DbfOpen(handle, err, name, type, 16);
  EXPECT_EQ(err, 0);
  other.DbfClose(handle, err, 0);
  EXPECT_EQ(err, 0);
}

class SharedAppends : public DbfEngine {
 public:
  using DbfEngine::DbfEngine;
  void DbfBeforeSharedAppend(int16_t, int16_t& err, int32_t newRecord, int32_t) override {
    before.push_back(newRecord);
    err = refuse;
  }
  void DbfAfterSharedAppend(int16_t, int16_t& err, int32_t& count, int32_t newRecord) override {
    after.emplace_back(count, newRecord);
    err = 0;
  }
  std::vector<int32_t> before;
  std::vector<std::pair<int32_t, int32_t>> after;
  int16_t refuse = 0;
};

TEST_F(RecordsTest, SharedAppendsRunTheHooks) {
  SharedAppends e(host, pool);
  int16_t handle = 0, err = -1;
  e.DbfCreate(Path("HOOK"), handle, Defs({{"C", 2, 0, "A"}}), 18, err);
  ASSERT_EQ(err, 0);
  std::vector<std::string> values = {"", "ab"};
  int32_t rec = 0;
  e.DbfAppendFields(handle, err, 0, values, rec);
  ASSERT_EQ(err, 0);
  e.refuse = 150;
  rec = 0;
  e.DbfAppendFields(handle, err, 0, values, rec);
  EXPECT_EQ(err, 150);
  EXPECT_EQ(e.before, (std::vector<int32_t>{1, 2}));
  ASSERT_EQ(e.after.size(), 1u);
  EXPECT_EQ(e.after[0], std::make_pair(1, 1));
  e.DbfClose(handle, err, 0);
  EXPECT_EQ(err, 0);
}

TEST_F(RecordsTest, SharedFilesSeeEachOthersAppends) {
  const int16_t a = Create("BOTH.DBF", {{"C", 3, 0, "A"}}, 18);
  DbfEngine other(host, pool);
  int16_t err = -1;
  int16_t b = 0, type = 3;
  std::string name = Path("both");
  other.DbfOpen(b, err, name, type, 16);
  ASSERT_EQ(err, 0);
  std::vector<std::string> values = {"", "one"};
  int32_t rec = 0;
  other.DbfAppendFields(b, err, 0, values, rec);
  ASSERT_EQ(err, 0);
  std::string buf;
  rec = 0;
  engine->DbfReadRecord(a, err, rec, buf);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(buf, " one");
  rec = 0;
  engine->DbfAppendFields(a, err, 0, values = {"", "two"}, rec);
  EXPECT_EQ(rec, 2);
  other.DbfClose(b, err, 0);
  EXPECT_EQ(err, 0);
  Close(a);
  EXPECT_EQ(ReadAll(Path("BOTH.DBF")).size(), 65u + 8u);
}

TEST_F(RecordsTest, EngineDestructionKeepsAppendedRecords) {
  const int16_t h = Create("LEFT.DBF", {{"C", 2, 0, "A"}});
  Append(h, {"", "xy"});
  engine.reset();
  const std::string bytes = ReadAll(Path("LEFT.DBF"));
  ASSERT_EQ(bytes.size(), 32u + 32 + 1 + 3);
  EXPECT_EQ(bytes[4], 1);
}

}  // namespace
}  // namespace kelvarin::dbf::testing
