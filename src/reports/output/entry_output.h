// One entry as the lines of the active report format, sent to the printer
// (CurrentReportDest = printer) or else to the open ASCII output file.
//
// OutputEntry is the one entry point of the runs and of Print Current Entry.
// It keeps the page of a printed report: the page fit of each entry's
// layout lines, page breaks by paper mode (a new sheet asked for in single
// sheet mode, none for labels), page numbers at print column 64 (not on
// labels), the top margin and the column headings of each new page (labels
// too, every page length of lines). A page break with no document open (a
// count left by an ended report) ejects nothing. Each entry's lines come
// from placing its fields into 255-blank lines (a later column shows
// through where an earlier text is shorter), optionally under a dashed
// separator and grouped by a repeated first line, followed by its memo
// wrapped to the page. Placed summed fields add into FieldTotals.
//
// A file gets the same lines without pages: no page breaks, page numbers or
// later headings; memo lines wrap at 70 characters.
//
// Printer failures: a failure among an entry's lines stops them, shows
// "Printer Error" and makes OutputEntry return non-zero (the memo is still
// tried); a failure while changing pages beeps and shows "Printer Error."
// and the page change goes on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/host.h"
#include "reports/report_state.h"
#include "store/store.h"

namespace kelvarin::reports {

class EntryOutput {
 public:
  EntryOutput(platform::Host& host, store::Store& store, ReportState& state);

  // Outputs one entry completely; non-zero when a printer failure stopped it
  // (already told to the user).
  int16_t OutputEntry(float entryNumber, const store::EntryRecord& entry);

  // Fills LineBuffer from the layout; adds placed summed fields into
  // FieldTotals.
  void ComposeEntryLines(const store::EntryRecord& entry, float entryNumber);
  // The composed lines (separator, grouping) to the printer; non-zero after
  // a printer failure.
  int16_t PrintEntryLines(float entryNumber);
  // The same to the ASCII file.
  void WriteEntryLinesToFile(float entryNumber);
  void NewPrintPage();
  // Lines 1..21 of LineBuffer become 255 blanks each.
  void ClearLineBuffer();
  // The field names at their columns, not cut to their widths. False after
  // a printer failure.
  bool PrintColumnHeadings();
  // The memo word-wrapped, each line after a tab, then a blank line. False
  // after a printer failure.
  bool PrintEntryMemo(float memoNumber);

  // Lines per entry of the active layout (0..21).
  int LinesPerEntry() const;
  // The memo wrap width: 70 for a file; for the printer 90 % of the "a"
  // characters that fit beside a tab, at least 1.
  int MemoWrapWidth() const;

 private:
  bool ToPrinter() const;
  // One line to the printer or the file.
  bool OutputLine(std::string_view text);
  // Lines first..LinesPerEntry of LineBuffer, trailing blanks removed.
  bool OutputBufferLines(int first);
  // A failure while changing pages.
  void PageFailure();

  platform::Host& host_;
  store::Store& store_;
  ReportState& state_;
  OutputState& out_;
};

// The dashed line before an entry: 59 dashes, "ENTRY:", five blanks, then
// the entry number with its sign blank.
std::string DashedSeparator(float entryNumber);

}  // namespace kelvarin::reports
