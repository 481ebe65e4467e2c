#include "reports/runs/quickview_destination.h"

#include <algorithm>

namespace kelvarin::reports {

bool QuickViewDestination::Open() {
  // Every run gets a window as designed.
  view_ = std::make_unique<frmQView>(host_, store_, entries_);
  view_->LoadForm();
  return view_->Loaded();
}

HandOver QuickViewDestination::Take(float entryNumber, const store::EntryRecord& entry, float count) {
  if (!view_) return HandOver::Abort;
  const float most = static_cast<float>(
      std::clamp<int32_t>(store_.CurrentSettings.QVMaxLines, 1, QuickViewTable::kCapacity));
  float n = entryNumber;
  if (!AddListRow(*view_, n, entry, count)) return HandOver::Full;
  return count >= most ? HandOver::Full : HandOver::Continue;
}

void QuickViewDestination::Close(float /*count*/) {
  if (!view_) return;
  view_->Show(platform::ShowMode::Modal);
  view_->UnloadForm();
  view_.reset();
}

void QuickViewDestination::Discard() {
  if (!view_) return;
  view_->UnloadForm();
  view_.reset();
}

}  // namespace kelvarin::reports
