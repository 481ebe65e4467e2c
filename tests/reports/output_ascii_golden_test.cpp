// ASCII reports written by real List Range runs, compared byte for byte
// with the expected files under golden/: CR LF line ends, Windows-1252 text
// as held in memory (no OEM conversion), over layouts with titles,
// overlapping and cut columns, headings, the dashed line, grouping, memos,
// totals and labels. KV_UPDATE_GOLDEN=1 rewrites the expected files.
#include <cstdlib>

#include "output_fixture.h"

namespace kelvarin::test_support {
namespace {

std::string GoldenPath(const std::string& name) { return std::string(KV_TESTS_DIR) + "/reports/golden/" + name; }

void ExpectGolden(const std::string& name, const std::string& bytes) {
  if (std::getenv("KV_UPDATE_GOLDEN") != nullptr) {
    ASSERT_TRUE(WriteFileBytes(GoldenPath(name), bytes));
  }
  const std::string expected = ReadFileBytes(GoldenPath(name));
  ASSERT_FALSE(expected.empty()) << "missing " << GoldenPath(name);
  EXPECT_EQ(bytes, expected) << name;
}

class AsciiGoldenTest : public OutputTest {
 protected:
  // Entries 1 and 2 share a title; the notes hold Windows-1252 letters.
  void Books() {
    cat_.Entry({"Dune Messiah of the Desert", "Frank Herbert", "9.50", "2", "", "Caf\xE9 cr\xE8me"});
    cat_.Entry({"Dune Messiah of the Desert", "Frank Herbert", "12", "1", "", ""});
    cat_.Entry({"Emma", "Jane Austen", "1234.5", "3", "", "na\xEFve"});
  }
};

TEST_F(AsciiGoldenTest, TitlesOverlapsCutsHeadingsDashedLineAndTotals) {
  Books();
  // Title's block (16 + 10 characters) runs under Author's, which wins;
  // Qty and Value are summed but not placed.
  Format({{0, 1, 1, 10}, {1, 1, 20, 8}, {2, 2, 1, 8}, {21, 2, 30, 5}, {5, 2, 60, 4}}, 2, 1);
  Settings([](store::CatalogSettings& s) {
    s.DashedLine = 1;
    s.ColumnHeadings = 1;
  });
  Start(store::rdAsciiFile);
  const std::string bytes = ListToFile(1, 3);
  ExpectGolden("titles.txt", bytes);
  EXPECT_EQ(rs().FieldTotals[2], 1256.0f);
  EXPECT_EQ(rs().FieldTotals[3], 0.0f) << "a summed field the layout does not place is not counted";
  EXPECT_EQ(host_.MessageTexts().back(),
            "Wrote 3 entries to ASCII file: " + dir_.File("out.txt") +
                "\r\rTOTALS:\r\rPrice         \t\t:\t1,256.00\rQty           \t\t:\t0.00\r"
                "Value         \t\t:\t0.00\r");
}

TEST_F(AsciiGoldenTest, GroupingByTheFirstLineWithAndWithoutTheBlankLine) {
  Books();
  Format({{0, 1, 1, 30}, {1, 2, 3, 20}}, 2);
  Settings([](store::CatalogSettings& s) { s.LockTopLine = 1; });
  Start(store::rdAsciiFile);
  ExpectGolden("grouping1.txt", ListToFile(1, 3, "g1.txt"));

  // Without the blank line; the separator stays on a repeated first line.
  st().CurrentSettings.LockTopLine = 2;
  st().CurrentSettings.DashedLine = 1;
  ExpectGolden("grouping2.txt", ListToFile(1, 3, "g2.txt"));
}

TEST_F(AsciiGoldenTest, MemosWrapAtSeventyWithCrLfBreaksAndHardCuts) {
  Books();
  cat_.Memo(1, "First line\r\nSecond line");
  // Empty memo text: a line with only the tab.
  cat_.Memo(2, "");
  cat_.Memo(3, std::string(75, 'W') + " tail of the long word. The quick brown fox jumps over the lazy dog and "
                                      "keeps running past the end of the line.\r\n" +
                   std::string(69, 'x') + "\r\nafter a CR at the width\rlone CR keeps the next letter");
  Format({{0, 1, 1, 30}}, 1);
  Settings([](store::CatalogSettings& s) { s.PrintMemos = 1; });
  Start(store::rdAsciiFile);
  ExpectGolden("memos.txt", ListToFile(1, 3));
}

TEST_F(AsciiGoldenTest, LabelsHaveHeadingsButNoTotals) {
  Books();
  Format({{0, 1, 1, 30}, {1, 2, 1, 20}, {2, 3, 1, 8}}, 3);
  Settings([](store::CatalogSettings& s) {
    s.ColumnHeadings = 1;
    s.TopMargin = 3;
  });
  Start(store::rdAsciiFile);
  st().PaperMode = store::poLabels;
  ExpectGolden("labels.txt", ListToFile(1, 3));
}

}  // namespace
}  // namespace kelvarin::test_support
