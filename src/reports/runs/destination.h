// Where a run sends its matches: one object per report destination, with
// the three moves every run makes: open the output before the first match
// is handed over, hand over each match, and close the output after the walk.
//
// The main window ends a run at its first match; the other destinations
// take every match. The main window, the printer, the ASCII file
// (output_destinations.h), Quick View (quickview_destination.h) and the
// dBase III file (dbase_destination.h) are each produced by their object. A
// destination without an object (the dBase III file when no exchange is
// attached) refuses to open and tells the user so rather than pretend to
// produce output.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/host.h"
#include "reports/report_state.h"
#include "store/store.h"

namespace kelvarin::dbf {
class Db3Exchange;
}

namespace kelvarin::reports {

enum class HandOver {
  Continue,  // take the next match
  Full,      // the output holds all it may: the walk ends normally
  Abort,     // the output failed (already reported): the run aborts
  Shown,     // shown in the main window: the run ends there
};

class RunDestination {
 public:
  virtual ~RunDestination() = default;
  // A store::ReportDest value.
  virtual int16_t Kind() const = 0;
  // Before the first match: dialogs, files, the print job. False: the run
  // ends at once (cancelled by the user, or the output cannot start).
  virtual bool Open() = 0;
  // One match; count already includes it.
  virtual HandOver Take(float entryNumber, const store::EntryRecord& entry, float count) = 0;
  // After the walk: totals, the closing message, showing what was gathered.
  virtual void Close(float count) = 0;
  // After a walk that found nothing where an empty output is not kept.
  virtual void Discard() = 0;
};

// The main window: Take shows the match through the given callback.
class MonitorDestination : public RunDestination {
 public:
  using ShowMatch = std::function<void(float entryNumber, const store::EntryRecord& entry)>;
  explicit MonitorDestination(ShowMatch show) : show_(std::move(show)) {}
  int16_t Kind() const override { return store::rdMonitor; }
  bool Open() override { return true; }
  HandOver Take(float entryNumber, const store::EntryRecord& entry, float count) override;
  void Close(float) override {}
  void Discard() override {}

 private:
  ShowMatch show_;
};

// A destination whose output is not built yet: Open tells the user and
// refuses, so a run never walks for an output that cannot be produced.
class UnavailableDestination : public RunDestination {
 public:
  UnavailableDestination(platform::Host& host, int16_t kind) : host_(host), kind_(kind) {}
  int16_t Kind() const override { return kind_; }
  bool Open() override;
  HandOver Take(float, const store::EntryRecord&, float) override { return HandOver::Abort; }
  void Close(float) override {}
  void Discard() override {}

 private:
  platform::Host& host_;
  int16_t kind_;
};

// The destination object for store.CurrentReportDest; the dBase III file
// is written through db3 (unavailable without it).
std::unique_ptr<RunDestination> MakeDestination(platform::Host& host, store::Store& store, ReportState& state,
                                                MonitorDestination::ShowMatch showInMainWindow,
                                                dbf::Db3Exchange* db3 = nullptr);

}  // namespace kelvarin::reports
