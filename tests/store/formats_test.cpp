// The catalog files byte for byte.
#include <gtest/gtest.h>

#include <filesystem>

#include "store/formats.h"
#include "store_fixture.h"

namespace kelvarin::store {
namespace {

using test_support::CatalogBuilder;
using test_support::ReadFileBytes;
using test_support::WriteFileBytes;

std::string Bytes(std::initializer_list<int> list) {
  std::string s;
  for (int b : list) s.push_back(static_cast<char>(b));
  return s;
}

// Name (key, 10 characters) in slot 0, Qty (summed, 5) in slot 2: the
// record length 17 + 15 is raised to 54.
std::string HandHeader() {
  std::string h = Bytes({0x00, 0x00, 0x00, 0x81});  // EntryCount 1.0 in MBF
  h += Bytes({0x0A, 0x00, 0x00, 0x00, 0x05, 0x00});  // lengths of slots 0..2
  h += std::string(18 * 2, '\0');                    // slots 3..20 unused
  h += Bytes({0x36, 0x00});                          // RecordLength 54
  h += "      ";
  return h;
}

std::string HandEntry() {
  std::string e = Bytes({0x00, 0x00, 0x40, 0x83});  // Status 6.0
  e += Bytes({'M', 0x81, 'l', 'l', 'e', 'r', ' ', ' ', ' ', ' '});  // "Müller" in code page 437
  e += "12   ";
  e += Bytes({0, 0, 0, 0, 0, 0, 0, 0});   // NextLink, PrevLink
  e += Bytes({0x00, 0x00, 0x00, 0x81});  // MemoNumber 1.0
  e += std::string(54 - e.size(), ' ');  // filler to the record length
  return e;
}

CatalogBuilder HandCatalog(const std::string& dir) {
  CatalogBuilder cat(dir, "HAND");
  cat.Field(0, "Name", 10, KindKey).Field(2, "Qty", 5, KindSummed);
  return cat;
}

TEST_F(StoreTest, DataFileMatchesHandWrittenBytes) {
  CatalogBuilder cat = HandCatalog(dir_.path());
  float n = cat.Entry({"M\xFCller", "", "12"});  // Windows-1252 ü
  cat.Memo(n, "note");
  ASSERT_TRUE(cat.Write());
  EXPECT_EQ(ReadFileBytes(cat.path(".DAT")), HandHeader() + HandEntry());

  // And the store reads the hand-written bytes back into the same record.
  ASSERT_TRUE(WriteFileBytes(cat.path(".DAT"), HandHeader() + HandEntry()));
  ASSERT_TRUE(store_.OpenCatalog("HAND"));
  EXPECT_EQ(store_.CatalogHeader.EntryCount, 1.0f);
  EXPECT_EQ(store_.CatalogHeader.RecordLength, 54);
  EntryRecord e;
  ASSERT_TRUE(store_.ReadEntry(e, store_.CatalogHeader, 1, store_.DatFile));
  EXPECT_EQ(e.Status, StatusActive);
  EXPECT_EQ(e.FieldText[0], "M\xFCller    ");
  EXPECT_EQ(e.FieldText[1], "");
  EXPECT_EQ(e.FieldText[2], "12   ");
  EXPECT_EQ(e.MemoNumber, 1.0f);
  EXPECT_EQ(store_.ReadMemo(e.MemoNumber), "note");

  // Written back, the entry is the same bytes.
  ASSERT_TRUE(store_.WriteEntry(e, store_.CatalogHeader, 1, store_.DatFile));
  store_.CloseCatalog();
  EXPECT_EQ(ReadFileBytes(cat.path(".DAT")), HandHeader() + HandEntry());

  // The three numbers after the texts, each at its own place.
  std::string linked = HandEntry();
  linked.replace(4 + 15, 12, Bytes({0, 0, 0, 0x82, 0, 0, 0x40, 0x82, 0, 0, 0, 0x81}));  // 2.0, 3.0, 1.0
  ASSERT_TRUE(WriteFileBytes(cat.path(".DAT"), HandHeader() + linked));
  ASSERT_TRUE(store_.OpenCatalog("HAND"));
  ASSERT_TRUE(store_.ReadEntry(e, store_.CatalogHeader, 1, store_.DatFile));
  EXPECT_EQ(e.NextLink, 2.0f);
  EXPECT_EQ(e.PrevLink, 3.0f);
  EXPECT_EQ(e.MemoNumber, 1.0f);
  e.Status = StatusDeleted;
  ASSERT_TRUE(store_.WriteEntry(e, store_.CatalogHeader, 1, store_.DatFile));
  store_.CloseCatalog();
  EXPECT_EQ(ReadFileBytes(cat.path(".DAT")),
            HandHeader() + Bytes({0x00, 0x00, 0x10, 0x84}) + linked.substr(4));  // Status 9.0
}

TEST_F(StoreTest, SettingsFileLayout) {
  CatalogBuilder cat = HandCatalog(dir_.path());
  cat.Formula(3, 0, OpDivide, 2);
  cat.Settings([](CatalogSettings& s) {
    s.ReportName = "SUMMARY";
    s.PageLength = 66;
    s.IgnoreCase = 0;
    s.SortHead = 2;
  });
  ASSERT_TRUE(cat.Write());
  std::string set = ReadFileBytes(cat.path(".SET"));
  ASSERT_EQ(set.size(), 546u);
  EXPECT_EQ(set.substr(0, 16), "Name          " + Bytes({3, 0}));
  EXPECT_EQ(set.substr(16, 16), "Line 2        " + Bytes({2, 0}));
  EXPECT_EQ(set.substr(336, 8), "SUMMARY ");
  EXPECT_EQ(set.substr(336 + 8 + 6, 2), Bytes({66, 0}));       // PageLength
  EXPECT_EQ(set.substr(336 + 8 + 20, 2), Bytes({0, 0}));       // IgnoreCase
  EXPECT_EQ(set.substr(336 + 8 + 26, 4), Bytes({0, 0, 0, 0x82}));  // SortHead 2.0
  EXPECT_EQ(set.substr(378 + 3 * 8, 8), Bytes({0, 0, 2, 0, 3, 0, 1, 0}));

  ASSERT_TRUE(store_.OpenCatalog("HAND"));
  EXPECT_TRUE(store_.CaseSensitive);  // IgnoreCase 0 read inverted
  EXPECT_EQ(store_.CurrentReport, "SUMMARY");
  EXPECT_EQ(store_.Formulas[3], (FormulaDef{0, 2, OpDivide, 1}));
  EXPECT_EQ(store_.FieldDefs[0].FieldKind, KindKey);
  store_.CaseSensitive = false;
  store_.CloseCatalog();
  EXPECT_EQ(ReadFileBytes(cat.path(".SET")).substr(336 + 8 + 20, 2), Bytes({1, 0}));
}

// Every word of the settings block at its own offset, from hand-written
// bytes, and written back to the same bytes.
TEST_F(StoreTest, SettingsBlockEveryFieldAtItsOffset) {
  CatalogBuilder cat = HandCatalog(dir_.path());
  ASSERT_TRUE(cat.Write());
  std::string set = ReadFileBytes(cat.path(".SET"));
  std::string block = "WIDE    ";
  // ReportSelected .. IgnoreCase, each a different value.
  for (int word : {2, 1, 3, 66, 5, 7, 8, 2, 30, 900, 0}) block += Bytes({word & 0xFF, word >> 8});
  block += Bytes({0x00, 0x00, 0x00, 0x81});  // Sorted 1.0
  block += Bytes({0x00, 0x00, 0x00, 0x83});  // SortHead 4.0
  block += Bytes({0x00, 0x00, 0x20, 0x83});  // SortTail 5.0
  ASSERT_EQ(block.size(), 42u);
  set.replace(336, 42, block);
  ASSERT_TRUE(WriteFileBytes(cat.path(".SET"), set));

  ASSERT_TRUE(store_.OpenCatalog("HAND"));
  const CatalogSettings& s = store_.CurrentSettings;
  EXPECT_EQ(store_.CurrentReport, "WIDE");
  EXPECT_EQ(s.ReportSelected, 2);
  EXPECT_EQ(s.DashedLine, 1);
  EXPECT_EQ(s.ColumnHeadings, 3);
  EXPECT_EQ(s.PageLength, 66);
  EXPECT_EQ(s.TopMargin, 5);
  EXPECT_EQ(s.LockTopLine, 7);
  EXPECT_EQ(s.PrintMemos, 8);
  EXPECT_EQ(s.PageNumbers, 2);
  EXPECT_EQ(s.QVColumnWidth, 30);
  EXPECT_EQ(s.QVMaxLines, 900);
  EXPECT_TRUE(store_.CaseSensitive);
  EXPECT_EQ(s.Sorted, 1.0f);
  EXPECT_EQ(s.SortHead, 4.0f);
  EXPECT_EQ(s.SortTail, 5.0f);
  store_.CloseCatalog();
  EXPECT_EQ(ReadFileBytes(cat.path(".SET")), set);
}

TEST_F(StoreTest, ReportFormatRecordsAtTheirOffsets) {
  std::string fmt;
  for (int col = 0; col < 22; ++col) {
    // Width, Line, Column, LinesPerEntry, four zero bytes.
    fmt += Bytes({col + 1, 0, col % 3, 0, 40 + col, 0, 3, 0, 0, 0, 0, 0});
  }
  fmt += Bytes({1, 0}) + std::string(10, '\0');  // the header: ShowTitles 1
  ASSERT_TRUE(WriteFileBytes(File("HAND.FMT"), fmt));
  ASSERT_TRUE(WriteFileBytes(File("hand.fmt"), "x"));  // the name as written wins over another spelling
  ReportLayout layout{};
  ReportHeader header;
  ASSERT_TRUE(store_.ReadReportFormat("HAND", layout, header));
  EXPECT_EQ(layout[0], (ReportColumn{1, 0, 40, 3}));
  EXPECT_EQ(layout[21], (ReportColumn{22, 0, 61, 3}));
  EXPECT_EQ(layout[5], (ReportColumn{6, 2, 45, 3}));
  EXPECT_EQ(header.ShowTitles, 1);
  ASSERT_TRUE(store_.WriteReportFormat("BACK", layout, header));
  EXPECT_EQ(ReadFileBytes(File("BACK.FMT")), fmt);
}

TEST_F(StoreTest, EveryFileReadsAndWritesBackUnchanged) {
  CatalogBuilder cat(dir_.path(), "ROUND");
  cat.Field(0, "Title", 20, KindKey).Field(1, "Price", 8, KindKeySummed).Field(4, "Total", 10, KindSummed);
  cat.Field(20, "Media", 40);
  cat.Formula(4, 1, OpTimes, 1);
  cat.Entry({"\xC9t\xE9", "3.5"});
  cat.DeletedEntry({"Gone", "1"});
  cat.Entry({"Zed", "2"});
  cat.Memo(3, "Memo \xE0 line");
  cat.SortChain({3, 1, 2});
  ASSERT_TRUE(cat.Write());
  const std::string dat = ReadFileBytes(cat.path(".DAT"));
  const std::string set = ReadFileBytes(cat.path(".SET"));
  const std::string mem = ReadFileBytes(cat.path(".MEM"));

  ASSERT_TRUE(store_.OpenCatalog("ROUND"));
  for (float n = 1; n <= 3; ++n) {
    EntryRecord e;
    ASSERT_TRUE(store_.ReadEntry(e, store_.CatalogHeader, n, store_.DatFile));
    EXPECT_EQ(e, cat.entry(n));
    ASSERT_TRUE(store_.WriteEntry(e, store_.CatalogHeader, n, store_.DatFile));
  }
  EXPECT_EQ(store_.ReadMemo(1), "Memo \xE0 line");
  ASSERT_TRUE(store_.WriteMemo(1, store_.ReadMemo(1)));
  EXPECT_TRUE(store_.WriteFormulas("ROUND", store_.Formulas));
  store_.CloseCatalog();
  EXPECT_EQ(ReadFileBytes(cat.path(".DAT")), dat);
  EXPECT_EQ(ReadFileBytes(cat.path(".SET")), set);
  EXPECT_EQ(ReadFileBytes(cat.path(".MEM")), mem);

  // A report format the same way.
  ReportLayout layout = test_support::LinedLayout({{0, 20}, {1, 8}});
  ReportHeader header{1};
  ASSERT_TRUE(test_support::WriteReportFormatFile(dir_.path(), "LIST", layout, header));
  const std::string fmt = ReadFileBytes(File("LIST.FMT"));
  ASSERT_EQ(fmt.size(), 276u);
  EXPECT_EQ(fmt.substr(12, 12), Bytes({8, 0, 2, 0, 1, 0, 2, 0, 0, 0, 0, 0}));
  ReportLayout read{};
  ReportHeader readHeader;
  ASSERT_TRUE(store_.ReadReportFormat("LIST", read, readHeader));
  EXPECT_EQ(read, layout);
  EXPECT_EQ(readHeader.ShowTitles, 1);
  ASSERT_TRUE(store_.WriteReportFormat("LIST", read, readHeader));
  EXPECT_EQ(ReadFileBytes(File("LIST.FMT")), fmt);
}

TEST_F(StoreTest, NonAsciiTextIsStoredInTheOemCodePage) {
  CatalogBuilder cat(dir_.path(), "OEM");
  cat.Field(0, "Stra\xDF" "e", 6);
  ASSERT_TRUE(cat.Write());
  ASSERT_TRUE(store_.OpenCatalog("OEM"));
  EntryRecord e;
  e.FieldText[0] = "\xC4\xF6\xFC\xDF\xE9\xF1";  // ÄöüßéñÄ in Windows-1252
  ASSERT_TRUE(store_.WriteEntry(e, store_.CatalogHeader, 1, store_.DatFile));
  EntryRecord euro;
  euro.FieldText[0] = "\x80";  // the euro sign, which code page 437 lacks
  ASSERT_TRUE(store_.WriteEntry(euro, store_.CatalogHeader, 2, store_.DatFile));
  store_.CatalogHeader.EntryCount = 2;
  store_.CloseCatalog();
  std::string dat = ReadFileBytes(cat.path(".DAT"));
  EXPECT_EQ(dat.substr(54 + 4, 6), Bytes({0x8E, 0x94, 0x81, 0xE1, 0x82, 0xA4}));
  EXPECT_EQ(dat.substr(2 * 54 + 4, 6), "E     ");
  EXPECT_EQ(ReadFileBytes(cat.path(".SET")).substr(0, 6), Bytes({'S', 't', 'r', 'a', 0xE1, 'e'}));
  ASSERT_TRUE(store_.OpenCatalog("OEM"));
  EntryRecord back;
  ASSERT_TRUE(store_.ReadEntry(back, store_.CatalogHeader, 1, store_.DatFile));
  EXPECT_EQ(back.FieldText[0], e.FieldText[0]);
  EXPECT_EQ(store_.FieldDefs[0].FieldName, "Stra\xDF" "e        ");
}

TEST_F(StoreTest, DamagedCatalogFilesAreRefusedWithAMessage) {
  CatalogBuilder cat = HandCatalog(dir_.path());
  cat.Entry({"A"});
  ASSERT_TRUE(cat.Write());
  std::string good = ReadFileBytes(cat.path(".DAT"));

  std::string bad = good;
  bad[46] = 60;  // record length no longer what the field lengths give
  ASSERT_TRUE(WriteFileBytes(cat.path(".DAT"), bad));
  host_.AnswerMsgBox(platform::MsgAnswer::OK);
  EXPECT_FALSE(store_.OpenCatalog("HAND"));
  EXPECT_TRUE(store_.CatalogName.empty());
  EXPECT_NE(host_.MessageTexts().back().find("record length"), std::string::npos);

  ASSERT_TRUE(WriteFileBytes(cat.path(".DAT"), good.substr(0, 20)));
  host_.AnswerMsgBox(platform::MsgAnswer::OK);
  EXPECT_FALSE(store_.OpenCatalog("HAND"));

  ASSERT_TRUE(WriteFileBytes(cat.path(".DAT"), good));
  ASSERT_TRUE(WriteFileBytes(cat.path(".SET"), ReadFileBytes(cat.path(".SET")).substr(0, 400)));
  host_.AnswerMsgBox(platform::MsgAnswer::OK);
  EXPECT_FALSE(store_.OpenCatalog("HAND"));

  // A data file cut inside its last entry keeps the whole ones.
  ASSERT_TRUE(cat.Write());
  cat.Entry({"B"});
  ASSERT_TRUE(cat.Write());
  std::string two = ReadFileBytes(cat.path(".DAT"));
  ASSERT_TRUE(WriteFileBytes(cat.path(".DAT"), two.substr(0, two.size() - 10)));
  host_.AnswerMsgBox(platform::MsgAnswer::OK);
  ASSERT_TRUE(store_.OpenCatalog("HAND"));
  EXPECT_EQ(store_.CatalogHeader.EntryCount, 1.0f);
  EntryRecord e;
  EXPECT_FALSE(store_.ReadEntry(e, store_.CatalogHeader, 2, store_.DatFile));
}

}  // namespace
}  // namespace kelvarin::store

namespace kelvarin::store {
namespace {

// Damaged files of every kind: whatever the bytes, opening and reading
// either works or says no, within the files' records (checked under the
// address sanitizer).
TEST_F(StoreTest, RandomlyDamagedFilesNeverCrash) {
  CatalogBuilder cat(dir_.path(), "FUZZ");
  cat.Field(0, "Name", 12, KindKey).Field(3, "Sum", 6, KindSummed).Field(20, "Media", 30);
  for (int i = 0; i < 6; ++i) cat.Entry({"Entry " + std::to_string(i), "", "", std::to_string(i)});
  cat.Memo(2, "memo");
  ASSERT_TRUE(cat.Write());
  ASSERT_TRUE(test_support::WriteReportFormatFile(dir_.path(), "FUZZ", test_support::LinedLayout({{0, 12}}),
                                                  ReportHeader{}));
  const std::string dat = ReadFileBytes(cat.path(".DAT"));
  const std::string set = ReadFileBytes(cat.path(".SET"));
  const std::string fmt = ReadFileBytes(File("FUZZ.FMT"));
  uint32_t seed = 7;
  auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  auto damage = [&](std::string bytes) {
    int edits = 1 + static_cast<int>(next() % 4);
    for (int i = 0; i < edits && !bytes.empty(); ++i) {
      size_t at = next() % (next() % 2 ? std::min<size_t>(bytes.size(), 60) : bytes.size());
      bytes[at] = static_cast<char>(next());
    }
    if (next() % 5 == 0) bytes.resize(next() % (bytes.size() + 1));
    return bytes;
  };
  for (int round = 0; round < 300; ++round) {
    WriteFileBytes(cat.path(".DAT"), damage(dat));
    WriteFileBytes(cat.path(".SET"), next() % 2 ? damage(set) : set);
    WriteFileBytes(File("FUZZ.FMT"), damage(fmt));
    if (store_.OpenCatalog("FUZZ")) {
      EntryRecord e;
      for (float n = 1; n <= store_.CatalogHeader.EntryCount + 1; ++n) {
        if (store_.ReadEntry(e, store_.CatalogHeader, n, store_.DatFile)) {
          store_.ReadMemo(e.MemoNumber);
          for (int slot = 0; slot < kFieldCount; ++slot) store_.EvalFormula(e, slot);
        }
      }
      int16_t h = store_.OpenIndex(0, store_.CatalogHeader, store_.CatalogName, 0);
      if (h >= 0) {
        for (float n = store_.IndexFirst(h); n > 0; n = store_.IndexNext(h)) {
        }
        store_.IndexClose(h);
      }
      store_.CloseCatalog();
    }
    ReportLayout layout{};
    ReportHeader header;
    store_.ReadReportFormat("FUZZ", layout, header);
    std::filesystem::remove(File("FUZZX01.WDX"));
  }
  host_.ClearRecord();  // the refusals' messages are not what this test checks
}

}  // namespace
}  // namespace kelvarin::store
