#include "reports/runs/output_destinations.h"

#include <cstdio>

#include "platform/text/number_text.h"
#include "platform/text/path_text.h"
#include "reports/output/entry_output.h"
#include "reports/output/report_job.h"

namespace kelvarin::reports {

// ---------------------------------------------------------------------------
// Printer

bool PrinterDestination::Open() {
  state_.Output.PrevFirstLine.clear();
  bool failed = false;
  ReportJob(host_, store_, state_).PrintReportHeader(failed);
  return !failed;
}

HandOver PrinterDestination::Take(float entryNumber, const store::EntryRecord& entry, float /*count*/) {
  EntryOutput output(host_, store_, state_);
  return output.OutputEntry(entryNumber, entry) != 0 ? HandOver::Abort : HandOver::Continue;
}

void PrinterDestination::Close(float count) {
  ReportJob job(host_, store_, state_);
  job.PrintReportTotals(count);
  // A lost document has been told; it was not printed.
  if (!job.EndPrintJob()) return;
  std::string message = "Printed" + platform::SignedNumber(count) + " entries.";
  job.ShowTotals(message);
}

// ---------------------------------------------------------------------------
// ASCII file

AsciiFileDestination::~AsciiFileDestination() {
  // A run that aborted still leaves the file closed, with what it wrote.
  if (open_) {
    state_.Output.OutFile.Flush(store_.files(), state_.Output.OutFileNum);
    CloseFile();
  }
}

bool AsciiFileDestination::Open() {
  state_.Output.PrevFirstLine.clear();
  asciiFileName_ = ReportJob(host_, store_, state_).GetASCFile();
  if (asciiFileName_.empty()) return false;
  // The overwrite question has been asked by the save dialog.
  const int16_t number = store_.OpenFileChecked(asciiFileName_, 1, 0, 0);
  // Not opened: the file-error dialog has told why; nothing is written.
  if (number == 0) return false;
  state_.Output.OutFileNum = number;
  state_.Output.OutFile.Start();
  open_ = true;
  writesGivenUp_ = false;
  return true;
}

HandOver AsciiFileDestination::Take(float entryNumber, const store::EntryRecord& entry, float /*count*/) {
  EntryOutput(host_, store_, state_).OutputEntry(entryNumber, entry);
  if (state_.Output.OutFile.Error() != 0 && !SettleWrites()) return HandOver::Abort;
  return HandOver::Continue;
}

bool AsciiFileDestination::SettleWrites() {
  OutputState& out = state_.Output;
  for (int error = out.OutFile.Flush(store_.files(), out.OutFileNum); error != 0;
       error = out.OutFile.Flush(store_.files(), out.OutFileNum)) {
    if (!store_.ShowFileError(error, asciiFileName_)) {
      writesGivenUp_ = true;
      return false;
    }
  }
  return true;
}

void AsciiFileDestination::CloseFile() {
  store_.files().Close(state_.Output.OutFileNum);
  state_.Output.OutFileNum = 0;
  open_ = false;
}

bool AsciiFileDestination::Finish(float count) {
  if (!open_) return false;
  ReportJob(host_, store_, state_).PrintReportTotals(count);
  bool written = !writesGivenUp_ && SettleWrites();
  CloseFile();
  return written;
}

void AsciiFileDestination::Close(float count) {
  if (!Finish(count)) return;
  std::string message = "Wrote" + platform::SignedNumber(count) + " entries to ASCII file: " +
                        platform::PathText(asciiFileName_);
  ReportJob(host_, store_, state_).ShowTotals(message);
}

void AsciiFileDestination::Discard() {
  if (!open_) return;
  Finish(0);
  std::remove(asciiFileName_.c_str());
}

}  // namespace kelvarin::reports
