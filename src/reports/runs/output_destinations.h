// The printer and the ASCII file as destinations of a run.
//
// The printer: Open prints the report header (title prompt; a failure ends
// the run), each match is printed with OutputEntry (a printer failure
// aborts the run), Close prints the totals, ends the document and shows
// "Printed N entries." with the totals of the summed fields, unless the
// document was lost (then only that is told).
//
// The ASCII file: Open asks for the file (save dialog, overwrite question)
// and opens it for writing; each match is written with OutputEntry; Close
// writes the totals, closes the file and shows "Wrote N entries to ASCII
// file: PATH" with the totals. Discard (a walk that found nothing) writes
// the totals, closes the file and deletes it. A failed write is shown with
// the file-error dialog (Retry writes again); given up, the run aborts or,
// at the end, shows no "Wrote" message. The file is closed whatever way the
// run ends.
#pragma once

#include <string>

#include "platform/host.h"
#include "reports/report_state.h"
#include "reports/runs/destination.h"
#include "store/store.h"

namespace kelvarin::reports {

class PrinterDestination : public RunDestination {
 public:
  PrinterDestination(platform::Host& host, store::Store& store, ReportState& state)
      : host_(host), store_(store), state_(state) {}
  int16_t Kind() const override { return store::rdPrinter; }
  bool Open() override;
  HandOver Take(float entryNumber, const store::EntryRecord& entry, float count) override;
  void Close(float count) override;
  // A printed report that found nothing still ends with its totals.
  void Discard() override { Close(0); }

 private:
  platform::Host& host_;
  store::Store& store_;
  ReportState& state_;
};

class AsciiFileDestination : public RunDestination {
 public:
  AsciiFileDestination(platform::Host& host, store::Store& store, ReportState& state)
      : host_(host), store_(store), state_(state) {}
  ~AsciiFileDestination() override;
  int16_t Kind() const override { return store::rdAsciiFile; }
  bool Open() override;
  HandOver Take(float entryNumber, const store::EntryRecord& entry, float count) override;
  void Close(float count) override;
  void Discard() override;

  // The path chosen in the save dialog ("" when cancelled).
  const std::string& AsciiFileName() const { return asciiFileName_; }

 private:
  // Writes what is gathered, offering Retry on a failure; false when the
  // user gave up.
  bool SettleWrites();
  // Totals, the last writes and closing; false when a write was given up.
  bool Finish(float count);
  void CloseFile();

  platform::Host& host_;
  store::Store& store_;
  ReportState& state_;
  std::string asciiFileName_;
  bool open_ = false;
  bool writesGivenUp_ = false;
};

}  // namespace kelvarin::reports
