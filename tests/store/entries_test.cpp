// Reading and writing entries, memos and computed fields.
#include <gtest/gtest.h>

#include <filesystem>

#include "store_fixture.h"

namespace kelvarin::store {
namespace {

using test_support::CatalogBuilder;
using test_support::ReadFileBytes;

std::string CutShort(int whole) {
  return "The data file of catalog ENT is shorter than its entry count; only its " + std::to_string(whole) +
         " complete entries are kept.";
}

class EntriesTest : public StoreTest {
 protected:
  void Build(int entries) {
    CatalogBuilder cat(dir_.path(), "ENT");
    cat.Field(0, "Name", 12, KindKey).Field(1, "Amount", 8, KindSummed).Field(2, "Rate", 6);
    for (int i = 1; i <= entries; ++i) cat.Entry({"Name" + std::to_string(i), std::to_string(i * 10)});
    ASSERT_TRUE(cat.Write());
    ASSERT_TRUE(store_.OpenCatalog("ENT"));
  }
  EntryRecord Read(float n) {
    EntryRecord e;
    EXPECT_TRUE(store_.ReadEntry(e, store_.CatalogHeader, n, store_.DatFile)) << n;
    return e;
  }
};

TEST_F(EntriesTest, EntryNumbersBelowOneAreRefused) {
  Build(2);
  const std::string before = ReadFileBytes(File("ENT.DAT"));
  EntryRecord e;
  e.FieldText[0] = "unchanged";
  // Fractions below 1 name no entry either: they must not reach entry 1.
  for (float n : {0.0f, -3.0f, 0.7f, 0.5f}) {
    host_.AnswerMsgBox(platform::MsgAnswer::OK, "Bad RecNum");
    EXPECT_FALSE(store_.ReadEntry(e, store_.CatalogHeader, n, store_.DatFile)) << n;
    host_.AnswerMsgBox(platform::MsgAnswer::OK, "Bad RecNum");
    EXPECT_FALSE(store_.WriteEntry(e, store_.CatalogHeader, n, store_.DatFile)) << n;
  }
  EXPECT_EQ(e.FieldText[0], "unchanged");
  EXPECT_EQ(ReadFileBytes(File("ENT.DAT")), before);
  EXPECT_TRUE(store_.ReadEntry(e, store_.CatalogHeader, 1.0f, store_.DatFile));
}

TEST_F(EntriesTest, WritingAnEntryTouchesOnlyItsOwnRecord) {
  Build(3);
  std::string before = ReadFileBytes(File("ENT.DAT"));
  EntryRecord e = Read(2);
  e.FieldText[0] = "A text much longer than its field";  // cut to 12
  e.FieldText[1] = "7";                                  // padded to 8
  e.Status = StatusDeleted;
  ASSERT_TRUE(store_.WriteEntry(e, store_.CatalogHeader, 2, store_.DatFile));
  std::string after = ReadFileBytes(File("ENT.DAT"));
  const size_t len = 54;
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(after.substr(0, 2 * len), before.substr(0, 2 * len));
  EXPECT_EQ(after.substr(3 * len), before.substr(3 * len));
  EntryRecord back = Read(2);
  EXPECT_EQ(back.FieldText[0], "A text much ");
  EXPECT_EQ(back.FieldText[1], "7       ");
  EXPECT_EQ(back.Status, StatusDeleted);
}

TEST_F(EntriesTest, SequentialReadsSeeEarlierWrites) {
  Build(50);
  for (float n = 1; n <= 20; ++n) Read(n);  // the read-ahead now holds 21..
  EntryRecord e = Read(30);
  e.FieldText[0] = "Changed     ";
  ASSERT_TRUE(store_.WriteEntry(e, store_.CatalogHeader, 30, store_.DatFile));
  for (float n = 21; n <= 30; ++n) Read(n);
  EXPECT_EQ(Read(30).FieldText[0], "Changed     ");
  EXPECT_EQ(Read(50).FieldText[1], "500     ");

  // A write through another file number of the same data file (as copying
  // or purging may do) is seen by the next read of the open catalog.
  for (float n = 1; n <= 5; ++n) Read(n);
  int16_t other = store_.OpenFileChecked(File("ENT.DAT"), 5, 54, 0);
  ASSERT_GT(other, 0);
  e.FieldText[0] = "Elsewhere   ";
  ASSERT_TRUE(store_.WriteEntry(e, store_.CatalogHeader, 7, other));
  EntryRecord viaOther;
  ASSERT_TRUE(store_.ReadEntry(viaOther, store_.CatalogHeader, 7, other));
  EXPECT_EQ(viaOther.FieldText[0], "Elsewhere   ");
  pool_.Close(other);
  EXPECT_EQ(Read(6).FieldText[0], "Name6       ");
  EXPECT_EQ(Read(7).FieldText[0], "Elsewhere   ");
  EntryRecord past;
  EXPECT_FALSE(store_.ReadEntry(past, store_.CatalogHeader, 51, store_.DatFile));
  EXPECT_FALSE(store_.ReadEntry(past, store_.CatalogHeader, 1, 99));  // file not open

  // A header whose record length disagrees with its fields reads nothing.
  DatHeader wrong = store_.CatalogHeader;
  wrong.RecordLength = 20;
  EXPECT_FALSE(store_.ReadEntry(past, wrong, 1, store_.DatFile));
  EXPECT_FALSE(store_.WriteEntry(past, wrong, 1, store_.DatFile));
}

TEST_F(EntriesTest, ClosingWritesTheEntryCount) {
  Build(2);
  EntryRecord e = Read(1);
  ASSERT_TRUE(store_.WriteEntry(e, store_.CatalogHeader, 3, store_.DatFile));
  store_.CatalogHeader.EntryCount = 3;
  store_.CloseCatalog();
  EXPECT_EQ(store_.DatFile, 0);
  EXPECT_FALSE(pool_.IsOpen(1));
  ASSERT_TRUE(store_.OpenCatalog("ENT"));
  EXPECT_EQ(store_.CatalogHeader.EntryCount, 3.0f);
}

// A catalog of its header alone, whatever its record length, is empty and
// whole: no warning at any open. A file cut inside its entries still warns.
TEST_F(EntriesTest, AnEmptyCatalogOpensWithoutAWarning) {
  CatalogBuilder cat(dir_.path(), "EMPTY");
  cat.Field(0, "Name", 60);
  ASSERT_TRUE(cat.Write());
  ASSERT_TRUE(std::filesystem::file_size(File("EMPTY.DAT")) >= 54);
  std::filesystem::resize_file(File("EMPTY.DAT"), 54);
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(store_.OpenCatalog("EMPTY"));
    EXPECT_EQ(store_.CatalogHeader.EntryCount, 0.0f);
    store_.CloseCatalog();
  }
  EXPECT_TRUE(host_.MessageTexts().empty());

  Build(3);
  store_.CloseCatalog();
  std::filesystem::resize_file(File("ENT.DAT"), 54 * 3 + 10);
  host_.AnswerMsgBox(platform::MsgAnswer::OK, CutShort(2));
  ASSERT_TRUE(store_.OpenCatalog("ENT"));
  EXPECT_EQ(store_.CatalogHeader.EntryCount, 2.0f);
}

// Cut by another program while open: the read that meets the cut, out of
// order (from the map) or in order, fails and tells it, never faults.
TEST_F(EntriesTest, ADataFileCutWhileOpenIsToldByTheReadThatMeetsTheCut) {
  Build(300);  // 16 KB: its last pages lie wholly past the cuts
  Read(250);
  EntryRecord e;
  for (int whole : {2, 1}) {
    std::filesystem::resize_file(File("ENT.DAT"), 54 * (whole + 1) + 10);
    host_.AnswerMsgBox(platform::MsgAnswer::OK, CutShort(whole));
    if (whole == 1) Read(1);  // the next read is the one in order
    EXPECT_FALSE(store_.ReadEntry(e, store_.CatalogHeader, whole == 2 ? 299.0f : 2.0f, store_.DatFile));
    EXPECT_EQ(store_.CatalogHeader.EntryCount, static_cast<float>(whole));
  }
}

TEST_F(EntriesTest, MemosByNumber) {
  CatalogBuilder cat(dir_.path(), "MEMO");
  cat.Field(0, "Name", 5);
  cat.Entry({"a"});
  cat.Entry({"b"});
  cat.Memo(1, "first   ");
  cat.Memo(2, std::string(1420, 'x'));
  ASSERT_TRUE(cat.Write());
  ASSERT_TRUE(store_.OpenCatalog("MEMO"));
  EXPECT_EQ(store_.ReadMemo(1), "first");
  // None below 1 nor beyond the memo file; the memos read after them are whole.
  for (float n : {0.0f, 0.6f, -1.0f, 3.0f, 1e30f}) EXPECT_EQ(store_.ReadMemo(n), "") << n;
  EXPECT_FALSE(store_.WriteMemo(0.9f, "lost"));
  EXPECT_EQ(store_.ReadMemo(1), "first");
  EXPECT_EQ(store_.ReadMemo(2), std::string(1420, 'x'));

  // With no catalog open there is no memo file to write.
  store_.CloseCatalog();
  EXPECT_FALSE(store_.WriteMemo(1, "lost"));
  EXPECT_FALSE(std::filesystem::exists(File(".MEM")));
}

TEST_F(EntriesTest, ComputedFields) {
  Build(0);
  EntryRecord e;
  e.FieldText[0] = "  12.5 apples";
  e.FieldText[1] = "4";
  e.FieldText[2] = "none";
  auto eval = [&](int16_t f1, int16_t op, int16_t f2) {
    store_.Formulas[5] = {f1, f2, op, 1};
    return store_.EvalFormula(e, 5);
  };
  EXPECT_EQ(eval(0, OpPlus, 1), "16.5");
  EXPECT_EQ(eval(0, OpMinus, 1), "8.5");
  EXPECT_EQ(eval(1, OpMinus, 0), "-8.5");
  EXPECT_EQ(eval(0, OpTimes, 1), "50");
  EXPECT_EQ(eval(1, OpDivide, 0), "0.32");
  EXPECT_EQ(eval(0, OpDivide, 2), "0");   // a divisor that is not a number is 0
  EXPECT_EQ(eval(2, OpPlus, 2), "0");     // operands that are not numbers count 0
  EXPECT_EQ(eval(0, 7, 1), "0");          // bad operator
  EXPECT_EQ(eval(0, OpPlus, 40), "0");    // operand slot out of range
  e.FieldText[1] = "3";
  EXPECT_EQ(eval(1, OpDivide, 1), "1");
  e.FieldText[0] = "1";
  EXPECT_EQ(eval(0, OpDivide, 1), "0.333333333333333");

  EXPECT_TRUE(IsSumField(KindSummed));
  EXPECT_TRUE(IsSumField(KindKeySummed));
  EXPECT_FALSE(IsSumField(KindKey));
  EXPECT_FALSE(IsSumField(KindPlain));
}

}  // namespace
}  // namespace kelvarin::store
