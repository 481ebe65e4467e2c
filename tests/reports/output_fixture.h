// A program over the scripted host with a catalog of books and a report
// format of the test's own, for the printed and ASCII outputs:
// Title (key, 30) in slot 0, Author (20) in slot 1, Price (summed, 8) in
// slot 2, Qty (summed, 4) in slot 3, Value (summed, computed Price * Qty,
// 10) in slot 4 and Note (12) in slot 5.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "reports/dialogs/frmListRange.h"
#include "reports/output/frmRTitle.h"
#include "support/catalog_program.h"

namespace kelvarin::test_support {

class OutputTest : public CatalogProgramTest {
 protected:
  OutputTest() : CatalogProgramTest("output", "BOOKS") {
    cat_.Field(0, "Title", 30, store::KindKey).Field(1, "Author", 20).Field(2, "Price", 8, store::KindSummed);
    cat_.Field(3, "Qty", 4, store::KindSummed).Field(4, "Value", 10, store::KindSummed).Field(5, "Note", 12);
    cat_.Formula(4, 2, store::OpTimes, 3);
    cat_.Settings([](store::CatalogSettings& s) {
      s.ReportName = "RPT";
      s.PrintMemos = 0;
    });
  }

  // The report format RPT: columns by slot (21 = entry number) as
  // {slot, line, column, width}.
  struct Placed {
    int slot;
    int16_t line;
    int16_t column;
    int16_t width;
  };
  void Format(const std::vector<Placed>& placed, int16_t linesPerEntry, int16_t showTitles = 0) {
    store::ReportLayout layout{};
    for (auto& c : layout) c.LinesPerEntry = linesPerEntry;
    for (const Placed& p : placed) {
      store::ReportColumn& c = layout.at(static_cast<size_t>(p.slot));
      c.Line = p.line;
      c.Column = p.column;
      c.Width = p.width;
    }
    ASSERT_TRUE(WriteReportFormatFile(dir_.path(), "RPT", layout, store::ReportHeader{showTitles}));
  }
  void Settings(const std::function<void(store::CatalogSettings&)>& change) { cat_.Settings(change); }

  platform::RecordingPrinter& printer() { return host_.Printer(); }

  void ListRangeDialog(int first, int last) {
    host_.OnShowAs<reports::frmListRange>("frmListRange", [first, last](reports::frmListRange& f) {
      f.txtStartRec.UserSetText(std::to_string(first));
      f.txtEndRec.UserSetText(std::to_string(last));
      f.cmdOK.UserClick();
    });
  }
  // The title prompt: a title, or "No Title" for nullopt.
  void TitleDialog(std::optional<std::string> title) {
    host_.OnShowAs<reports::frmRTitle>("frmRTitle", [title](reports::frmRTitle& f) {
      if (title) {
        f.txtRptTitle.UserSetText(*title);
        f.cmdOK.UserClick();
      } else {
        f.cmdCancel.UserClick();
      }
    });
  }
  // The next message box, answered OK, whatever it says.
  void AnyBox() { host_.AnswerMsgBox(platform::MsgAnswer::OK); }
  void Expect(const std::string& text) { host_.AnswerMsgBox(platform::MsgAnswer::OK, text); }

  // Lists entries first..last to an ASCII file in the test directory and
  // returns the file's bytes (the closing message is taken as it comes).
  std::string ListToFile(int first, int last, const std::string& name = "out.txt") {
    ListRangeDialog(first, last);
    host_.AnswerSaveFile(dir_.File(name));
    AnyBox();
    main().mnuVListRange.UserClick();
    return ReadFileBytes(dir_.File(name));
  }
  // Lists entries first..last to the printer; the document's pages.
  platform::RecordingPrinter::Document ListToPrinter(int first, int last, std::optional<std::string> title) {
    ListRangeDialog(first, last);
    TitleDialog(std::move(title));
    AnyBox();
    main().mnuVListRange.UserClick();
    if (printer().Documents().empty()) return {};
    return printer().Documents().back();
  }
};

// Lines joined with CR LF, each ended by it, as an ASCII report holds them.
inline std::string CrLf(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

}  // namespace kelvarin::test_support
