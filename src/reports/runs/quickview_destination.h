// The Quick View destination of a run: the window is loaded before the
// first match, each match becomes a grid row until QVMaxLines rows are
// there, and after the walk the window is shown modally and unloaded.
#pragma once

#include <memory>

#include "reports/quickview/frmQView.h"
#include "reports/runs/destination.h"

namespace kelvarin::reports {

class QuickViewDestination : public RunDestination {
 public:
  QuickViewDestination(platform::Host& host, store::Store& store, QuickViewTable& entries)
      : host_(host), store_(store), entries_(entries) {}
  int16_t Kind() const override { return store::rdQuickView; }
  bool Open() override;
  HandOver Take(float entryNumber, const store::EntryRecord& entry, float count) override;
  void Close(float count) override;
  void Discard() override;

  // The window while the run has it loaded; null before Open and after
  // Close or Discard.
  frmQView* view() { return view_.get(); }

 private:
  platform::Host& host_;
  store::Store& store_;
  QuickViewTable& entries_;
  std::unique_ptr<frmQView> view_;
};

}  // namespace kelvarin::reports
