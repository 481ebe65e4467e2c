#include "reports/runs/destination.h"

#include "reports/runs/dbase_destination.h"
#include "reports/runs/output_destinations.h"
#include "reports/runs/quickview_destination.h"

namespace kelvarin::reports {

HandOver MonitorDestination::Take(float entryNumber, const store::EntryRecord& entry, float /*count*/) {
  show_(entryNumber, entry);
  return HandOver::Shown;
}

bool UnavailableDestination::Open() {
  host_.MsgBox(std::string("Output to ") + store::ReportDestText(kind_) + " is not available.");
  return false;
}

std::unique_ptr<RunDestination> MakeDestination(platform::Host& host, store::Store& store, ReportState& state,
                                                MonitorDestination::ShowMatch showInMainWindow,
                                                dbf::Db3Exchange* db3) {
  switch (store.CurrentReportDest) {
    case store::rdMonitor:
      return std::make_unique<MonitorDestination>(std::move(showInMainWindow));
    case store::rdPrinter:
      return std::make_unique<PrinterDestination>(host, store, state);
    case store::rdQuickView:
      return std::make_unique<QuickViewDestination>(host, store, state.QuickViewEntries);
    case store::rdAsciiFile:
      return std::make_unique<AsciiFileDestination>(host, store, state);
    case store::rdDbase:
      if (db3 != nullptr) return std::make_unique<DbaseDestination>(host, store, state, *db3);
      return std::make_unique<UnavailableDestination>(host, store.CurrentReportDest);
    default:
      // The main window reads only known destinations from the settings file.
      return std::make_unique<MonitorDestination>(std::move(showInMainWindow));
  }
}

}  // namespace kelvarin::reports
