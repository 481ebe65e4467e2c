// Opening files: names, request words, existence, versions, descriptors,
// terminators and malformed headers.
#include "platform/text/codepage.h"
#include "engine_fixture.h"

namespace kelvarin::dbf::testing {
namespace {

using Fields = std::vector<std::tuple<std::string, char, int, int>>;

class OpenTest : public EngineTest {
 protected:
  // Writes bytes as name and opens it with request 4; returns err.
  // The previous file's handle is closed first: the file is open once only.
  int16_t OpenBytes(const std::string& bytes, int16_t* fileType = nullptr, int16_t request = 4) {
    if (lastHandle != 0 && !engine->SlotAt(lastHandle)->IsFree()) {
      int16_t err = -1;
      engine->DbfClose(lastHandle, err, 2);
    }
    WriteAll(Path("T.DBF"), bytes);
    int16_t handle = 0, err = -1, type = 3;
    std::string name = Path("T.DBF");
    engine->DbfOpen(handle, err, name, type, request);
    if (fileType) *fileType = type;
    lastHandle = handle;
    return err;
  }
  int16_t lastHandle = 0;
};

TEST_F(OpenTest, NamesAreUpperCasedAndGetDbfWhenTheyHaveNoExtension) {
  std::string name = "  " + Path("sales") + "  ";
  int16_t handle = 0, err = -1, type = 3;
  engine->DbfOpen(handle, err, name, type, 6);
  ASSERT_EQ(err, 0);
  // The name comes back upper-cased, folder and all...
  EXPECT_EQ(name, platform::AnsiUpperString(Path("sales")) + ".DBF");
  EXPECT_EQ(engine->SlotAt(handle)->FileName, name);
  Close(handle);
  // ...but the new file keeps the letters it was given.
  EXPECT_TRUE(std::filesystem::exists(Path("sales.DBF")));

  std::string txt = Path("sales.txt");
  engine->DbfOpen(handle, err, txt, type, 6);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(txt.substr(txt.size() - 9), "SALES.TXT");
  Close(handle);
  EXPECT_TRUE(std::filesystem::exists(Path("sales.txt")));

  // The upper-cased name opens the same file again.
  engine->DbfOpen(handle, err, txt, type, 0);
  EXPECT_EQ(err, 115);  // found, and empty
}

// Paths come from file dialogs: folders and names in UTF-8 work as picked,
// and the upper-cased name never breaks a UTF-8 character into bytes.
TEST_F(OpenTest, Utf8PathsWorkAsPicked) {
  const std::string folder = Path("\xC3\x9C" "bung \xE2\x82\xAC");  // "Übung €"
  std::filesystem::create_directory(folder);
  std::string name = folder + "/n\xE2\x82\xAC \xC3\xA4.dbf";  // "n€ ä.dbf"
  const std::string picked = name;
  int16_t handle = 0, err = -1, type = 3;
  engine->DbfCreate(name, handle, Defs({{"C", 2, 0, "A"}}), 6, err);
  ASSERT_EQ(err, 0);
  Append(handle, {"", "ok"});
  Close(handle);
  EXPECT_TRUE(std::filesystem::exists(picked));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);

  engine->DbfOpen(handle, err, name, type, 0);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(name, platform::AnsiUpperString(Path("")) + "\xC3\x9C" "BUNG \xE2\x82\xAC/N\xE2\x82\xAC \xC3\x84.DBF");
  Close(handle);
  // The upper-cased name finds the file, and so does the same path held as
  // Windows-1252 text.
  engine->DbfOpen(handle, err, name, type, 8);
  ASSERT_EQ(err, 0);
  Close(handle);
  std::string ansi = Path("\xDC" "bung \x80/N\x80 \xC4.DBF");
  engine->DbfOpen(handle, err, ansi, type, 8);
  ASSERT_EQ(err, 0);
  std::string buf;
  int32_t rec = 1;
  engine->DbfReadRecord(handle, err, rec, buf);
  EXPECT_EQ(buf, " ok");
  Close(handle);
}

// Where the exact path exists it wins over names that differ only in case.
TEST_F(OpenTest, TheExactNameWinsOverCaseBlindMatches) {
  WriteAll(Path("Data.dbf"), MakeDbf(0x03, {{"A", 'C', 1, 0}}, {" 1"}));
  WriteAll(Path("data.dbf"), MakeDbf(0x03, {{"A", 'C', 1, 0}}, {" 2"}));
  for (const auto& [given, record] : {std::pair<std::string, std::string>{"Data.dbf", " 1"}, {"data.dbf", " 2"}}) {
    int16_t err = -1;
    const int16_t h = Open(Path(given), 8, err);
    ASSERT_EQ(err, 0);
    std::string buf;
    int32_t rec = 1;
    engine->DbfReadRecord(h, err, rec, buf);
    EXPECT_EQ(buf, record) << given;
    Close(h);
  }
}

TEST_F(OpenTest, RefusedRequestWordsFreeTheirSlotAtOnce) {
  for (int16_t request : {20, 23, 28, 31, 36, 39, 44, 47, 64, -1, 200}) {
    int16_t err = -1;
    const int16_t handle = Open(Path("r"), request, err);
    EXPECT_EQ(err, 117) << request;
    EXPECT_EQ(handle, 1);
    EXPECT_TRUE(engine->SlotAt(1)->IsFree()) << request;
  }
  EXPECT_FALSE(std::filesystem::exists(Path("R.DBF")));
}

TEST_F(OpenTest, ExistenceRules) {
  int16_t err = -1;
  Open(Path("missing"), 0, err);
  EXPECT_EQ(err, 53);
  EXPECT_TRUE(engine->SlotAt(1)->IsFree());

  const int16_t h = Create("EXIST.DBF", {{"C", 5, 0, "A"}});
  Append(h, {"", "hello"});
  Close(h);
  Open(Path("exist"), 1, err);
  EXPECT_EQ(err, 58);
  EXPECT_TRUE(engine->SlotAt(1)->IsFree());

  // Request 6 on an existing file empties it.
  const int16_t again = Open(Path("exist"), 6, err);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(std::filesystem::file_size(Path("EXIST.DBF")), 0u);
  Close(again);
}

TEST_F(OpenTest, AcceptedVersionsAndFileKinds) {
  const Fields c10 = {{"NAME", 'C', 10, 0}};
  int16_t type = 0;
  EXPECT_EQ(OpenBytes(MakeDbf(0x03, c10, {}), &type), 0);
  EXPECT_EQ(type, 3);
  EXPECT_EQ(OpenBytes(MakeDbf(0x63, c10, {}), &type), 0);
  EXPECT_EQ(type, 4);
  EXPECT_EQ(OpenBytes(MakeDbf(0x83, {{"M", 'M', 10, 0}}, {}), &type), 0);
  EXPECT_EQ(type, 3);
  EXPECT_EQ(OpenBytes(MakeDbf(0x8B, {{"M", 'M', 10, 0}}, {}), &type), 0);
  EXPECT_EQ(type, 4);
  EXPECT_EQ(OpenBytes(MakeDbf(0x03, {{"N", 'N', 20, 2}}, {}), &type), 0);
  EXPECT_EQ(type, 4);
  EXPECT_EQ(OpenBytes(MakeDbf(0x03, {{"F", 'F', 12, 3}}, {}), &type), 0);
  EXPECT_EQ(type, 4);
  for (uint8_t bad : {0x30, 0x31, 0x04, 0x00, 0xF5})
    EXPECT_EQ(OpenBytes(MakeDbf(bad, c10, {})), 115) << int(bad);
  EXPECT_TRUE(engine->SlotAt(lastHandle)->IsFree());
}

TEST_F(OpenTest, DescriptorRules) {
  EXPECT_EQ(OpenBytes(MakeDbf(0x03, {{"A", 'C', 0, 0}}, {})), 110);
  EXPECT_EQ(OpenBytes(MakeDbf(0x03, {{"A", 'C', 255, 0}}, {})), 110);
  EXPECT_EQ(OpenBytes(MakeDbf(0x03, {{"A", 'N', 21, 0}}, {})), 110);
  EXPECT_EQ(OpenBytes(MakeDbf(0x03, {{"A", 'D', 10, 0}}, {})), 110);
  EXPECT_EQ(OpenBytes(MakeDbf(0x03, {{"A", 'L', 2, 0}}, {})), 110);
  EXPECT_EQ(OpenBytes(MakeDbf(0x03, {{"A", 'M', 8, 0}}, {})), 110);
  EXPECT_EQ(OpenBytes(MakeDbf(0x03, {{"A", 'X', 5, 0}}, {})), 115);
  EXPECT_EQ(OpenBytes(MakeDbf(0x03, {{"A", 'c', 5, 0}}, {})), 115);
  EXPECT_EQ(OpenBytes(MakeDbf(0x03, {}, {})), 115);  // no fields at all
  EXPECT_TRUE(engine->SlotAt(1)->IsFree());
}

TEST_F(OpenTest, FieldTableAndComputedRecordLength) {
  std::string bytes = MakeDbf(0x03, {{"NAME", 'C', 10, 0}, {"WHEN", 'D', 8, 0}, {"OK", 'L', 1, 0}},
                              {" Smith     19971115T"});
  bytes[10] = 99;  // the header's record length disagrees with the descriptors
  ASSERT_EQ(OpenBytes(bytes), 0);
  const DbfSlot* slot = engine->SlotAt(lastHandle);
  EXPECT_EQ(slot->FieldCount, 3);
  EXPECT_EQ(slot->Header.RecordLength, 20);
  EXPECT_EQ(slot->Header.HeaderLength, 129);
  EXPECT_EQ(engine->FieldDescAt(lastHandle, 1)->Offset, 2);
  EXPECT_EQ(engine->FieldDescAt(lastHandle, 2)->Offset, 12);
  EXPECT_EQ(engine->FieldDescAt(lastHandle, 3)->Offset, 20);
  EXPECT_EQ(engine->FieldDescAt(lastHandle, 1)->FieldName, std::string("NAME\0\0\0\0\0\0", 10));
  std::string buf;
  int32_t rec = 0;
  int16_t err = -1;
  engine->DbfReadRecord(lastHandle, err, rec, buf);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(buf, " Smith     19971115T");
}

TEST_F(OpenTest, RecordLengthStaysComputedWhenTheHeaderIsReRead) {
  std::string bytes = MakeDbf(0x03, {{"A", 'C', 3, 0}}, {" abc", " def"});
  bytes[10] = 7;
  ASSERT_EQ(OpenBytes(bytes, nullptr, 0), 0);  // header not held
  std::string buf;
  int32_t rec = 2;
  int16_t err = -1;
  engine->DbfReadRecord(lastHandle, err, rec, buf);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(buf, " def");
}

TEST_F(OpenTest, TerminatorVariants) {
  const Fields f = {{"A", 'C', 3, 0}};
  // One extra byte after 0x0D: header length 32n + 34.
  std::string extra = MakeDbf(0x03, f, {" abc"}, 1);
  ASSERT_EQ(OpenBytes(extra), 0);
  std::string buf;
  int32_t rec = 1;
  int16_t err = -1;
  engine->DbfReadRecord(lastHandle, err, rec, buf);
  EXPECT_EQ(buf, " abc");

  // 0x1A two bytes before the records.
  std::string sub = MakeDbf(0x03, f, {" abc"}, 1);
  sub[64] = 0x1A;
  EXPECT_EQ(OpenBytes(sub), 0);

  // Neither 0x0D nor 0x1A where a terminator belongs.
  std::string none = MakeDbf(0x03, f, {" abc"});
  none[64] = 0x0A;
  EXPECT_EQ(OpenBytes(none), 115);
  std::string gap = MakeDbf(0x03, f, {" abc"}, 1);
  gap[64] = 0x00;
  EXPECT_EQ(OpenBytes(gap), 115);
}

TEST_F(OpenTest, MalformedFilesGiveCodes) {
  const std::string good = MakeDbf(0x03, {{"A", 'C', 3, 0}, {"B", 'N', 4, 1}}, {" abc12.5"});
  EXPECT_EQ(OpenBytes(""), 115);
  EXPECT_EQ(OpenBytes(good.substr(0, 20)), 115);  // header shorter than 32 bytes
  EXPECT_EQ(OpenBytes(good.substr(0, 40)), 115);  // descriptors cut off
  EXPECT_EQ(OpenBytes(good.substr(0, 96)), 115);  // terminator missing at the end
  std::string past = good;
  past[8] = static_cast<char>(200);  // header length past the end of the file
  EXPECT_EQ(OpenBytes(past), 115);
  std::string huge = good;
  huge[8] = 0x40;  // 257 fields claimed
  huge[9] = 0x20;
  EXPECT_EQ(OpenBytes(huge), 116);
  std::string negative = good;
  negative[9] = static_cast<char>(0x90);  // header length above 32767
  EXPECT_EQ(OpenBytes(negative), 115);
  std::string unnamed = good;
  std::fill(unnamed.begin() + 32, unnamed.begin() + 43, 'Z');  // name without its 0x00
  EXPECT_EQ(OpenBytes(unnamed), 0);
  EXPECT_EQ(engine->FieldDescAt(lastHandle, 1)->FieldName, "ZZZZZZZZZZ");

  // The header counts more records than the file holds.
  std::string longCount = good;
  longCount[4] = 3;
  ASSERT_EQ(OpenBytes(longCount), 0);
  std::string buf;
  int16_t err = -1;
  int32_t rec = 1;
  engine->DbfReadRecord(lastHandle, err, rec, buf);
  EXPECT_EQ(err, 0);
  rec = 2;
  engine->DbfReadRecord(lastHandle, err, rec, buf);
  EXPECT_EQ(err, 62);
  rec = 3;
  engine->DbfReadRecord(lastHandle, err, rec, buf);
  EXPECT_EQ(err, 62);
}

TEST_F(OpenTest, HugeRecordCountsNeverWriteIntoTheHeader) {
  for (uint8_t top : {0x7F, 0xFF}) {
    std::string bytes = MakeDbf(0x03, {{"A", 'C', 3, 0}}, {" abc"});
    bytes[4] = bytes[5] = bytes[6] = static_cast<char>(0xFF);
    bytes[7] = static_cast<char>(top);
    ASSERT_EQ(OpenBytes(bytes), 0);
    std::vector<std::string> values = {"", "xyz"};
    int16_t err = -1;
    int32_t rec = 0;
    engine->DbfAppendFields(lastHandle, err, 0, values, rec);
    EXPECT_EQ(err, 6);
    engine->DbfClose(lastHandle, err, 2);
    EXPECT_EQ(ReadAll(Path("T.DBF")), bytes);
  }
}

TEST_F(OpenTest, TooManyFieldsForTheTable) {
  int16_t err = 0;
  engine->DbfConfig("MAXFLDS", err, "2");
  EXPECT_EQ(OpenBytes(MakeDbf(0x03, {{"A", 'C', 1, 0}, {"B", 'C', 1, 0}, {"C", 'C', 1, 0}}, {})), 116);
  EXPECT_EQ(OpenBytes(MakeDbf(0x03, {{"A", 'C', 1, 0}, {"B", 'C', 1, 0}}, {})), 0);
}

TEST_F(OpenTest, HeaderOnlyOpenReadsNoDescriptors) {
  ASSERT_EQ(OpenBytes(MakeDbf(0x03, {{"A", 'C', 3, 0}}, {" abc"}), nullptr, 3), 0);
  const DbfSlot* slot = engine->SlotAt(lastHandle);
  EXPECT_EQ(slot->FieldCount, 0);
  EXPECT_EQ(slot->Header.RecordCount, 1);
  EXPECT_EQ(slot->FileType, 3);
}

TEST_F(OpenTest, HandleChecks) {
  int16_t err = -1;
  std::string buf;
  int32_t rec = 1;
  engine->DbfReadRecord(0, err, rec, buf);
  EXPECT_EQ(err, 104);
  engine->DbfReadRecord(11, err, rec, buf);
  EXPECT_EQ(err, 104);
  engine->DbfReadRecord(2, err, rec, buf);
  EXPECT_EQ(err, 105);
  const int16_t h = Create("H.DBF", {{"C", 1, 0, "A"}});
  Close(h);
  engine->DbfClose(h, err, 0);
  EXPECT_EQ(err, 105);
  int16_t fieldNo = 1, len = 0, dec = 0;
  std::string name, type;
  engine->DbfFieldInfo(h, err, fieldNo, name, type, len, dec);
  EXPECT_EQ(err, 105);
}

TEST_F(OpenTest, FileNumbersAboveVbFilesGive100) {
  int16_t err = 0;
  engine->DbfInit();
  // Take every number the engine may use.
  std::vector<int> taken;
  for (int n = 1; n <= engine->VbFiles(); ++n) {
    ASSERT_EQ(pool.Open(n, Path("filler"), platform::FileAccess::ReadWrite,
                        platform::FileShare::NoClause, platform::FileCreate::OpenOrCreate), 0);
  }
  Open(Path("x"), 6, err);
  EXPECT_EQ(err, 100);
  pool.CloseAll();
}

}  // namespace
}  // namespace kelvarin::dbf::testing
