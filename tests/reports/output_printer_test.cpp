// Printed reports through the recording printer: page breaks and the line
// count the header leaves, page numbers, single sheets, labels, printer
// failures in the header and in the middle of an entry, and the run's
// closing message.
#include "output_fixture.h"
#include "platform/files/runtime_errors.h"

namespace kelvarin::test_support {
namespace {

using Page = platform::RecordingPrinter::Page;

class PrinterOutputTest : public OutputTest {
 protected:
  // n entries of three layout lines each.
  void Books(int n) {
    for (int i = 1; i <= n; ++i)
      cat_.Entry({"Book " + std::to_string(i), "Author " + std::to_string(i), std::to_string(i)});
    Format({{0, 1, 1, 30}, {1, 2, 1, 20}, {2, 3, 1, 8}}, 3);
  }
  static std::vector<std::string> Block(int i) {
    return {"Book " + std::to_string(i), "Author " + std::to_string(i), std::to_string(i)};
  }
  static Page Join(std::initializer_list<std::vector<std::string>> parts) {
    Page out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
  }
  static std::vector<std::string> Totals(int count, const std::string& price) {
    return {" ",
            "          TOTAL PRINTED: " + std::to_string(count),
            " ",
            "          ENTRY TOTALS:",
            " ",
            "               Price         : " + price,
            "               Qty           : 0.00",
            "               Value         : 0.00"};
  }
  static std::string PageNumber(const std::string& n) { return std::string(63, ' ') + n; }
  void PageLength10() {
    Settings([](store::CatalogSettings& s) { s.PageLength = 10; });
  }
};

TEST_F(PrinterOutputTest, PagesHoldThreeEntriesOfThreeLinesInTen) {
  Books(7);
  PageLength10();
  Start(store::rdPrinter);
  platform::RecordingPrinter::Document doc = ListToPrinter(1, 7, std::nullopt);
  ASSERT_EQ(doc.size(), 3u);
  EXPECT_EQ(doc[0], Join({Block(1), Block(2), Block(3)}));
  EXPECT_EQ(doc[1], Join({Block(4), Block(5), Block(6)}));
  EXPECT_EQ(doc[2], Join({Block(7), Totals(7, "28.00")}));
  EXPECT_EQ(printer().LinesPerPage(), 10);
  EXPECT_EQ(host_.MessageTexts().back(),
            "Printed 7 entries.\r\rTOTALS:\r\rPrice         \t\t:\t28.00\rQty           \t\t:\t0.00\r"
            "Value         \t\t:\t0.00\r");
  EXPECT_FALSE(printer().DocumentOpen()) << "the run ends its document";
}

TEST_F(PrinterOutputTest, TheHeaderCountsOnPageOneAndTheMarginOnLaterPages) {
  Books(5);
  Settings([](store::CatalogSettings& s) {
    s.PageLength = 10;
    s.TopMargin = 2;
  });
  Start(store::rdPrinter);
  platform::RecordingPrinter::Document doc = ListToPrinter(1, 5, "Stock");
  ASSERT_EQ(doc.size(), 3u);
  // Margin, title and blank line take four of page 1's ten lines.
  EXPECT_EQ(doc[0], Join({{" ", " ", "Stock", " "}, Block(1), Block(2)}));
  EXPECT_EQ(doc[1], Join({{" ", " "}, Block(3), Block(4)}));
  EXPECT_EQ(doc[2], Join({{" ", " "}, Block(5), Totals(5, "15.00")}));
}

TEST_F(PrinterOutputTest, PageNumbersAtColumnSixtyFour) {
  Books(4);
  Settings([](store::CatalogSettings& s) {
    s.PageLength = 10;
    s.PageNumbers = 2;
  });
  Start(store::rdPrinter);
  // Without a title the number stands alone and counts as page 1's first
  // line; later pages carry it with its sign blank.
  platform::RecordingPrinter::Document doc = ListToPrinter(1, 4, std::nullopt);
  ASSERT_EQ(doc.size(), 2u);
  EXPECT_EQ(doc[0], Join({{PageNumber("1")}, Block(1), Block(2), Block(3)}));
  EXPECT_EQ(doc[1], Join({{PageNumber(" 2")}, Block(4), Totals(4, "10.00")}));
  EXPECT_EQ(rs().Output.LineCount, 4) << "the page number is line 1 of page 2";

  // On the title line; a title reaching column 64 pushes it to the next
  // line, which page 1 then counts too (11 lines: three entries fit beside
  // a two-line header, two beside a three-line one).
  st().CurrentSettings.PageLength = 11;
  doc = ListToPrinter(1, 4, "Stock list");
  ASSERT_EQ(doc.size(), 2u);
  EXPECT_EQ(doc[0], Join({{"Stock list" + std::string(53, ' ') + "1", " "}, Block(1), Block(2), Block(3)}));
  const std::string longTitle(64, 'T');
  doc = ListToPrinter(1, 4, longTitle);
  ASSERT_EQ(doc.size(), 2u);
  EXPECT_EQ(doc[0], Join({{longTitle, PageNumber("1"), " "}, Block(1), Block(2)}));
  EXPECT_EQ(doc[1], Join({{PageNumber(" 2")}, Block(3), Block(4), Totals(4, "10.00")}));
}

TEST_F(PrinterOutputTest, SingleSheetsAreAskedForBeforeEveryPageAlsoInsideAMemo) {
  Books(5);
  std::string memo;
  for (int i = 1; i <= 8; ++i) memo += "note " + std::to_string(i) + "\r\n";
  cat_.Memo(2, memo.substr(0, memo.size() - 2));
  Settings([](store::CatalogSettings& s) {
    s.PageLength = 10;
    s.PrintMemos = 1;
  });
  Start(store::rdPrinter);
  st().PaperMode = store::poSingleSheet;
  const std::string sheet = "MsgBox(OK,Exclamation,\"Kelvarin Your Catalog\"): Insert a New Sheet of Paper in the Printer";
  Expect("Insert a New Sheet of Paper in the Printer");
  Expect("Insert a New Sheet of Paper in the Printer");
  platform::RecordingPrinter::Document doc = ListToPrinter(1, 5, std::nullopt);
  // Entry 2's memo passes line 10 on page 1 (a new sheet after its 11th
  // line); entry 5 then no longer fits beside entries 3 and 4.
  ASSERT_EQ(doc.size(), 3u);
  EXPECT_EQ(doc[0], Join({Block(1), Block(2), {"\tnote 1", "\tnote 2", "\tnote 3", "\tnote 4", "\tnote 5"}}));
  EXPECT_EQ(doc[1], Join({{"\tnote 6", "\tnote 7", "\tnote 8", " "}, Block(3), Block(4)}));
  EXPECT_EQ(doc[2], Join({Block(5), Totals(5, "15.00")}));
  int sheets = 0;
  for (const std::string& line : host_.Transcript()) sheets += line == sheet;
  EXPECT_EQ(sheets, 2);
}

TEST_F(PrinterOutputTest, LabelsHaveNoTitleNoPagesAndNoTotals) {
  Books(5);
  Settings([](store::CatalogSettings& s) {
    s.PageLength = 4;
    s.PageNumbers = 2;
    s.ColumnHeadings = 1;
    s.TopMargin = 1;
  });
  Start(store::rdPrinter);
  st().PaperMode = store::poLabels;
  ListRangeDialog(1, 5);
  AnyBox();
  main().mnuVListRange.UserClick();
  ASSERT_EQ(printer().Documents().size(), 1u);
  const platform::RecordingPrinter::Document& doc = printer().Documents()[0];
  ASSERT_EQ(doc.size(), 1u);
  // Every page length of lines the next label gets the top margin and the
  // headings, but no page number.
  const std::vector<std::string> top{" ", "Title", "Author", "Price"};
  EXPECT_EQ(doc[0], Join({Block(1), top, Block(2), top, Block(3), top, Block(4), top, Block(5)}));
  EXPECT_EQ(printer().Log(), std::vector<std::string>{"EndDoc"});
  EXPECT_EQ(printer().LinesPerPage(), 4) << "set by the entries: labels have no header";
  EXPECT_EQ(host_.MessageTexts().front().substr(0, 19), "Printed 5 entries.\r");
}

TEST_F(PrinterOutputTest, AFailureInsideAnEntryStopsItsLinesAndAbortsTheRun) {
  Books(3);
  cat_.Memo(2, "kept");
  Settings([](store::CatalogSettings& s) { s.PrintMemos = 1; });
  Start(store::rdPrinter);
  // Entry 1's three lines and entry 2's first print; its second fails.
  printer().FailAfter(4);
  ListRangeDialog(1, 3);
  TitleDialog(std::nullopt);
  Expect("Printer Error");
  main().mnuVListRange.UserClick();
  // No totals, no end of the document, no closing message; the memo is
  // still printed; the screen is erased.
  EXPECT_TRUE(printer().Documents().empty());
  ASSERT_TRUE(printer().DocumentOpen());
  EXPECT_EQ(printer().Current()[0], Join({Block(1), {"Book 2", "\tkept", " "}}));
  EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{"Printer Error"});
  EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
  EXPECT_TRUE(main().Enabled());
}

TEST_F(PrinterOutputTest, AFailingMemoTotalsLineOrDocumentEndIsTold) {
  Books(2);
  cat_.Memo(1, "one\r\ntwo");
  Settings([](store::CatalogSettings& s) { s.PrintMemos = 1; });
  Start(store::rdPrinter);
  // Entry 1's lines print, its memo's second line fails: the run aborts.
  printer().FailAfter(4);
  ListRangeDialog(1, 2);
  TitleDialog(std::nullopt);
  Expect("Printer Error");
  main().mnuVListRange.UserClick();
  EXPECT_EQ(printer().Current()[0], Join({Block(1), {"\tone"}}));
  printer().EndDoc();

  // The totals' third line fails: told once, the run still closes.
  host_.ClearRecord();
  st().CurrentSettings.PrintMemos = 0;
  printer().FailAfter(8);
  ListRangeDialog(1, 2);
  TitleDialog(std::nullopt);
  Expect("Printer Error");
  AnyBox();
  main().mnuVListRange.UserClick();
  EXPECT_EQ(printer().Documents().back()[0], Join({Block(1), Block(2), {" ", "          TOTAL PRINTED: 2"}}));
  EXPECT_EQ(host_.MessageTexts().size(), 2u);

  // A document lost at its end is told once, with its file and the cause,
  // and not as printed; so is one that Eject Page ends.
  host_.ClearRecord();
  printer().FailEndDoc(platform::kErrDiskFull, dir_.File("R.pdf"));
  ListRangeDialog(1, 2);
  TitleDialog(std::nullopt);
  Expect("The file could not be written. The disk is full:\r" + dir_.File("R.pdf"));
  main().mnuVListRange.UserClick();
  main().mnuVPrintEntry.UserClick();
  printer().FailEndDoc(0, "");
  Expect("Printer Error.");
  main().mnuFEjectPage.UserClick();
}

TEST_F(PrinterOutputTest, HeaderFailuresStopTheRunBeforeAnyEntry) {
  Books(2);
  Settings([](store::CatalogSettings& s) { s.TopMargin = 1; });
  Start(store::rdPrinter);
  // A failing font: at once, before the title prompt.
  st().ReportFontName = "Courier New";
  st().ReportFontSize = 12;
  printer().FailAfter(0);
  ListRangeDialog(1, 2);
  Expect("Printer error. Please try again.");
  main().mnuVListRange.UserClick();
  EXPECT_FALSE(printer().DocumentOpen());

  // Failing margin and title lines: each told, the rest still tried.
  host_.ClearRecord();
  printer().FailAfter(1, 2);
  ListRangeDialog(1, 2);
  TitleDialog("Stock");
  Expect("Printer error. Please try again.");
  Expect("Printer error. Please try again.");
  main().mnuVListRange.UserClick();
  EXPECT_EQ(printer().Current(), (platform::RecordingPrinter::Document{{" "}}));
  EXPECT_EQ(host_.MessageTexts().size(), 2u);
}

TEST_F(PrinterOutputTest, TheTitlePromptRefusesAnEmptyTitle) {
  Books(1);
  Start(store::rdPrinter);
  ListRangeDialog(1, 1);
  Expect("Please enter a title. Press CANCEL for no title.");
  host_.OnShowAs<reports::frmRTitle>("frmRTitle", [](reports::frmRTitle& f) {
    EXPECT_EQ(f.Caption(), "Report Title");
    EXPECT_EQ(f.lblTitle.Caption(), "Enter Report Title:");
    EXPECT_EQ(f.cmdCancel.Caption(), "&No Title");
    EXPECT_EQ(f.txtRptTitle.Text(), "");
    f.cmdOK.UserClick();
    EXPECT_TRUE(f.Visible()) << "the prompt stays after the refusal";
    f.txtRptTitle.UserSetText(std::string(140, 'x'));
    f.cmdOK.UserClick();
  });
  AnyBox();
  main().mnuVListRange.UserClick();
  ASSERT_EQ(printer().Documents().size(), 1u);
  EXPECT_EQ(printer().Documents()[0][0][0], std::string(130, 'x'));
}

TEST_F(PrinterOutputTest, TheTitlePromptsCloseBoxMeansNoTitle) {
  Books(1);
  Settings([](store::CatalogSettings& s) { s.PageNumbers = 2; });
  Start(store::rdPrinter);
  ListRangeDialog(1, 1);
  host_.OnShowAs<reports::frmRTitle>("frmRTitle", [](reports::frmRTitle& f) {
    f.txtRptTitle.UserSetText("typed, then closed");
    f.UserClose();
  });
  AnyBox();
  main().mnuVListRange.UserClick();
  ASSERT_EQ(printer().Documents().size(), 1u);
  EXPECT_EQ(printer().Documents()[0][0][0], PageNumber("1"));
}

TEST_F(PrinterOutputTest, FindDeletedWithoutAMatchStillEndsThePrintedReport) {
  Books(2);
  Start(store::rdPrinter);
  TitleDialog(std::nullopt);
  Expect("No Deleted Records Found");
  AnyBox();
  main().mnuVFindDeleted.UserClick();
  EXPECT_EQ(host_.BeepCount(), 1);
  ASSERT_EQ(printer().Documents().size(), 1u);
  EXPECT_EQ(printer().Documents()[0][0], Totals(0, "0.00"));
  EXPECT_EQ(host_.MessageTexts().back().substr(0, 18), "Printed 0 entries.");
}

}  // namespace
}  // namespace kelvarin::test_support
