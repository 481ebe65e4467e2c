// Catalog settings, QAV.INI, report formats and new catalog definitions.
#include <gtest/gtest.h>

#include <filesystem>

#include "store/formats.h"
#include "store_fixture.h"

namespace kelvarin::store {
namespace {

using test_support::CatalogBuilder;
using test_support::ReadFileBytes;
using test_support::WriteFileBytes;

TEST_F(StoreTest, SettingsAreClampedOnReading) {
  struct Case {
    int16_t pageLength, qvMaxLines, qvWidth;
    int16_t wantPage, wantMax, wantWidth;
  };
  const Case cases[] = {
      {3, 4012, 65, 60, 4011, 64},  {4, 4011, 64, 4, 4011, 64},   {500, 1, 3, 500, 1, 3},
      {501, -5, 2, 60, -5, 3},      {-1, 32767, -100, 60, 4011, 3}, {0, 0, 200, 60, 0, 64},
  };
  for (const Case& c : cases) {
    CatalogBuilder cat(dir_.path(), "CLAMP");
    cat.Field(0, "A", 5);
    cat.Settings([&](CatalogSettings& s) {
      s.PageLength = c.pageLength;
      s.QVMaxLines = c.qvMaxLines;
      s.QVColumnWidth = c.qvWidth;
      s.TopMargin = -7;
    });
    ASSERT_TRUE(cat.Write());
    ASSERT_TRUE(store_.OpenCatalog("CLAMP"));
    EXPECT_EQ(store_.CurrentSettings.PageLength, c.wantPage) << c.pageLength;
    EXPECT_EQ(store_.CurrentSettings.QVMaxLines, c.wantMax) << c.qvMaxLines;
    EXPECT_EQ(store_.CurrentSettings.QVColumnWidth, c.wantWidth) << c.qvWidth;
    EXPECT_EQ(store_.CurrentSettings.TopMargin, -7);
    store_.CloseCatalog();
  }
}

TEST_F(StoreTest, CatalogSettingsTakeReportNameAndCaseFromTheProgram) {
  CatalogBuilder cat(dir_.path(), "SETS");
  cat.Field(0, "A", 5);
  ASSERT_TRUE(cat.Write());
  const std::string defs = ReadFileBytes(cat.path(".SET")).substr(0, 336);
  CatalogSettings s;
  s.ReportName = "IGNORED";
  s.IgnoreCase = 1;
  s.PageLength = 70;
  store_.CurrentReport = "WIDE";
  store_.CaseSensitive = true;
  ASSERT_TRUE(store_.WriteCatalogSettings("SETS", s));
  std::string set = ReadFileBytes(cat.path(".SET"));
  EXPECT_EQ(set.substr(0, 336), defs);
  CatalogSettings back;
  DecodeSettings(reinterpret_cast<const uint8_t*>(set.data()) + kSettingsOffset, &back);
  EXPECT_EQ(back.ReportName, "WIDE");
  EXPECT_EQ(back.IgnoreCase, 0);
  EXPECT_EQ(back.PageLength, 70);

  // No catalog name, no stray ".SET" file.
  EXPECT_FALSE(store_.WriteCatalogSettings("", s));
  EXPECT_FALSE(std::filesystem::exists(File(".SET")));
}

TEST_F(StoreTest, SettingsFileValues) {
  EXPECT_EQ(store_.ReadReportDest(), 0);
  EXPECT_EQ(store_.ReadSearchMode(), smAlpha);
  store_.WriteReportDest(rdAsciiFile);
  store_.WriteSearchMode(smSequential);
  store_.WriteCurrentDB("BOOKS");
  EXPECT_EQ(store_.ReadReportDest(), rdAsciiFile);
  EXPECT_EQ(store_.ReadSearchMode(), smSequential);
  EXPECT_EQ(store_.ReadCurrentDB(), "BOOKS");
  EXPECT_EQ(ReadFileBytes(File("QAV.INI")),
            "[Reports]\r\nReportDest=3\r\n\r\n[Search]\r\nSearchMode=1\r\n\r\n[Database]\r\nCurrentDB=BOOKS\r\n");
}

TEST_F(StoreTest, ReportFormatsReadUpToTheFirstBadRecord) {
  ReportLayout layout{};
  ReportHeader header;
  EXPECT_FALSE(store_.ReadReportFormat("NONE", layout, header));
  ASSERT_TRUE(WriteFileBytes(File("EMPTY.FMT"), ""));
  EXPECT_FALSE(store_.ReadReportFormat("EMPTY", layout, header));
  ReportLayout good = test_support::LinedLayout({{0, 10}, {21, 6}});
  ASSERT_TRUE(test_support::WriteReportFormatFile(dir_.path(), "SHORT", good, ReportHeader{1}));
  const std::string whole = ReadFileBytes(File("SHORT.FMT"));
  // Cut inside the header: the columns are whole, the header's rest is 0.
  ASSERT_TRUE(WriteFileBytes(File("SHORT.FMT"), whole.substr(0, 265)));
  header.ShowTitles = 7;
  EXPECT_TRUE(store_.ReadReportFormat("SHORT", layout, header));
  EXPECT_EQ(layout, good);
  EXPECT_EQ(header.ShowTitles, 1);
  ASSERT_TRUE(WriteFileBytes(File("SHORT.FMT"), whole.substr(0, 264)));
  EXPECT_TRUE(store_.ReadReportFormat("SHORT", layout, header));
  EXPECT_EQ(header.ShowTitles, 0);
  // Cut inside the last column's LinesPerEntry: that record fails.
  ASSERT_TRUE(WriteFileBytes(File("SHORT.FMT"), whole.substr(0, 258)));
  EXPECT_FALSE(store_.ReadReportFormat("SHORT", layout, header));
  ASSERT_TRUE(WriteFileBytes(File("SHORT.FMT"), whole.substr(0, 1)));
  EXPECT_FALSE(store_.ReadReportFormat("SHORT", layout, header));

  for (int16_t lines : {0, 22, -1}) {
    ReportLayout bad = good;
    bad[3].LinesPerEntry = lines;
    ASSERT_TRUE(test_support::WriteReportFormatFile(dir_.path(), "BAD", bad, ReportHeader{}));
    ReportLayout into{};
    EXPECT_FALSE(store_.ReadReportFormat("BAD", into, header)) << lines;
    EXPECT_EQ(into[0], good[0]);  // read up to the faulty record
  }
  for (int16_t lines : {1, 21}) {
    ReportLayout edge = good;
    for (auto& c : edge) c.LinesPerEntry = lines;
    ASSERT_TRUE(test_support::WriteReportFormatFile(dir_.path(), "EDGE", edge, ReportHeader{1}));
    EXPECT_TRUE(store_.ReadReportFormat("EDGE", layout, header));
    EXPECT_EQ(layout, edge);
  }
}

TEST_F(StoreTest, WritingAReportFormatSpreadsLinesPerEntry) {
  ReportLayout layout{};
  layout[0].LinesPerEntry = 3;
  layout[5] = {12, 2, 4, 9};
  layout[21] = {6, 1, 70, 1};
  ASSERT_TRUE(store_.WriteReportFormat("NEW", layout, ReportHeader{1}));
  for (const auto& c : layout) EXPECT_EQ(c.LinesPerEntry, 3);
  EXPECT_EQ(layout[5].Width, 12);
  ReportLayout back{};
  ReportHeader header;
  ASSERT_TRUE(store_.ReadReportFormat("NEW", back, header));
  EXPECT_EQ(back, layout);
  EXPECT_EQ(header.ShowTitles, 1);
  EXPECT_EQ(ReadFileBytes(File("NEW.FMT")).size(), 276u);
}

TEST_F(StoreTest, ReportWidthsAreClampedToFieldLengths) {
  store_.CatalogHeader.FieldLength[0] = 10;
  store_.CatalogHeader.FieldLength[1] = 0;
  ReportLayout layout{};
  layout[0].Width = 15;
  layout[1].Width = 5;
  layout[2].Width = 0;
  layout[21].Width = 99;
  store_.ClampReportWidths(layout);
  EXPECT_EQ(layout[0].Width, 10);
  EXPECT_EQ(layout[1].Width, 0);
  EXPECT_EQ(layout[21].Width, 99);  // the entry-number column is not a field
}

TEST_F(StoreTest, NewCatalogFromDefaultAndWrittenDefinition) {
  FieldDefTable defs;
  DatHeader header;
  header.EntryCount = 5;
  ASSERT_TRUE(store_.CreateDefaultDefinition("FRESH", defs, header));
  EXPECT_EQ(defs[0].FieldName, "Line 1        ");
  EXPECT_EQ(defs[20].FieldName, "Line 21       ");
  EXPECT_EQ(store_.FieldDefs[0].FieldName + store_.FieldDefs[20].FieldName, defs[0].FieldName + defs[20].FieldName);
  EXPECT_EQ(defs[7].FieldKind, KindPlain);
  EXPECT_EQ(header.EntryCount, 0.0f);
  EXPECT_EQ(header.RecordLength, 54);
  // The default settings block byte for byte: PageLength 60, PrintMemos 1,
  // PageNumbers 1 (off), QVColumnWidth 20, QVMaxLines 4011, all else 0 or
  // blank, IgnoreCase among them.
  std::string block = std::string(8, ' ');
  for (int word : {0, 0, 0, 60, 0, 0, 1, 1, 20, 4011, 0}) {
    block.push_back(static_cast<char>(word & 0xFF));
    block.push_back(static_cast<char>(word >> 8));
  }
  block += std::string(12, '\0');
  EXPECT_EQ(ReadFileBytes(File("FRESH.SET")).substr(336), block);

  defs[0].FieldName = "Title         ";
  defs[0].FieldKind = KindKey;
  header.FieldLength[0] = 40;
  header.FieldLength[3] = 100;
  header.RecordLength = static_cast<int16_t>(ComputeRecordLength(header.FieldLength));
  EXPECT_EQ(header.RecordLength, 157);
  ASSERT_TRUE(store_.WriteCatalogDefinition(store_.CatalogPath("FRESH", ""), defs, header));
  EXPECT_EQ(ReadFileBytes(File("FRESH.SET")).size(), 546u);
  EXPECT_EQ(ReadFileBytes(File("FRESH.DAT")).size(), 157u);

  ASSERT_TRUE(store_.OpenCatalog("FRESH"));
  EXPECT_EQ(store_.FieldDefs, defs);
  EXPECT_EQ(store_.CatalogHeader, header);
  EXPECT_EQ(store_.CurrentSettings.PageLength, 60);
  EXPECT_EQ(store_.CurrentSettings.PageNumbers, 1);
  EXPECT_EQ(store_.CurrentSettings.PrintMemos, 1);
  EXPECT_EQ(store_.CurrentSettings.QVMaxLines, 4011);
  EXPECT_EQ(store_.CurrentSettings.QVColumnWidth, 20);
  EXPECT_TRUE(store_.CaseSensitive);  // IgnoreCase 0
  for (const auto& f : store_.Formulas) EXPECT_EQ(f.Defined, 0);
}

TEST_F(StoreTest, FileOpenWithQuestionsAndRetry) {
  ASSERT_TRUE(WriteFileBytes(File("OLD.TXT"), "x"));
  host_.AnswerMsgBox(platform::MsgAnswer::No, "Replace File?");
  EXPECT_EQ(store_.OpenFileChecked(File("OLD.TXT"), 1, 0, 1), 0);
  EXPECT_EQ(ReadFileBytes(File("OLD.TXT")), "x");
  host_.AnswerMsgBox(platform::MsgAnswer::Yes, "Replace File?");
  int16_t n = store_.OpenFileChecked(File("OLD.TXT"), 1, 0, 1);
  ASSERT_GT(n, 0);
  pool_.Close(n);
  EXPECT_EQ(ReadFileBytes(File("OLD.TXT")), "");

  host_.AnswerMsgBox(platform::MsgAnswer::No, "Create File?");
  EXPECT_EQ(store_.OpenFileChecked(File("NEW.BIN"), 5, 0, 1), 0);
  n = store_.OpenFileChecked(File("NEW.BIN"), 5, 0, 0);  // no questions
  ASSERT_GT(n, 0);
  pool_.Close(n);

  // A folder that is missing: the error dialog, retried once, then given up.
  const std::string missing = File("nofolder/X.TXT");
  host_.AnswerMsgBox(platform::MsgAnswer::Retry, "Path not found:\r" + missing);
  host_.AnswerMsgBox(platform::MsgAnswer::Cancel, "Path not found:\r" + missing);
  EXPECT_EQ(store_.OpenFileChecked(missing, 1, 0, 0), 0);
  host_.AnswerMsgBox(platform::MsgAnswer::Cancel);
  EXPECT_EQ(store_.OpenFileChecked(File("ABSENT.TXT"), 2, 0, 0), 0);
  EXPECT_EQ(host_.MessageTexts().back(), "File not found:\r" + File("ABSENT.TXT"));
}

}  // namespace
}  // namespace kelvarin::store

#include "support/demo_catalog.h"

namespace kelvarin::store {
namespace {

TEST_F(StoreTest, DemoApplicationDirectoryOpens) {
  ASSERT_TRUE(test_support::MakeDemoAppDir(dir_.path()));
  ASSERT_EQ(store_.ReadCurrentDB(), "BOOKS");
  ASSERT_TRUE(store_.OpenCatalog("BOOKS"));
  EXPECT_EQ(store_.CatalogHeader.EntryCount, 12.0f);
  EXPECT_EQ(store_.CurrentReport, "BOOKLIST");
  EXPECT_EQ(store_.CurrentSettings.Sorted, 1.0f);
  ReportLayout layout{};
  ReportHeader header;
  EXPECT_TRUE(store_.ReadReportFormat("BOOKLIST", layout, header));
  EXPECT_TRUE(store_.ReadReportFormat("CARDS", layout, header));
  EXPECT_EQ(header.ShowTitles, 1);

  // The sort chain runs from head to tail through every entry in title order.
  float n = store_.CurrentSettings.SortHead;
  std::vector<std::string> titles;
  EntryRecord e;
  for (int guard = 0; guard < 20; ++guard) {
    ASSERT_TRUE(store_.ReadEntry(e, store_.CatalogHeader, n, store_.DatFile));
    titles.push_back(e.FieldText[0]);
    if (n == store_.CurrentSettings.SortTail) break;
    n = e.NextLink;
  }
  ASSERT_EQ(titles.size(), 12u);
  EXPECT_EQ(titles.front().substr(0, 5), "Atlas");
  EXPECT_EQ(titles.back().substr(0, 5), "\xC9tude");
  ASSERT_TRUE(store_.ReadEntry(e, store_.CatalogHeader, 2, store_.DatFile));
  EXPECT_EQ(store_.EvalFormula(e, 5), "37.5");
  EXPECT_EQ(store_.ReadMemo(e.MemoNumber).substr(0, 6), "A dese");

  // Its key index walks in title order too.
  int16_t h = store_.OpenIndex(0, store_.CatalogHeader, store_.CatalogName, 0);
  EXPECT_EQ(store_.IndexFirst(h), store_.CurrentSettings.SortHead);
  store_.IndexClose(h);
}

}  // namespace
}  // namespace kelvarin::store
