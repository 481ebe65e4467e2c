// Print Current Entry, Totals, Eject Page, the ASCII file's choice and
// clean-up in the runs, Report Setup's printer and file destinations, and a
// font chosen without printing.
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "output_fixture.h"
#include "platform/file_exists.h"
#include "reports/dialogs/frmGlobalSearch.h"
#include "reports/dialogs/frmReportDest.h"
#include "reports/dialogs/frmSearch.h"
#include "reports/output/entry_output.h"

namespace kelvarin::test_support {
namespace {

class OutputCommandTest : public OutputTest {
 protected:
  void Books() {
    cat_.Entry({"Dune", "Herbert", "9.50", "2"});
    cat_.DeletedEntry({"Emma", "Austen", "1234.5", "1"});
    cat_.Entry({"Kim", "Kipling", "abc", "4"});
    Format({{0, 1, 1, 30}, {2, 1, 40, 8}}, 1);
  }
  std::string TotalsText(const std::string& price, const std::string& qty, const std::string& value) {
    return "\r\rTOTALS:\r\rPrice         \t\t:\t" + price + "\rQty           \t\t:\t" + qty +
           "\rValue         \t\t:\t" + value + "\r";
  }
};

TEST_F(OutputCommandTest, PrintCurrentEntryAddsToOneDocumentUntilEjectPage) {
  Books();
  Start(store::rdAsciiFile);
  ASSERT_TRUE(main().mnuVPrintEntry.Visible());
  EXPECT_EQ(main().mnuVPrintEntry.Caption(), "Print &Current Entry");
  ASSERT_TRUE(main().ShowEntryNumbered(1));
  main().mnuVPrintEntry.UserClick();
  ASSERT_TRUE(main().ShowEntryNumbered(3));
  // Unsaved edits are not what is printed.
  main().txtFieldData(0).UserSetText("Edited");
  main().mnuVPrintEntry.UserClick();
  EXPECT_EQ(st().CurrentReportDest, store::rdAsciiFile) << "the destination is restored";
  EXPECT_EQ(rs().Output.LineCount, 2) << "the second continues the first's line count";
  ASSERT_TRUE(printer().DocumentOpen());
  EXPECT_EQ(printer().Current()[0], (std::vector<std::string>{"Dune" + std::string(35, ' ') + "9.50",
                                                              "Kim" + std::string(36, ' ') + "abc"}));
  main().mnuFEjectPage.UserClick();
  EXPECT_FALSE(printer().DocumentOpen());
  ASSERT_EQ(printer().Documents().size(), 1u);
  EXPECT_TRUE(host_.Transcript().empty()) << "no header, title, totals or message";
}

TEST_F(OutputCommandTest, PrintCurrentEntryAfterAReportStartsWithoutAnEmptyPage) {
  Books();
  Settings([](store::CatalogSettings& s) { s.PageLength = 4; });
  Start(store::rdMonitor);
  ASSERT_TRUE(main().ShowEntryNumbered(1));
  auto print = [this](int times) {
    for (int i = 0; i < times; ++i) main().mnuVPrintEntry.UserClick();
  };
  print(4);
  main().mnuFEjectPage.UserClick();
  ASSERT_EQ(printer().Documents().size(), 1u);
  EXPECT_EQ(printer().Documents()[0], (platform::RecordingPrinter::Document{std::vector<std::string>(
                                          4, "Dune" + std::string(35, ' ') + "9.50")}));
  // The count left (4 of 4 lines) asks for a new page, but the document
  // has ended: the next one begins on its first page.
  print(1);
  ASSERT_TRUE(printer().DocumentOpen());
  EXPECT_EQ(printer().Current().size(), 1u);
  EXPECT_EQ(printer().Current()[0].size(), 1u);
  EXPECT_EQ(std::count(printer().Log().begin(), printer().Log().end(), "NewPage"), 0);
  print(4);
  EXPECT_EQ(printer().Current().size(), 2u) << "within a document the page still breaks";
}

TEST_F(OutputCommandTest, PrintCurrentEntryTellsAFailingFontAndStillPrints) {
  Books();
  Start(store::rdMonitor);
  st().ReportFontName = "Courier New";
  st().ReportFontSize = 10;
  ASSERT_TRUE(main().ShowEntryNumbered(1));
  printer().FailAfter(0);
  Expect("Printer Error.");
  main().mnuVPrintEntry.UserClick();
  EXPECT_EQ(printer().Current()[0].size(), 1u);
  EXPECT_EQ(st().CurrentReportDest, store::rdMonitor);

  // A failing line: the entry's own message.
  printer().FailAfter(1);
  Expect("Printer Error");
  main().mnuVPrintEntry.UserClick();
  EXPECT_EQ(st().CurrentReportDest, store::rdMonitor);
}

TEST_F(OutputCommandTest, TotalsCountEveryEntryAndEverySummedField) {
  Books();
  Start(store::rdMonitor);
  EXPECT_EQ(main().mnuVTotals.Caption(), "Totals");
  // Deleted entries count; Qty and the computed Value are not placed in the
  // layout and count all the same; "abc" counts 0.
  Expect("\r\rTOTALS:\r\rPrice         \t\t:\t1,244.00\rQty           \t\t:\t7.00\rValue         \t\t:\t1,253.50\r");
  main().mnuVTotals.UserClick();
  EXPECT_TRUE(main().Enabled());
  EXPECT_EQ(host_.MousePointerShape(), platform::kPointerDefault);
  EXPECT_EQ(rs().FieldTotals[4], 1253.5f);
}

TEST_F(OutputCommandTest, ValuesAreCutAtTheirWidthAndHalfPlacedColumnsLeftOut) {
  cat_.Field(0, "Pages", 6, store::KindKeySummed);
  cat_.Entry({"120", "Herbert", "9.50", "2", "", "Note"});
  cat_.Entry({"30", "herbert", "1", "1"});
  // Author cut to 3; Price has a line but no column, Note a column but no
  // line: neither shows nor counts. A repeated first line differing only in
  // case starts a new group.
  store::ReportLayout layout{};
  for (auto& c : layout) c.LinesPerEntry = 1;
  layout[1] = {3, 1, 1, 1};
  layout[0] = {6, 1, 10, 1};
  layout[2] = {8, 1, 0, 1};
  layout[5] = {4, 0, 20, 1};
  ASSERT_TRUE(WriteReportFormatFile(dir_.path(), "RPT", layout, {}));
  Settings([](store::CatalogSettings& s) { s.LockTopLine = 2; });
  Start(store::rdAsciiFile);
  EXPECT_EQ(ListToFile(1, 2), CrLf({"Her      120", "her      30", " ", "          TOTAL PRINTED: 2", " ",
                                    "          ENTRY TOTALS:", " ", "               Pages         : 150.00",
                                    "               Price         : 0.00", "               Qty           : 0.00",
                                    "               Value         : 0.00"}));
  // View, Totals lists slot 0 first too.
  Expect("\r\rTOTALS:\r\rPages         \t\t:\t150.00\rPrice         \t\t:\t10.50\rQty           \t\t:\t3.00\r"
         "Value         \t\t:\t20.00\r");
  main().mnuVTotals.UserClick();
}

TEST_F(OutputCommandTest, TotalsWithoutASummedFieldShowNothing) {
  cat_.Field(2, "Price", 8).Field(3, "Qty", 4).Field(4, "Value", 10);
  Books();
  Start(store::rdMonitor);
  main().mnuVTotals.UserClick();
  EXPECT_TRUE(host_.Transcript().empty());
}

TEST_F(OutputCommandTest, TotalsCancelledShowNoMessage) {
  for (int i = 0; i < 300; ++i) cat_.Entry({"Book", "", "1"});
  Format({{0, 1, 1, 30}}, 1);
  Start(store::rdMonitor);
  bool busy = false;
  host_.AtDoEvents(1, [&] { busy = !main().Enabled() && host_.MousePointerShape() == platform::kPointerHourglass; });
  host_.CancelGaugeAfter(2);
  main().mnuVTotals.UserClick();
  EXPECT_TRUE(busy) << "the window is disabled under the hourglass while totalling";
  EXPECT_TRUE(host_.MessageTexts().empty());
  EXPECT_GT(rs().FieldTotals[2], 0.0f);
  EXPECT_LT(rs().FieldTotals[2], 300.0f) << "what was gathered stays";
  EXPECT_TRUE(main().Enabled());
  EXPECT_FALSE(st().gauge().Shown());
  bool captioned = false;
  for (const std::string& line : host_.Transcript()) captioned |= line == "ShowModeless(frmGauge): TOTALING ENTRIES....";
  EXPECT_TRUE(captioned);
}

TEST_F(OutputCommandTest, AnEmptyFileOfFindDeletedOrGlobalSearchIsDeleted) {
  cat_.Entry({"Dune", "Herbert", "9.50"});
  Format({{0, 1, 1, 30}}, 1);
  Start(store::rdAsciiFile);
  const int freeBefore = st().files().FreeFile();
  const std::string path = dir_.File("none.txt");
  host_.AnswerSaveFile(path);
  Expect("No Deleted Records Found");
  main().mnuVFindDeleted.UserClick();
  EXPECT_EQ(host_.BeepCount(), 1);
  EXPECT_FALSE(platform::FileExists(path));

  host_.OnShowAs<reports::frmGlobalSearch>("frmGlobalSearch", [](reports::frmGlobalSearch& f) {
    f.txtGlobalString.UserSetText("nowhere");
    f.cmdOK.UserClick();
  });
  host_.AnswerSaveFile(path);
  Expect("No Matches Found");
  main().mnuVGlobalSearch.UserClick();
  EXPECT_FALSE(platform::FileExists(path));
  EXPECT_EQ(st().files().FreeFile(), freeBefore) << "no file left open";
}

TEST_F(OutputCommandTest, TheSaveDialogAndTheOverwriteQuestion) {
  Books();
  Start(store::rdAsciiFile);
  const std::string path = dir_.File("kept.txt");
  ASSERT_TRUE(WriteFileBytes(path, "old"));

  // The dialog offers the catalog's name in the application directory.
  ListRangeDialog(1, 3);
  host_.AnswerSaveFile(std::nullopt);
  main().mnuVListRange.UserClick();
  EXPECT_EQ(host_.Transcript().back(), "SaveFileDialog(ASCII File): <cancel>");

  // No: nothing is written.
  ListRangeDialog(1, 3);
  host_.AnswerSaveFile(path);
  host_.AnswerMsgBox(platform::MsgAnswer::No, "ASCII File: " + path + " already exists, OVERWRITE?");
  main().mnuVListRange.UserClick();
  EXPECT_EQ(ReadFileBytes(path), "old");
  EXPECT_EQ(host_.Transcript().back(),
            "MsgBox(YesNo,Question,\"Kelvarin Your Catalog\"): ASCII File: " + path + " already exists, OVERWRITE?");

  // Yes: the file is replaced, and it is the file the message names.
  ListRangeDialog(1, 1);
  host_.AnswerSaveFile(path);
  host_.AnswerMsgBox(platform::MsgAnswer::Yes);
  Expect("Wrote 1 entries to ASCII file: " + path + TotalsText("9.50", "0.00", "0.00"));
  main().mnuVListRange.UserClick();
  EXPECT_EQ(ReadFileBytes(path), CrLf({"Dune" + std::string(35, ' ') + "9.50", " ", "          TOTAL PRINTED: 1", " ",
                                       "          ENTRY TOTALS:", " ", "               Price         : 9.50",
                                       "               Qty           : 0.00", "               Value         : 0.00"}));
}

TEST_F(OutputCommandTest, AFileThatCannotBeWrittenIsTold) {
  Books();
  Start(store::rdAsciiFile);
  // A directory cannot be opened as a file: the file-error dialog, given
  // up, ends the run without output and without "Wrote".
  ListRangeDialog(1, 3);
  host_.AnswerSaveFile(dir_.path());
  host_.AnswerMsgBox(platform::MsgAnswer::Cancel);
  main().mnuVListRange.UserClick();
  for (const std::string& text : host_.MessageTexts()) EXPECT_EQ(text.find("Wrote"), std::string::npos) << text;
  EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
}

TEST_F(OutputCommandTest, AFailedWriteIsToldAndNotReportedAsWritten) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  Books();
  Start(store::rdAsciiFile);
  const int freeBefore = st().files().FreeFile();
  // Every write to /dev/full fails (disk full): the file-error dialog,
  // answered Retry once and then Cancel, and no "Wrote" message.
  ListRangeDialog(1, 3);
  host_.AnswerSaveFile("/dev/full");
  host_.AnswerMsgBox(platform::MsgAnswer::Retry);
  host_.AnswerMsgBox(platform::MsgAnswer::Cancel);
  main().mnuVListRange.UserClick();
  ASSERT_EQ(host_.MessageTexts().size(), 2u);
  EXPECT_EQ(host_.MessageTexts()[0], host_.MessageTexts()[1]);
  EXPECT_EQ(host_.MessageTexts()[0].find("Wrote"), std::string::npos);
  EXPECT_EQ(st().files().FreeFile(), freeBefore) << "the file is closed";

  // The next report holds nothing of the failed one.
  host_.ClearRecord();
  const std::string next = ListToFile(1, 1, "next.txt");
  EXPECT_EQ(next.substr(0, next.find("\r\n")), "Dune" + std::string(35, ' ') + "9.50");
  EXPECT_EQ(next.find("Kim"), std::string::npos);
}

TEST_F(OutputCommandTest, AWriteFailingDuringTheWalkAbortsTheRun) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  // More than a megabyte of lines, so that writing starts during the walk.
  cat_.Field(1, "Author", 80).Field(5, "Note", 80);
  for (int i = 0; i < 7000; ++i) cat_.Entry({"", std::string(80, 'a'), "", "", "", std::string(80, 'n')});
  Format({{1, 1, 1, 80}, {5, 2, 1, 80}}, 2);
  Start(store::rdAsciiFile);
  const int freeBefore = st().files().FreeFile();
  ListRangeDialog(1, 7000);
  host_.AnswerSaveFile("/dev/full");
  host_.AnswerMsgBox(platform::MsgAnswer::Cancel);
  main().mnuVListRange.UserClick();
  ASSERT_EQ(host_.MessageTexts().size(), 1u) << "the file error only: no totals message";
  EXPECT_EQ(st().files().FreeFile(), freeBefore) << "the aborted run closes its file";
  EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
  EXPECT_TRUE(main().Enabled());
}

TEST_F(OutputCommandTest, EveryRunStartsANewGroup) {
  Books();
  Settings([](store::CatalogSettings& s) { s.LockTopLine = 2; });
  Start(store::rdAsciiFile);
  const std::string first = ListToFile(3, 3, "a.txt");
  EXPECT_EQ(ListToFile(3, 3, "b.txt"), first);
  EXPECT_EQ(first.substr(0, 3), "Kim");
  st().CurrentReportDest = store::rdPrinter;
  for (int run = 0; run < 2; ++run) EXPECT_EQ(ListToPrinter(3, 3, std::nullopt)[0][0].substr(0, 3), "Kim");
}

TEST_F(OutputCommandTest, ASearchWritesEveryMatchToTheFile) {
  Books();
  cat_.Entry({"Dune Messiah", "Herbert", "12"});
  Start(store::rdAsciiFile);
  host_.OnShowAs<reports::frmSearch>("frmSearch", [](reports::frmSearch& f) {
    f.optSequential.UserClick();
    for (int16_t i = 0; i < reports::frmSearch::kRows; ++i) f.txtFieldData[i].SetText("");
    f.txtFieldData[1].UserSetText("Herbert");
    f.cmdOK.UserClick();
  });
  const std::string path = dir_.File("found.txt");
  host_.AnswerSaveFile(path);
  AnyBox();
  main().cmdSequential.UserClick();
  const std::string bytes = ReadFileBytes(path);
  EXPECT_EQ(bytes.substr(0, bytes.find(" \r\n")),
            CrLf({"Dune" + std::string(35, ' ') + "9.50", "Dune Messiah" + std::string(27, ' ') + "12"}));
  EXPECT_EQ(host_.MessageTexts().back().rfind("Wrote 2 entries to ASCII file: " + path + "\r", 0), 0u);
  EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
}

TEST_F(OutputCommandTest, ReportSetupOffersThePrinterAndTheFile) {
  Books();
  Start(store::rdMonitor);
  host_.OnShowAs<reports::frmReportDest>("frmReportDest", [](reports::frmReportDest& d) {
    EXPECT_TRUE(d.optPrinter.Enabled());
    EXPECT_TRUE(d.optASCIIFile.Enabled());
    EXPECT_TRUE(d.optQuickView.Enabled());
    d.optPrinter.UserClick();
    d.cmdOK.UserClick();
  });
  main().mnuOSetup.UserClick();
  EXPECT_EQ(st().CurrentReportDest, store::rdPrinter);
  EXPECT_EQ(main().PanelText("RptDest"), "PRINTER");
}

TEST_F(OutputCommandTest, AChosenFontAloneLeavesNoDocument) {
  Books();
  Start(store::rdMonitor);
  host_.OnShowAs<reports::frmReportDest>("frmReportDest", [](reports::frmReportDest& d) {
    d.cmdFonts.UserClick();
    d.cmdOK.UserClick();
  });
  host_.AnswerFont(platform::FontChoice{"Courier New", 12, 400, false, true});
  main().mnuOSetup.UserClick();
  EXPECT_EQ(printer().Font().size, 12);
  EXPECT_TRUE(printer().Font().underline);
  main().mnuFEjectPage.UserClick();
  program_->Quit();
  EXPECT_FALSE(printer().DocumentOpen());
  EXPECT_TRUE(printer().Documents().empty());
}

TEST_F(OutputCommandTest, MemoWrapWidthFollowsThePageAndTheFont) {
  Books();
  Start(store::rdPrinter);
  reports::EntryOutput output(host_, st(), rs());
  // (11520 - 120) / 120 = 95 characters beside the tab, 90 % of them.
  EXPECT_EQ(output.MemoWrapWidth(), 86);
  // A font wider than the page still wraps, a character a line.
  printer().SetPageWidth(60);
  EXPECT_EQ(output.MemoWrapWidth(), 1);
  st().CurrentReportDest = store::rdAsciiFile;
  EXPECT_EQ(output.MemoWrapWidth(), 70);
}

TEST_F(OutputCommandTest, ANarrowPageWrapsTheMemoOneCharacterALine) {
  cat_.Entry({"Dune"});
  cat_.Memo(1, "ab c");
  Format({{0, 1, 1, 30}}, 1);
  Settings([](store::CatalogSettings& s) { s.PrintMemos = 1; });
  Start(store::rdMonitor);
  printer().SetPageWidth(60);
  ASSERT_TRUE(main().ShowEntryNumbered(1));
  main().mnuVPrintEntry.UserClick();
  EXPECT_EQ(printer().Current()[0], (std::vector<std::string>{"Dune", "\ta", "\tb", "\t ", "\tc", "\t", " "}));
}

}  // namespace
}  // namespace kelvarin::test_support
