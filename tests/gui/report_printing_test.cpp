// Printed reports through the real Qt printer: a List Range run of the
// program (played through the scripted host) prints on Qt's PDF output, and
// poppler's pdftotext reads the pages back. Skipped where pdftotext is
// missing (Debian: poppler-utils).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app/program.h"
#include "platform/profile.h"
#include "platform/qt/qt_printer.h"
#include "platform/scripted/scripted_host.h"
#include "reports/dialogs/frmListRange.h"
#include "reports/output/frmRTitle.h"
#include "support/catalog_builder.h"
#include "support/scripted_expect.h"

namespace kelvarin::test_support {
namespace {

using platform::qt::QtPrinter;

// The scripted host with the real printer in place of the recording one:
// PDF files, or the system's default printer when tests/cups/run has set
// up a CUPS queue (KV_CUPS_QUEUE).
class QtPrinterHost : public platform::ScriptedHost {
 public:
  explicit QtPrinterHost(const std::string& dir)
      : printer_(dir, std::getenv("KV_CUPS_QUEUE") ? QtPrinter::Target::Automatic : QtPrinter::Target::Pdf) {}
  platform::Printer& GetPrinter() override { return printer_; }
  QtPrinter& Real() { return printer_; }
  // The font the last font dialog opened on.
  std::optional<platform::FontChoice> FontDialog(const platform::FontChoice& current) override {
    opened = current;
    return ScriptedHost::FontDialog(current);
  }
  platform::FontChoice opened;

 private:
  QtPrinter printer_;
};

bool HavePdfToText() { return std::system("command -v pdftotext >/dev/null 2>&1") == 0; }

std::string Run(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

// The pages of a PDF as pdftotext -layout reads them, lines without their
// trailing blanks, empty lines left out, columns counted from the left
// margin. Given the width of a character in
// points, pdftotext places the characters of a fixed-pitch font in their
// columns.
std::vector<std::vector<std::string>> PdfPages(const std::string& file, double charPoints) {
  std::string text = Run("pdftotext -layout -fixed " + std::to_string(charPoints) + " '" + file + "' - 2>/dev/null");
  std::vector<std::vector<std::string>> pages(1);
  std::string line;
  auto flush = [&] {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (!line.empty()) pages.back().push_back(line);
    line.clear();
  };
  for (char c : text) {
    if (c == '\f') {
      flush();
      pages.emplace_back();
    } else if (c == '\n') {
      flush();
    } else {
      line += c;
    }
  }
  flush();
  while (!pages.empty() && pages.back().empty()) pages.pop_back();
  // The page's left margin becomes leading blanks: columns count from the
  // margin.
  size_t margin = std::string::npos;
  for (const auto& page : pages)
    for (const std::string& l : page) margin = std::min(margin, l.find_first_not_of(' '));
  for (auto& page : pages)
    for (std::string& l : page) l.erase(0, margin);
  return pages;
}

std::vector<std::string> PdfFiles(const std::string& dir) {
  std::vector<std::string> out;
  for (const QString& name : QDir(QString::fromStdString(dir)).entryList({"Report-*.pdf"}, QDir::Files, QDir::Name))
    out.push_back(dir + "/" + name.toStdString());
  return out;
}

class QtReportTest : public ::testing::Test {
 protected:
  QtReportTest() : dir_("qtreport"), host_(dir_.path()), cat_(dir_.path(), "BOOKS") {
    cat_.Field(0, "Title", 30, store::KindKey).Field(1, "Author", 20).Field(2, "Price", 8, store::KindSummed);
  }
  void Start(int entries, int16_t pageLength, int16_t pageNumbers) {
    for (int i = 1; i <= entries; ++i)
      cat_.Entry({"Book " + std::to_string(i), "Author " + std::to_string(i), std::to_string(i)});
    cat_.Settings([=](store::CatalogSettings& s) {
      s.ReportName = "RPT";
      s.PageLength = pageLength;
      s.PageNumbers = pageNumbers;
      s.PrintMemos = 0;
    });
    ASSERT_TRUE(WriteReportFormatFile(dir_.path(), "RPT", LinedLayout({{0, 30}, {1, 20}, {2, 8}}), {}));
    ASSERT_TRUE(cat_.Write());
    platform::WritePrivateProfileString("Database", "CurrentDB", "BOOKS", dir_.File("QAV.INI"));
    platform::WritePrivateProfileString("Reports", "ReportDest", "1", dir_.File("QAV.INI"));
    program_ = std::make_unique<app::Program>(host_, dir_.path());
    program_->Start();
  }
  void PrintList(int first, int last, std::optional<std::string> title) {
    host_.OnShowAs<reports::frmListRange>("frmListRange", [=](reports::frmListRange& f) {
      f.txtStartRec.UserSetText(std::to_string(first));
      f.txtEndRec.UserSetText(std::to_string(last));
      f.cmdOK.UserClick();
    });
    host_.OnShowAs<reports::frmRTitle>("frmRTitle", [title](reports::frmRTitle& f) {
      if (title) {
        f.txtRptTitle.UserSetText(*title);
        f.cmdOK.UserClick();
      } else {
        f.cmdCancel.UserClick();
      }
    });
    host_.AnswerMsgBox(platform::MsgAnswer::OK);
    program_->mainWindow().mnuVListRange.UserClick();
  }

  TempDir dir_;
  QtPrinterHost host_;
  ScriptedExpect expect_{host_};
  CatalogBuilder cat_;
  std::unique_ptr<app::Program> program_;
};

TEST_F(QtReportTest, PagesLinesAndPageNumbersReachThePdf) {
  if (!HavePdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  Start(7, 10, 2);
  PrintList(1, 7, "Stock list");
  const std::vector<std::string> files = PdfFiles(dir_.path());
  ASSERT_EQ(files.size(), 1u);
  auto pages = PdfPages(files[0], host_.Real().ColumnWidth() / 20);
  // Page 1: title (with 1 at column 64), blank, two entries; then three
  // entries under each later page number, which stands one column further.
  ASSERT_EQ(pages.size(), 3u);
  const std::vector<std::string> first = {"Stock list" + std::string(53, ' ') + "1", "Book 1", "Author 1", "1",
                                          "Book 2", "Author 2", "2"};
  EXPECT_EQ(pages[0], first);
  ASSERT_FALSE(pages[1].empty());
  EXPECT_EQ(pages[1][0], std::string(64, ' ') + "2");
  EXPECT_EQ(pages[1].size(), 10u);
  EXPECT_EQ(pages[1][1], "Book 3");
  EXPECT_EQ(pages[2][0], std::string(64, ' ') + "3");
  EXPECT_EQ(pages[2][1], "Book 6");
  EXPECT_EQ(pages[2].back(), std::string(15, ' ') + "Price         : 28.00");
}

TEST_F(QtReportTest, APageHoldsItsPageLengthOfLines) {
  if (!HavePdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  // 90 lines are more than the font's spacing fits on a page: they are set
  // closer rather than spilled onto a page of their own. The totals after
  // them go on the next page.
  Start(30, 90, 1);
  PrintList(1, 30, std::nullopt);
  const std::vector<std::string> files = PdfFiles(dir_.path());
  ASSERT_EQ(files.size(), 1u);
  auto pages = PdfPages(files[0], host_.Real().ColumnWidth() / 20);
  ASSERT_EQ(pages.size(), 2u);
  ASSERT_EQ(pages[0].size(), 90u);
  EXPECT_EQ(pages[0].front(), "Book 1");
  EXPECT_EQ(pages[0].back(), "30");
  EXPECT_EQ(pages[1].front(), std::string(10, ' ') + "TOTAL PRINTED: 30");
}

TEST_F(QtReportTest, AChosenFontReopensItsDialogAndWithExitWritesNoDocument) {
  Start(1, 60, 1);
  host_.AnswerFont(platform::FontChoice{"DejaVu Sans Mono", 12, 700, true, false});
  program_->store().ChooseReportFont();
  // The dialog opens again on the font chosen.
  host_.AnswerFont(std::nullopt);
  program_->store().ChooseReportFont();
  EXPECT_EQ(std::tie(host_.opened.name, host_.opened.size, host_.opened.weight, host_.opened.italic),
            std::make_tuple(std::string("DejaVu Sans Mono"), 12.0, 700, true));
  program_->mainWindow().mnuFEjectPage.UserClick();
  program_->Quit();
  EXPECT_TRUE(PdfFiles(dir_.path()).empty());
  EXPECT_EQ(host_.Real().Font().size, 12);
}

// Run by tests/cups/run, which starts CUPS with a PDF queue as the default
// and checks the PDF the queue writes.
TEST_F(QtReportTest, ARunPrintsOnTheDefaultCupsQueue) {
  const char* queue = std::getenv("KV_CUPS_QUEUE");
  if (queue == nullptr) GTEST_SKIP() << "needs a CUPS queue: tests/cups/run sets one up";
  EXPECT_FALSE(host_.Real().WritesPdf());
  EXPECT_EQ(host_.Real().PrinterName(), queue);
  Start(7, 10, 2);
  PrintList(1, 7, "Stock list");
  EXPECT_TRUE(host_.Real().LastDocumentOk());
  EXPECT_TRUE(PdfFiles(dir_.path()).empty());
}

}  // namespace
}  // namespace kelvarin::test_support
