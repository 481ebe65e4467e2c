// Two commands of the main window that print or total on their own:
// File, "Print &Current Entry" and View, "Totals".
//
//   MainWindowOutput output(host, store, state, mainWindow);
//   output.Attach();   // shows and wires both menu items
#pragma once

#include "entry/frmQAVMain.h"
#include "platform/host.h"
#include "reports/report_state.h"
#include "store/store.h"

namespace kelvarin::reports {

class MainWindowOutput {
 public:
  MainWindowOutput(platform::Host& host, store::Store& store, ReportState& state, entry::frmQAVMain& main);
  MainWindowOutput(const MainWindowOutput&) = delete;
  MainWindowOutput& operator=(const MainWindowOutput&) = delete;

  void Attach();

  // Prints the entry held in memory (not unsaved edits) into the printer
  // document as it stands: no header, totals or end of the document, so
  // that it stays until Eject Page or the end of a later printed run. The
  // report destination is always restored.
  void mnuVPrintEntry_Click();
  // Totals every summed field over all entries (deleted ones too, placed in
  // a report layout or not) and shows them; nothing without a summed field.
  // The gauge's Cancel stops without a message.
  void mnuVTotals_Click();

 private:
  platform::Host& host_;
  store::Store& store_;
  ReportState& state_;
  entry::frmQAVMain& main_;
};

}  // namespace kelvarin::reports
