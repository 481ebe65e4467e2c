// The state of printed and ASCII output, shared by the entry output, the
// report header and totals, and the runs that open and close the outputs.
// One instance lives in the ReportState the application owns.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "reports/output/text_file_writer.h"

namespace kelvarin::reports {

struct OutputState {
  // Lines 1..21 of one entry's output; index 0 is never used.
  std::array<std::string, 22> LineBuffer{};
  // Per line, how far text has been written into it since it was last
  // blanked: the rest of the line is known to be blanks.
  std::array<int16_t, 22> LineUsed{};
  // All 255 characters of the first line of the last entry whose first line
  // was output; "" at the start of every printed and ASCII run.
  std::string PrevFirstLine;
  // The open ASCII output file (a file number of the pool), and what is
  // written to it ahead of the disk.
  int16_t OutFileNum = 0;
  TextFileWriter OutFile;
  // Lines output on the current printed page; 0 or below marks the first
  // entry of a printed report.
  int32_t LineCount = 0;
  // A new page (or a new output file) has begun: the next entry brings the
  // top margin and the column headings.
  bool TopOfPage = false;
  int16_t PageNumber = 0;
};

}  // namespace kelvarin::reports
