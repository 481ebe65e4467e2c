// What a printed or ASCII report needs around its entries: the title and
// first-page header of a printed report, the closing totals, the end of the
// printer document, the running totals of summed fields and their message,
// and the choice of the ASCII output file.
//
// A printed run: ClearTotals, PrintReportHeader (the run stops when it
// failed), OutputEntry per entry, PrintReportTotals, EndPrintJob, then
// ShowTotals with the run's closing message. An ASCII run: ClearTotals,
// GetASCFile (the run stops on ""), the file opened, the entries,
// PrintReportTotals into the file, the file closed, ShowTotals.
#pragma once

#include <string>

#include "platform/host.h"
#include "reports/report_state.h"
#include "store/store.h"

namespace kelvarin::reports {

class ReportJob {
 public:
  ReportJob(platform::Host& host, store::Store& store, ReportState& state);

  // Starts a printed report: the report font, the title prompt and the
  // header of page 1 (top margin, title line with page number 1, a blank
  // line; or the page number alone without a title). Nothing at all for
  // labels. failed is set after a printer failure ("Printer error. Please
  // try again." shown each time). The line count left is the negated number
  // of lines the header took, so that OutputEntry knows its first entry
  // and breaks page 1 where those lines require.
  void PrintReportHeader(bool& failed);
  // The closing lines: the count printed and each summed field's total, to
  // the printer or the ASCII file by CurrentReportDest; nothing for labels.
  void PrintReportTotals(float count);
  // Ends the printer document; false when it was lost (told to the user).
  bool EndPrintJob();
  void ClearTotals();
  // Appends the totals of the summed fields (if any) to message and shows
  // it in a message box.
  void ShowTotals(std::string& message);
  // The save dialog for the ASCII file, with the overwrite question; the
  // chosen path, or "" when cancelled or declined. A path chosen starts a
  // new output file (line count 0, top of page).
  std::string GetASCFile();

 private:
  platform::Host& host_;
  store::Store& store_;
  ReportState& state_;
};

}  // namespace kelvarin::reports
