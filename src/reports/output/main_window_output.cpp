#include "reports/output/main_window_output.h"

#include "platform/text/number_text.h"
#include "reports/output/entry_output.h"
#include "reports/output/report_job.h"

#include <vector>

namespace kelvarin::reports {

MainWindowOutput::MainWindowOutput(platform::Host& host, store::Store& store, ReportState& state,
                                   entry::frmQAVMain& main)
    : host_(host), store_(store), state_(state), main_(main) {}

void MainWindowOutput::Attach() {
  main_.AttachMenu(main_.mnuVPrintEntry, [this] { mnuVPrintEntry_Click(); });
  main_.AttachMenu(main_.mnuVTotals, [this] { mnuVTotals_Click(); });
}

void MainWindowOutput::mnuVPrintEntry_Click() {
  const int16_t saved = store_.CurrentReportDest;
  store_.CurrentReportDest = store::rdPrinter;
  // A failure is told and the entry still tried, so that the destination
  // is restored whatever happens.
  if (!store_.ApplyReportFont()) host_.MsgBox("Printer Error.");
  EntryOutput(host_, store_, state_).OutputEntry(store_.CurrentEntryNumber, store_.CurrentEntry);
  store_.CurrentReportDest = saved;
}

void MainWindowOutput::mnuVTotals_Click() {
  std::vector<size_t> summed;
  for (size_t i = 0; i < static_cast<size_t>(store::kFieldCount); ++i)
    if (store::IsSumField(store_.FieldDefs[i].FieldKind)) summed.push_back(i);
  if (summed.empty()) return;

  ReportJob job(host_, store_, state_);
  store_.MousePointerHourglass();
  main_.SetEnabled(false);
  job.ClearTotals();
  const float last = store_.CatalogHeader.EntryCount;
  store_.ShowGauge(last, "TOTALING ENTRIES....", true);
  auto done = [this] {
    main_.SetEnabled(true);
    store_.MousePointerDefault();
    store_.CloseGauge();
  };
  store::EntryRecord e;
  for (float n = 1; n <= last; ++n) {
    if (store_.StepGauge()) {
      done();
      return;
    }
    // A data file shorter than its entry count ends the totals there.
    if (!store_.ReadEntry(e, store_.CatalogHeader, n, store_.DatFile)) break;
    for (size_t i : summed) {
      const std::string value =
          store_.Formulas[i].Defined != 0 ? store_.EvalFormula(e, static_cast<int>(i)) : e.FieldText[i];
      platform::AddToTotal(state_.FieldTotals[i], value);
    }
  }
  done();
  std::string message;
  job.ShowTotals(message);
}

}  // namespace kelvarin::reports
