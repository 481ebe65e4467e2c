// Start-up, configuration, error texts and the small conversions.
#include "engine_fixture.h"

namespace kelvarin::dbf::testing {
namespace {

TEST_F(EngineTest, InitGivesDefaultsAndFreeSlots) {
  engine->DbfInit();
  ASSERT_TRUE(engine->EngineReady());
  EXPECT_EQ(engine->MaxDbfs(), 10);
  EXPECT_EQ(engine->MaxFlds(), 256);
  EXPECT_EQ(engine->MaxDbts(), 10);
  EXPECT_EQ(engine->MaxNdxs(), 10);
  EXPECT_EQ(engine->MaxBufs(), 120);
  EXPECT_EQ(engine->VbFiles(), 40);
  EXPECT_EQ(engine->DateFormat(), "A7");
  EXPECT_EQ(engine->AllocatedSlots(), 10);
  EXPECT_EQ(engine->AllocatedDbts(), 10);
  EXPECT_EQ(engine->AllocatedNdxs(), 10);
  EXPECT_EQ(engine->AllocatedBuffers(), 120);
  for (int16_t h = 1; h <= 10; ++h) EXPECT_TRUE(engine->SlotAt(h)->IsFree());
  EXPECT_EQ(engine->FieldDescAt(10, 256)->FieldLength, 0);
  EXPECT_EQ(engine->FieldDescAt(11, 1), nullptr);
  EXPECT_EQ(engine->FieldDescAt(1, 257), nullptr);
  EXPECT_TRUE(host.Transcript().empty());
}

TEST_F(EngineTest, DayFirstFollowsTheShortDatePattern) {
  host.MutableLocale().shortDate = "  dd.MM.yyyy";
  engine->DbfInit();
  EXPECT_TRUE(engine->DayFirst());

  platform::ScriptedHost other;
  other.MutableLocale().shortDate = "M/d/yyyy";
  DbfEngine second(other, pool);
  second.DbfInit();
  EXPECT_FALSE(second.DayFirst());
}

TEST_F(EngineTest, ConfigKeywordsAndClamps) {
  int16_t err = 77;
  engine->DbfConfig("maxflds", err, "0");
  EXPECT_EQ(engine->MaxFlds(), 128);
  engine->DbfConfig("MAXFLDS", err, "999");
  EXPECT_EQ(engine->MaxFlds(), 256);
  engine->DbfConfig("MAXBUFS", err, "10");
  EXPECT_EQ(engine->MaxBufs(), 120);
  engine->DbfConfig("MAXDBFS", err, "-4");
  EXPECT_EQ(engine->MaxDbfs(), 1);
  engine->DbfConfig("MAXDBTS", err, "0");
  EXPECT_EQ(engine->MaxDbts(), 1);
  engine->DbfConfig("MAXNDXS", err, " 2.5");  // rounds half to even
  EXPECT_EQ(engine->MaxNdxs(), 2);
  engine->DbfConfig("date", err, "german");
  EXPECT_EQ(engine->DateFormat(), "A13");
  engine->DbfConfig("DATE", err, "british");
  EXPECT_EQ(engine->DateFormat(), "A12");
  engine->DbfConfig("DATE", err, "DBASE");
  EXPECT_EQ(engine->DateFormat(), "A0");
  engine->DbfConfig("DATE", err, "KLINGON");
  EXPECT_EQ(engine->DateFormat(), "A7");
  engine->DbfConfig("CHARACTERS", err, "ansi");
  EXPECT_TRUE(engine->CharsAnsi());
  engine->DbfConfig("DELAY", err, "5");
  engine->DbfConfig("NONSENSE", err, "5");
  EXPECT_EQ(err, 77) << "DbfConfig leaves err alone";

  engine->DbfConfig("TEXTLIMIT", err, "80");
  EXPECT_EQ(host.Transcript(), std::vector<std::string>{"FocusMessage(1045,80)"});

  engine->DbfConfig("MAXDBFS", err, "40000");
  EXPECT_EQ(err, 6);
  EXPECT_EQ(engine->MaxDbfs(), 1);
}

TEST_F(EngineTest, VbFilesIsRaisedToTheTableNeedsAndGrantedByThePool) {
  int16_t err = 0;
  engine->DbfConfig("VBFILES", err, "5");
  engine->DbfInit();
  EXPECT_EQ(engine->VbFiles(), 30);
  engine->DbfConfig("VBFILES", err, "1000");
  EXPECT_EQ(engine->VbFiles(), platform::FilePool::kHardLimit);
}

TEST_F(EngineTest, MaxDbfsBeforeTheFirstOperationSizesTheSlotTable) {
  int16_t err = 0;
  engine->DbfConfig("MAXDBFS", err, "3");
  for (int i = 1; i <= 3; ++i) {
    int16_t handle = Open(Path("f" + std::to_string(i)), 6, err);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(handle, i);
  }
  Open(Path("f4"), 6, err);
  EXPECT_EQ(err, 101);
  // A later setting changes the number but never reaches past the table.
  engine->DbfConfig("MAXDBFS", err, "50");
  Open(Path("f5"), 6, err);
  EXPECT_EQ(err, 101);
  std::string buf;
  int32_t rec = 1;
  engine->DbfReadRecord(40, err, rec, buf);
  EXPECT_EQ(err, 104);
}

TEST_F(EngineTest, ShortageShrinksTablesAndBuffersGoUnbuffered) {
  engine->SetAllocationProbe([](DbfTable table, int count) {
    if (table == DbfTable::BufferPool) return true;  // no buffers at all
    if (table == DbfTable::SlotTables) return count > 4;
    return false;
  });
  engine->DbfInit();
  ASSERT_TRUE(engine->EngineReady());
  EXPECT_EQ(engine->MaxBufs(), 0);
  EXPECT_EQ(engine->MaxDbfs(), 4);
  EXPECT_EQ(engine->AllocatedSlots(), 4);
  EXPECT_EQ(host.Transcript(),
            std::vector<std::string>{
                "MsgBox(OK,Exclamation,\"Internal Error\"): Insufficient memory to create index "
                "internal buffers.\rIndex files will be non-buffered only."});
}

TEST_F(EngineTest, FatalStartFailuresShowTheirBoxAndStopTheEngine) {
  engine->SetAllocationProbe([](DbfTable table, int) { return table == DbfTable::DbtSlots; });
  int16_t err = 0;
  Open(Path("x"), 6, err);
  EXPECT_EQ(err, 101);
  EXPECT_TRUE(engine->FatalFailure());
  EXPECT_FALSE(engine->EngineReady());
  EXPECT_EQ(host.MessageTexts(),
            std::vector<std::string>{
                "Unexpected Application Error\rInsufficient memory to create internal memo file buffers."});
  // Later operations keep failing without another box.
  Open(Path("x"), 6, err);
  EXPECT_EQ(err, 101);
  EXPECT_EQ(host.MessageTexts().size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(Path("X.DBF")));
}

TEST_F(EngineTest, TooFewFileHandlesIsFatal) {
  platform::FilePool small(10);
  platform::ScriptedHost h;
  DbfEngine e(h, small);
  // The pool grants at most its hard limit; ask for more than that.
  int16_t err = 0;
  e.DbfConfig("MAXDBFS", err, "200");
  e.DbfConfig("MAXNDXS", err, "100");
  e.DbfInit();
  EXPECT_EQ(e.FatalCode(), 100);
  EXPECT_EQ(h.MessageTexts(),
            std::vector<std::string>{
                "Unexpected Application Error\rCouldn't allocate enough Windows file handles."});
}

TEST(DbfErrorTextTest, FormatAndTables) {
  std::string msg;
  DbfEngine::DbfErrorText(104, msg);
  EXPECT_EQ(msg, "Error 104\r\nInvalid file Handle");
  DbfEngine::DbfErrorText(0, msg);
  EXPECT_EQ(msg, "Error 0\r\nNo errors detected");
  DbfEngine::DbfErrorText(70, msg);
  EXPECT_EQ(msg, "Error 70\r\nRecord or file locking error");
  DbfEngine::DbfErrorText(132, msg);
  EXPECT_EQ(msg, "Error 132\r\nQuoataion mark missing from literal");
  DbfEngine::DbfErrorText(53, msg);
  EXPECT_EQ(msg, "Error 53\r\nFile not found");
  DbfEngine::DbfErrorText(58, msg);
  EXPECT_EQ(msg, "Error 58\r\nFile already exists");
  DbfEngine::DbfErrorText(6, msg);
  EXPECT_EQ(msg, "Error 6\r\nOverflow");
  DbfEngine::DbfErrorText(62, msg);
  EXPECT_EQ(msg, "Error 62\r\nInput past end of file");
  DbfEngine::DbfErrorText(-3, msg);
  EXPECT_EQ(msg, "Error -3\r\nApplication-defined or object-defined error");
}

TEST(DbfStrToIntegerTest, LittleEndianOfTheFirstTwoCharacters) {
  EXPECT_EQ(DbfEngine::DbfStrToInteger(std::string("\x16\x00", 2)), 22);
  EXPECT_EQ(DbfEngine::DbfStrToInteger(std::string("\x04\x01", 2)), 260);
  EXPECT_EQ(DbfEngine::DbfStrToInteger(std::string("\x04", 1)), 4 + 32 * 256);  // blank-padded
  EXPECT_EQ(DbfEngine::DbfStrToInteger(""), 0x2020);
  EXPECT_EQ(DbfEngine::DbfStrToInteger("\xFF\xFF"), -1);
}

}  // namespace
}  // namespace kelvarin::dbf::testing
